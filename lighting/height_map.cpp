#include "lighting/height_map.h"

#include <algorithm>
#include <cstddef>

#include "platform/checked_alloc.h"

namespace {
// Heights are kept within 2^28 so that the slope sums of the facets stay in
// 32 bits whatever relief value a block holds; real reliefs stay far below.
constexpr int64_t kHeightLimit = int64_t(1) << 28;

// Grows the buffer to exactly `bytes` when it is too small. False when the
// allocator refuses; the record then holds no buffer.
bool ensureCapacity(HeightMapRecord& map, uint32_t bytes) {
    if (bytes == 0 || (map.map && bytes <= map.capacity))
        return true;
    checkedFree(map.map);
    map.capacity = 0;
    map.map = static_cast<int32_t*>(checkedAlloc(bytes));
    if (!map.map)
        return false;
    map.capacity = bytes;
    return true;
}

// The weights 2 8 2 / 8 32 8 / 2 8 2 over three sample rows at columns c0..c2.
int32_t smoothedSum(const uint8_t* const rows[3], int c0, int c1, int c2) {
    const uint8_t* a = rows[0];
    const uint8_t* b = rows[1];
    const uint8_t* c = rows[2];
    return ((a[c0] + a[c2] + c[c0] + c[c2]) << 1) + ((a[c1] + b[c0] + b[c2] + c[c1]) << 3) +
           (b[c1] << 5);
}

// sum x scale / 68 truncated toward zero, in double precision: the product
// is below 2^46 and exact, and a quotient that is no whole number lies at
// least 1/68 from one, far more than the division's rounding, so truncating
// it gives the integer quotient. (In 32-bit code a 64-bit division is a call
// to a library routine.)
int32_t scaledHeight(int32_t sum, int32_t scale) {
    const double limit = double(kHeightLimit);
    return int32_t(std::clamp(double(sum) * scale / 68.0, -limit, limit));
}
} // namespace

int buildHeightMap(const uint8_t* samples, int32_t rowBytes, int width, int height,
                   HeightMapRecord& map) {
    const int mapWidth = std::max(width - 2, 0);
    const int mapHeight = std::max(height - 2, 0);
    map.width = uint32_t(mapWidth);
    map.rowBytes = uint32_t(mapWidth) * 4;
    if (!ensureCapacity(map, map.rowBytes * uint32_t(mapHeight)))
        return 1;
    // Element (i, j) weighs the samples of rows i+1..i+3 and columns j+1..j+3.
    // The last row and column would reach one sample beyond the rectangle:
    // they take the nearest sample inside instead.
    for (int i = 0; i < mapHeight; ++i) {
        const uint8_t* rows[3];
        for (int k = 0; k < 3; ++k)
            rows[k] = samples + ptrdiff_t(rowBytes) * std::min(i + 1 + k, height - 1);
        int32_t* out = map.map + ptrdiff_t(mapWidth) * i;
        for (int j = 0; j < mapWidth; ++j)
            out[j] = scaledHeight(smoothedSum(rows, j + 1, j + 2, std::min(j + 3, width - 1)),
                                  map.scale);
    }
    return 0;
}

int32_t previewHeightScale(int32_t relief, int previewStep) {
    return relief / (2 * std::max(previewStep, 1));
}
