#include "lighting/facets.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include <emmintrin.h>

#include "lighting/det_math.h"
#include "lighting/light_terms.h"
#include "lighting/shading_scratch.h"

namespace {

// Four normals' components, one vector each, as the twelve floats x0 y0 z0
// x1 y1 z1 x2 y2 z2 x3 y3 z3.
void storeInterleaved(__m128 x, __m128 y, __m128 z, float* normals) {
    const __m128 x0y0x1y1 = _mm_unpacklo_ps(x, y), x2y2x3y3 = _mm_unpackhi_ps(x, y);
    const __m128 y0z0y1z1 = _mm_unpacklo_ps(y, z), y2z2y3z3 = _mm_unpackhi_ps(y, z);
    const __m128 z0z0x1x1 = _mm_shuffle_ps(z, x, _MM_SHUFFLE(1, 1, 0, 0));
    const __m128 z2z2x3x3 = _mm_shuffle_ps(z, x, _MM_SHUFFLE(3, 3, 2, 2));
    _mm_storeu_ps(normals, _mm_shuffle_ps(x0y0x1y1, z0z0x1x1, _MM_SHUFFLE(2, 0, 1, 0)));
    _mm_storeu_ps(normals + 4, _mm_shuffle_ps(y0z0y1z1, x2y2x3y3, _MM_SHUFFLE(1, 0, 3, 2)));
    _mm_storeu_ps(normals + 8, _mm_shuffle_ps(z2z2x3x3, y2z2y3z3, _MM_SHUFFLE(3, 2, 2, 0)));
}

// Two pairs of doubles rounded to single precision, side by side.
__m128 fourSingles(__m128d first, __m128d second) {
    return _mm_movelh_ps(_mm_cvtpd_ps(first), _mm_cvtpd_ps(second));
}

// The normals of four slopes two at a time in SSE2 double precision, with
// the steps of facetNormal; false, writing nothing, when a slope is too steep
// for its square to be exact.
bool fourNormals(const int32_t* gx, const int32_t* gy, float* normals) {
    __m128d components[3][2];
    for (int h = 0; h < 2; ++h) {
        const __m128d x =
            _mm_cvtepi32_pd(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(gx + 2 * h)));
        const __m128d y =
            _mm_cvtepi32_pd(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(gy + 2 * h)));
        const __m128d sign = _mm_set1_pd(-0.0), limit = _mm_set1_pd(kExactSlope);
        const __m128d steep = _mm_or_pd(_mm_cmpge_pd(_mm_andnot_pd(sign, x), limit),
                                        _mm_cmpge_pd(_mm_andnot_pd(sign, y), limit));
        if (_mm_movemask_pd(steep) != 0)
            return false;
        const __m128d side = _mm_set1_pd(double(kHeightPerPixelAt45Degrees));
        const __m128d squares =
            _mm_add_pd(_mm_add_pd(_mm_mul_pd(x, x), _mm_mul_pd(y, y)), _mm_mul_pd(side, side));
        const __m128d k = _mm_div_pd(_mm_set1_pd(1.0), _mm_sqrt_pd(squares));
        // A level facet points straight up: its x is +0, not -(0 x k).
        const __m128d level =
            _mm_and_pd(_mm_cmpeq_pd(x, _mm_setzero_pd()), _mm_cmpeq_pd(y, _mm_setzero_pd()));
        components[0][h] = _mm_andnot_pd(level, _mm_xor_pd(_mm_mul_pd(x, k), sign));
        components[1][h] = _mm_mul_pd(y, k);
        components[2][h] = _mm_mul_pd(side, k);
    }
    storeInterleaved(fourSingles(components[0][0], components[0][1]),
                     fourSingles(components[1][0], components[1][1]),
                     fourSingles(components[2][0], components[2][1]), normals);
    return true;
}

// The slopes and normals of `count` cells between two map rows.
void findCells(const int32_t* upper, const int32_t* lower, int count, RowCells& cells) {
    cellSlopes(upper, lower, count, cells.gx, cells.gy);
    facetNormals(cells.gx, cells.gy, count, cells.normals);
    cells.upper = upper;
    cells.count = count;
}
} // namespace

Neighbourhood gatherNeighbourhood(const int32_t* heights, uint32_t width, int x, int y) {
    Neighbourhood n;
    for (int row = 0; row < 3; ++row) {
        const int32_t* line = heights + ptrdiff_t(width) * (y + row) + x;
        for (int column = 0; column < 3; ++column)
            n.h[row][column] = line[column];
    }
    return n;
}

// Neighbouring pixels share their quarters' sides, so a row's quarters are
// found once per cell rather than once per pixel: a loop the compiler runs
// four cells at a time.
void cellSlopes(const int32_t* upper, const int32_t* lower, int cells, int32_t* gx, int32_t* gy) {
    for (int j = 0; j < cells; ++j) {
        const int32_t across = upper[j + 1] - lower[j]; // b - d
        const int32_t down = lower[j + 1] - upper[j];   // c - a
        gx[j] = (across + down) >> 1;
        gy[j] = (across - down) >> 1;
    }
}

void addFacet(int32_t a, int32_t b, int32_t c, int32_t d, PixelFacets& facets) {
    // Arithmetic shifts on signed values: the heights stay within 2^28, so the
    // sums cannot overflow.
    const int32_t gx = ((b - d) + (c - a)) >> 1; // right side minus left side
    const int32_t gy = ((b - d) - (c - a)) >> 1; // top side minus bottom side
    if (gx == 0 && gy == 0) {
        for (int i = 0; i < facets.count; ++i) {
            if (facets.gx[i] == 0 && facets.gy[i] == 0) {
                facets.weight[i] += 4;
                return;
            }
        }
    }
    facets.gx[facets.count] = gx;
    facets.gy[facets.count] = gy;
    facets.weight[facets.count] = 4;
    ++facets.count;
}

PixelFacets facetsOfPixel(const Neighbourhood& n) {
    const auto& h = n.h;
    PixelFacets facets;
    addFacet(h[0][0], h[0][1], h[1][1], h[1][0], facets);
    addFacet(h[0][1], h[0][2], h[1][2], h[1][1], facets);
    addFacet(h[1][1], h[1][2], h[2][2], h[2][1], facets);
    addFacet(h[1][0], h[1][1], h[2][1], h[2][0], facets);
    return facets;
}

int facetsOfRow(const int32_t* heights, uint32_t width, int x, int pixels, RowCells* kept,
                float* normals, uint32_t* weights, uint8_t* facetsPerPixel) {
    // Pixel p's top-left and top-right quarters are the cells p and p + 1
    // between the map row above and its own; its bottom-right and bottom-left
    // quarters, the cells p + 1 and p between its own row and the one below.
    // Each cell is a quarter of two pixels: its normal is worked out once.
    RowCells own[2];
    pixels = std::min(pixels, kMaxBatchPixels);
    const auto [top, bottom] =
        cellsAroundRow(heights + x, width, pixels + 1, kept ? kept : own, findCells);
    const RowCells &topCells = *top, &bottomCells = *bottom;
    const int32_t *topX = topCells.gx, *topY = topCells.gy;
    const int32_t *bottomX = bottomCells.gx, *bottomY = bottomCells.gy;
    const float *topNormals = topCells.normals, *bottomNormals = bottomCells.normals;
    float* normal = normals;
    for (int p = 0; p < pixels; ++p) {
        const bool level[4] = {(topX[p] | topY[p]) == 0, (topX[p + 1] | topY[p + 1]) == 0,
                               (bottomX[p + 1] | bottomY[p + 1]) == 0,
                               (bottomX[p] | bottomY[p]) == 0};
        if (!(level[0] || level[1] || level[2] || level[3])) {
            // Rough relief: four facets, the top two's normals side by side.
            std::memcpy(normal, topNormals + 3 * p, 6 * sizeof(float));
            std::memcpy(normal + 6, bottomNormals + 3 * (p + 1), 3 * sizeof(float));
            std::memcpy(normal + 9, bottomNormals + 3 * p, 3 * sizeof(float));
            normal += 12;
            for (int q = 0; q < 4; ++q)
                weights[q] = 4;
            weights[4] = 0;
            weights += 5;
            facetsPerPixel[p] = 4;
            continue;
        }
        const float* quarterNormal[4] = {topNormals + 3 * p, topNormals + 3 * (p + 1),
                                         bottomNormals + 3 * (p + 1), bottomNormals + 3 * p};
        // As addFacet: a level quarter joins the pixel's first level facet.
        int count = 0, levelFacet = -1;
        for (int q = 0; q < 4; ++q) {
            if (level[q] && levelFacet >= 0) {
                weights[levelFacet] += 4;
                continue;
            }
            if (level[q])
                levelFacet = count;
            std::memcpy(normal, quarterNormal[q], 3 * sizeof(float));
            normal += 3;
            weights[count++] = 4;
        }
        weights[count] = 0;
        weights += count + 1;
        facetsPerPixel[p] = uint8_t(count);
    }
    return int(normal - normals) / 3;
}

void facetNormal(int32_t gx, int32_t gy, float normal[3]) {
    if (gx == 0 && gy == 0) {
        normal[0] = 0.0f;
        normal[1] = 0.0f;
        normal[2] = 1.0f;
        return;
    }
    // gx^2 + gy^2 reaches 10^10 and more: formed in 64 bits, exact.
    const int64_t squares = int64_t(gx) * gx + int64_t(gy) * gy +
                            kHeightPerPixelAt45Degrees * kHeightPerPixelAt45Degrees;
    const double k = 1.0 / detSqrt(double(squares));
    normal[0] = float(-(gx * k));
    normal[1] = float(gy * k);
    normal[2] = float(double(kHeightPerPixelAt45Degrees) * k);
}

void facetNormals(const int32_t* gx, const int32_t* gy, int count, float* normals) {
    int i = 0;
#ifdef ORVANE_WIDE_LIGHT_STEPS
    if (lightStepsInUse() == LightSteps::Avx512)
        i = facetNormalsAvx512(gx, gy, count, normals);
#endif
    for (; i + 4 <= count; i += 4)
        if (!fourNormals(gx + i, gy + i, normals + 3 * i))
            for (int k = i; k < i + 4; ++k)
                facetNormal(gx[k], gy[k], normals + 3 * k);
    for (; i < count; ++i)
        facetNormal(gx[i], gy[i], normals + 3 * i);
}

void normalsAndMirrors(const int32_t* gx, const int32_t* gy, int count,
                       const NormalsAndMirrors& out) {
    int i = 0;
#ifdef ORVANE_WIDE_LIGHT_STEPS
    if (lightStepsInUse() == LightSteps::Avx512)
        i = normalsAndMirrorsAvx512(gx, gy, count, out);
#endif
    float normals[3 * kMaxBatchPixels];
    for (int first = i; first < count; first += kMaxBatchPixels) {
        const int slopes = std::min(kMaxBatchPixels, count - first);
        facetNormals(gx + first, gy + first, slopes, normals);
        for (int j = 0; j < slopes; ++j) {
            const double nx = normals[3 * j], ny = normals[3 * j + 1], nz = normals[3 * j + 2];
            const double twiceZ = 2.0 * nz;
            out.nx[first + j] = nx;
            out.ny[first + j] = ny;
            out.nz[first + j] = nz;
            out.rx[first + j] = twiceZ * nx;
            out.ry[first + j] = twiceZ * ny;
            out.rz[first + j] = twiceZ * nz - 1.0;
        }
    }
}
