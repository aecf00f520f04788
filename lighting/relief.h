#pragma once
#include <cstdint>

struct HeightMapRecord;

// Builds the relief heights from W x H texture samples (one byte each, rows
// rowBytes apart) into map: (H - 2) rows of (W - 2) elements, element (i, j)
// the samples around (i + 2, j + 2) smoothed and scaled by map.scale / 68.
// The buffer grows by exact reallocation when needed and is reused otherwise.
// 0, or 1 when the buffer cannot be enlarged (map.map is then null).
int buildHeightMap(const uint8_t* samples, int32_t rowBytes, int width, int height,
                   HeightMapRecord& map);

// The preview samples the image every previewStep pixels, so its slopes are
// steeper by that factor: its relief scale is relief / (2 x previewStep),
// truncated toward zero.
int32_t previewHeightScale(int32_t relief, int previewStep);
