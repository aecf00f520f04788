#pragma once
#include <cstdint>

#include "protocol/host_record.h"
#include "protocol/image_record.h"

// The host's pixel display: draws the source rectangle of an image record with
// its top-left at (destRow, destColumn) of a device context. 0 on success.
int16_t drawPixelMapCallback(const ImageRecord* image, const Rect16* sourceRect, int32_t destRow,
                             int32_t destColumn, void* deviceContext);
