#include "lighting/height_map.h"

#include <algorithm>
#include <cstddef>

#include <emmintrin.h>

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

// The smoothed sums of elements j..j+3 of a row, in 32-bit lanes: samples
// j+1..j+6 of the three rows (eight are loaded) widened to 16 bits, where the
// largest sum, 72 x 255, fits. Lane k of `next` is column k + 1, of
// `afterNext` column k + 2.
__m128i fourSmoothedSums(const uint8_t* const rows[3], int j) {
    const __m128i zero = _mm_setzero_si128();
    const auto samples = [&](int k) {
        const __m128i eight = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(rows[k] + j + 1));
        return _mm_unpacklo_epi8(eight, zero);
    };
    const auto next = [](__m128i v) { return _mm_srli_si128(v, 2); };
    const auto afterNext = [](__m128i v) { return _mm_srli_si128(v, 4); };
    const __m128i a = samples(0), b = samples(1), c = samples(2);
    const __m128i corners =
        _mm_add_epi16(_mm_add_epi16(a, afterNext(a)), _mm_add_epi16(c, afterNext(c)));
    const __m128i edges =
        _mm_add_epi16(_mm_add_epi16(next(a), b), _mm_add_epi16(afterNext(b), next(c)));
    const __m128i sums =
        _mm_add_epi16(_mm_add_epi16(_mm_slli_epi16(corners, 1), _mm_slli_epi16(edges, 3)),
                      _mm_slli_epi16(next(b), 5));
    return _mm_unpacklo_epi16(sums, zero);
}

// scaledHeight of four sums, each lane taking its IEEE steps: the product,
// the quotient, the clamp (max then min, the same as std::clamp for numbers)
// and the truncation.
__m128i fourScaledHeights(__m128i sums, __m128d scale) {
    const __m128d divisor = _mm_set1_pd(68.0);
    const __m128d highest = _mm_set1_pd(double(kHeightLimit));
    const __m128d lowest = _mm_set1_pd(-double(kHeightLimit));
    const auto twoHeights = [&](__m128i twoSums) {
        const __m128d quotient = _mm_div_pd(_mm_mul_pd(_mm_cvtepi32_pd(twoSums), scale), divisor);
        return _mm_cvttpd_epi32(_mm_min_pd(_mm_max_pd(quotient, lowest), highest));
    };
    return _mm_unpacklo_epi64(twoHeights(sums), twoHeights(_mm_srli_si128(sums, 8)));
}

// One row of the map, four elements at a time while the eight samples loaded
// lie inside the row (which keeps the last column, whose third sample is the
// nearest inside, out of them); the rest one by one.
void buildRow(const uint8_t* const rows[3], int width, int32_t scale, int32_t* out) {
    const int mapWidth = width - 2;
    const __m128d scaleLanes = _mm_set1_pd(double(scale));
    int j = 0;
    for (; j + 9 <= width; j += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + j),
                         fourScaledHeights(fourSmoothedSums(rows, j), scaleLanes));
    for (; j < mapWidth; ++j)
        out[j] = scaledHeight(smoothedSum(rows, j + 1, j + 2, std::min(j + 3, width - 1)), scale);
}
} // namespace

int buildHeightMap(const uint8_t* samples, int32_t rowBytes, int width, int height,
                   HeightMapRecord& map) {
    if (reserveHeightMap(width, height, map) != 0)
        return 1;
    buildHeightRows(samples, rowBytes, width, height, 0, std::max(height - 2, 0), map);
    return 0;
}

int reserveHeightMap(int width, int height, HeightMapRecord& map) {
    const int mapWidth = std::max(width - 2, 0);
    const int mapHeight = std::max(height - 2, 0);
    map.width = uint32_t(mapWidth);
    map.rowBytes = uint32_t(mapWidth) * 4;
    return ensureCapacity(map, map.rowBytes * uint32_t(mapHeight)) ? 0 : 1;
}

void buildHeightRows(const uint8_t* samples, int32_t rowBytes, int width, int height, int firstRow,
                     int rows, const HeightMapRecord& map) {
    // Element (i, j) weighs the samples of rows i+1..i+3 and columns j+1..j+3.
    // The last row and column would reach one sample beyond the rectangle:
    // they take the nearest sample inside instead.
    for (int i = firstRow; i < firstRow + rows; ++i) {
        const uint8_t* sampleRows[3];
        for (int k = 0; k < 3; ++k)
            sampleRows[k] = samples + ptrdiff_t(rowBytes) * std::min(i + 1 + k, height - 1);
        buildRow(sampleRows, width, map.scale, map.map + ptrdiff_t(map.width) * i);
    }
}

int32_t previewHeightScale(int32_t relief, int previewStep) {
    return relief / (2 * std::max(previewStep, 1));
}
