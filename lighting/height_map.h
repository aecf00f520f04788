#pragma once
#include <cstdint>

// The relief heights of the current tile (or of the preview). Each worker's
// thread block holds a copy, so its layout is fixed (20 bytes in the 32-bit
// module).
struct HeightMapRecord {
    uint32_t capacity = 0; // bytes available in map
    int32_t* map = nullptr;
    uint32_t rowBytes = 0;
    uint32_t width = 0; // elements per row
    int32_t scale = 0;  // signed relief value used for this map
};

// A run's first height map holds a tile's 66 x 66 elements.
constexpr uint32_t kInitialHeightMapBytes = 17424;

// Builds the relief heights from W x H texture samples (one byte each, rows
// rowBytes apart) into map: (H - 2) rows of (W - 2) elements, element (i, j)
// the samples around (i + 2, j + 2) smoothed and scaled by map.scale / 68.
// The buffer grows by exact reallocation when needed and is reused otherwise.
// 0, or 1 when the buffer cannot be enlarged (map.map is then null).
int buildHeightMap(const uint8_t* samples, int32_t rowBytes, int width, int height,
                   HeightMapRecord& map);

// buildHeightMap in two steps, for threads that share the rows: the map's
// width and room for W x H samples (0, or 1 as above), then rows
// [firstRow, firstRow + rows) of it.
int reserveHeightMap(int width, int height, HeightMapRecord& map);
void buildHeightRows(const uint8_t* samples, int32_t rowBytes, int width, int height, int firstRow,
                     int rows, const HeightMapRecord& map);

// The preview samples the image every previewStep pixels, so its slopes are
// steeper by that factor: its relief scale is relief / (2 x previewStep),
// truncated toward zero.
int32_t previewHeightScale(int32_t relief, int previewStep);
