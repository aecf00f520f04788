#pragma once
#include <cstdint>

struct HeightMapRecord;

// Builds the relief heights from W x H texture samples (one byte each, rows
// rowBytes apart) into map, (W - 2) x (H - 2) elements, each the smoothed sample
// times map.scale / 68. The buffer grows by exact reallocation when needed.
// 0, or 1 when the buffer cannot be enlarged (map.map is then null).
int buildHeightMap(const uint8_t* samples, int32_t rowBytes, int width, int height,
                   HeightMapRecord& map);
