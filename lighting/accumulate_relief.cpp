#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include <emmintrin.h>

#include "lighting/det_math.h"
#include "lighting/facets.h"
#include "lighting/light_kernels.h"
#include "lighting/material_in_double.h"
#include "lighting/parameter_block.h"
#include "lighting/relief_chunk.h"
#include "lighting/shading_scratch.h"

// Relief facets are lit in chunks of up to kChunkFacets facets. A chunk first
// lays out what no light changes, one array per component: the normal N and
// the view direction mirrored about it R in double precision, the position of
// the facet's pixel, and the sums (a batch's chunk here, as one run; a relief
// row's in relief_row.cpp, as four runs of quarters whose N and R are those
// of its rows of cells, normalsAndMirrors'). Each light then works out L, e
// and the spot falloff once per pixel of the chunk, and lights the facets
// four at a time: the doubles of two facets fill an SSE2 vector, the 32-bit
// sums of four.
// Each lane takes the steps of lightAtPixel and addFacetShares in
// lighting_formula.h, in their order, so that it gives their bits (the
// argument is written there): the pixel passes (omniPixels, spotPixels and
// the directional case of lightChunk) are lightAtPixel; layOutNormals is
// addFacetShares' R; lightFacets its n, r and shareOf. A facet facing away
// from the light (N.L <= 0, or R.L <= 0 for the highlight) or outside a
// spot's cone is not skipped by a branch, as there: its share is masked to
// zero.
//
// Truncating a share and adding it saturate at the 32-bit limits. Before a
// light runs over a chunk, a bound on its shares (|I| |N| for the diffuse
// share, |I| |R|^2 |L| for the highlight, times the largest falloff) is added
// to a bound on the sums; while that stays below the limits nothing can
// saturate, and the shares are truncated and added without the clamping
// steps. Otherwise, for far or strong lights, every step clamps.

namespace {
// The pixels of a batch in the order of the weights list: each facet's pixel
// (kNoPixel for facets beyond the list's pixels) and each pixel's position,
// that of its first facet, which gives the pixel's L.
struct BatchPixels {
    static constexpr int16_t kNoPixel = -1;
    int count = 0;
    const int16_t* of = nullptr;   // ownOf, or the batch's own list
    const float* facetX = nullptr; // the batch's, when its pixels lie on one row
    int16_t ownOf[kMaxBatchFacets];
    double x[kMaxBatchFacets + 2], y[kMaxBatchFacets + 2];
};

// A pixel without facets has nothing to light and gets no entry, so that a
// chunk never has more pixels than facets.
void findPixels(const FacetBatch& b, BatchPixels& pixels) {
    const uint32_t* weight = b.weights;
    int facet = 0;
    pixels.count = 0;
    pixels.of = pixels.ownOf;
    for (int p = 0; p < b.pixels && facet < b.count; ++p) {
        int facets = 0;
        while (weight[facets] != 0)
            ++facets;
        weight += facets + 1;
        facets = std::min(facets, b.count - facet);
        if (facets == 0)
            continue;
        std::fill_n(pixels.ownOf + facet, facets, int16_t(pixels.count));
        pixels.x[pixels.count] = b.positions[2 * facet];
        pixels.y[pixels.count] = b.positions[2 * facet + 1];
        ++pixels.count;
        facet += facets;
    }
    pixels.x[pixels.count] = pixels.y[pixels.count] = 0.0; // the pixel passes go two at a time
    for (; facet < b.count; ++facet)
        pixels.ownOf[facet] = BatchPixels::kNoPixel;
}

// The pixels as the facet builder lists them: every pixel has facets.
void takePixelsOfBatch(const FacetBatch& b, BatchPixels& pixels) {
    pixels.count = b.pixels;
    pixels.of = b.pixelOf;
    pixels.facetX = b.facetX;
    for (int p = 0; p < b.pixels; ++p) {
        pixels.x[p] = b.pixelCentres[2 * p];
        pixels.y[p] = b.pixelCentres[2 * p + 1];
    }
    pixels.x[b.pixels] = pixels.y[b.pixels] = 0.0; // the pixel passes go two at a time
}

// dotOf, two lanes.
__m128d dot(__m128d ax, __m128d ay, __m128d az, __m128d bx, __m128d by, __m128d bz) {
    return _mm_add_pd(_mm_add_pd(_mm_mul_pd(ax, bx), _mm_mul_pd(ay, by)), _mm_mul_pd(az, bz));
}

// The larger of two values, NaN when either is NaN: a NaN in a bound must
// send the light to the clamping steps.
double largest(double a, double b) {
    return a != a ? a : b != b || b > a ? b : a;
}

// The larger lane of the largest values, NaN when any value was NaN.
double largestLane(__m128d largestValues, __m128d unordered) {
    double lanes[2];
    _mm_storeu_pd(lanes, _mm_or_pd(largestValues, unordered));
    return largest(lanes[0], lanes[1]);
}

// Two facets' normals from their six consecutive floats x0 y0 z0 x1 y1 z1,
// widened two at a time (x0 y0, z0 x1, y1 z1), as one vector per component.
void splitPair(__m128d x0y0, __m128d z0x1, __m128d y1z1, __m128d& nx, __m128d& ny, __m128d& nz) {
    nx = _mm_shuffle_pd(x0y0, z0x1, 0b10);
    ny = _mm_shuffle_pd(x0y0, y1z1, 0b01);
    nz = _mm_shuffle_pd(z0x1, y1z1, 0b10);
}

// The high half of four floats, widened.
__m128d upperPair(__m128 four) {
    return _mm_cvtps_pd(_mm_movehl_ps(four, four));
}

// The normals of facets i and i + 1 of the chunk as doubles, one vector per
// component; the pads face nowhere (N = 0).
void normalPair(const FacetBatch& b, const FacetChunk& c, int i, __m128d& nx, __m128d& ny,
                __m128d& nz) {
    if (i + 1 < c.count) {
        const float* n = b.normals + 3 * (c.first + i);
        const __m128 first = _mm_loadu_ps(n);
        const __m128d y1z1 = _mm_cvtps_pd(
            _mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(n + 4))));
        splitPair(_mm_cvtps_pd(first), upperPair(first), y1z1, nx, ny, nz);
        return;
    }
    static const float kFacingNowhere[3] = {0.0f, 0.0f, 0.0f};
    const float* n0 = i < c.count ? b.normals + 3 * (c.first + i) : kFacingNowhere;
    nx = _mm_set_sd(n0[0]);
    ny = _mm_set_sd(n0[1]);
    nz = _mm_set_sd(n0[2]);
}

// The squares of the longest N and R laid out so far, NaN kept apart.
struct LongestNormals {
    __m128d n = _mm_setzero_pd(), r = _mm_setzero_pd(), unordered = _mm_setzero_pd();
};

// Stores N and R of facets i and i + 1 (R as addFacetShares has it) and
// measures them when asked.
template <bool kMeasureLengths>
void storeNormalPair(__m128d nx, __m128d ny, __m128d nz, int i, FacetChunk& c,
                     LongestNormals& longest) {
    const __m128d twiceZ = _mm_mul_pd(_mm_set1_pd(2.0), nz);
    const __m128d rx = _mm_mul_pd(twiceZ, nx), ry = _mm_mul_pd(twiceZ, ny),
                  rz = _mm_sub_pd(_mm_mul_pd(twiceZ, nz), _mm_set1_pd(1.0));
    _mm_store_pd(c.nx + i, nx);
    _mm_store_pd(c.ny + i, ny);
    _mm_store_pd(c.nz + i, nz);
    _mm_store_pd(c.rx + i, rx);
    _mm_store_pd(c.ry + i, ry);
    _mm_store_pd(c.rz + i, rz);
    if constexpr (kMeasureLengths) {
        const __m128d n2 = dot(nx, ny, nz, nx, ny, nz), r2 = dot(rx, ry, rz, rx, ry, rz);
        longest.n = _mm_max_pd(longest.n, n2);
        longest.r = _mm_max_pd(longest.r, r2);
        longest.unordered = _mm_or_pd(longest.unordered, _mm_cmpunord_pd(n2, r2));
    }
}

// N and R of the chunk's facets and the longest of each: measured, unless the
// batch's normals are known to be unit vectors. Four facets are twelve
// consecutive floats, loaded as three vectors; the last facets and the pads
// go a pair at a time.
template <bool kMeasureLengths> void layOutNormals(const FacetBatch& b, FacetChunk& c) {
    LongestNormals longest;
    __m128d nx, ny, nz;
    int i = 0;
#ifdef ORVANE_WIDE_LIGHT_STEPS
    if (!kMeasureLengths && lightStepsInUse() == LightSteps::Avx512)
        i = widenNormalsAvx512(b.normals + 3 * c.first, c.count,
                               NormalsAndMirrors{c.nx, c.ny, c.nz, c.rx, c.ry, c.rz});
#endif
    const float* n = b.normals + 3 * (c.first + i);
    for (; i + 4 <= c.count; i += 4, n += 12) {
        const __m128 first = _mm_loadu_ps(n), second = _mm_loadu_ps(n + 4),
                     third = _mm_loadu_ps(n + 8);
        splitPair(_mm_cvtps_pd(first), upperPair(first), _mm_cvtps_pd(second), nx, ny, nz);
        storeNormalPair<kMeasureLengths>(nx, ny, nz, i, c, longest);
        splitPair(upperPair(second), _mm_cvtps_pd(third), upperPair(third), nx, ny, nz);
        storeNormalPair<kMeasureLengths>(nx, ny, nz, i + 2, c, longest);
    }
    for (; i < c.padded; i += 2) {
        normalPair(b, c, i, nx, ny, nz);
        storeNormalPair<kMeasureLengths>(nx, ny, nz, i, c, longest);
    }
    if constexpr (kMeasureLengths) {
        c.normalLength = std::sqrt(largestLane(longest.n, longest.unordered));
        c.mirrorLength = std::sqrt(largestLane(longest.r, longest.unordered));
    } else {
        c.normalLength = c.mirrorLength = kLongestFacetNormal;
    }
}

// The sums so far: zero, or the batch's (with the largest as their bound).
void layOutSums(const FacetBatch& b, bool sumsStartAtZero, FacetChunk& c) {
    c.diffuseBound = c.specularBound = 0.0;
    // Whole arrays: a fixed size is cleared by a run of vector stores, where
    // the padded length took a call per array.
    std::memset(c.diffuse, 0, sizeof c.diffuse);
    std::memset(c.specular, 0, sizeof c.specular);
    if (sumsStartAtZero)
        return;
    for (int i = 0; i < c.count; ++i) {
        const int32_t* diffuse = b.diffuse + kSumWords * (c.first + i);
        const int32_t* specular = b.specular + kSumWords * (c.first + i);
        for (int ch = 0; ch < 3; ++ch) {
            c.diffuse[ch][i] = diffuse[ch];
            c.specular[ch][i] = specular[ch];
            c.diffuseBound = std::max(c.diffuseBound, std::fabs(double(diffuse[ch])));
            c.specularBound = std::max(c.specularBound, std::fabs(double(specular[ch])));
        }
    }
}

// Which of the chunk's pixels each facet belongs to, and its position. The
// chunk's pixels are a run of the batch's, from its first facet's on.
void layOutPixels(const BatchPixels& batch, FacetChunk& c) {
    const int16_t* of = batch.of + c.first;
    const int last = c.count - 1;
    c.firstPixel = of[0] != BatchPixels::kNoPixel ? of[0] : batch.count;
    c.pixels = (of[last] != BatchPixels::kNoPixel ? of[last] + 1 : batch.count) - c.firstPixel;
    c.pixelX = batch.x + c.firstPixel;
    c.pixelY = batch.y + c.firstPixel;
    // The facets outside every pixel come last (findPixels), then the pads.
    int inPixels = c.count;
    if (of[last] == BatchPixels::kNoPixel)
        inPixels = int(std::find(of, of + c.count, BatchPixels::kNoPixel) - of);
    const int firstPixel = c.firstPixel;
    const double *pixelX = c.pixelX, *pixelY = c.pixelY;
    int i = 0;
    if (batch.facetX) {
        // One row: each facet's X at hand, the one Y for all; a loop the
        // compiler runs several facets at a time.
        const float* x = batch.facetX + c.first;
        const double y = pixelY[0];
        for (; i < inPixels; ++i) {
            c.pixelOf[i] = of[i] - firstPixel;
            c.x[i] = x[i];
            c.y[i] = y;
        }
    }
    for (; i < inPixels; ++i) {
        const int pixel = of[i] - firstPixel;
        c.pixelOf[i] = pixel;
        c.x[i] = pixelX[pixel];
        c.y[i] = pixelY[pixel];
    }
    for (; i < c.padded; ++i) {
        c.pixelOf[i] = kOutside;
        c.x[i] = c.y[i] = 0.0;
    }
}

void layOutChunk(const FacetBatch& b, const BatchPixels& pixels, int first, bool sumsStartAtZero,
                 FacetChunk& c) {
    c.first = first;
    c.count = std::min(kChunkFacets, b.count - first);
    c.padded = (c.count + kFacetsPerStep - 1) / kFacetsPerStep *
               kFacetsPerStep; // pads face nowhere: N = 0 gives N.L = 0
    if (b.unitNormals)
        layOutNormals<false>(b, c);
    else
        layOutNormals<true>(b, c);
    layOutSums(b, sumsStartAtZero, c);
    layOutPixels(pixels, c);
    c.runs = 1;
    c.runLength = c.padded;
    c.run[0] = FacetRun{c.nx, c.ny, c.nz, c.rx, c.ry, c.rz};
}

// The three sums of four facets as the 16-byte slots of the batch, the fourth
// word zero.
void storeFourSlots(const int32_t* const sums[3], int i, int32_t* slots) {
    const auto load = [&](int ch) {
        return _mm_load_si128(reinterpret_cast<const __m128i*>(sums[ch] + i));
    };
    const __m128i red = load(0), green = load(1), blue = load(2), zero = _mm_setzero_si128();
    const __m128i redGreenLow = _mm_unpacklo_epi32(red, green);
    const __m128i blueLow = _mm_unpacklo_epi32(blue, zero);
    const __m128i redGreenHigh = _mm_unpackhi_epi32(red, green);
    const __m128i blueHigh = _mm_unpackhi_epi32(blue, zero);
    __m128i* out = reinterpret_cast<__m128i*>(slots);
    _mm_storeu_si128(out, _mm_unpacklo_epi64(redGreenLow, blueLow));
    _mm_storeu_si128(out + 1, _mm_unpackhi_epi64(redGreenLow, blueLow));
    _mm_storeu_si128(out + 2, _mm_unpacklo_epi64(redGreenHigh, blueHigh));
    _mm_storeu_si128(out + 3, _mm_unpackhi_epi64(redGreenHigh, blueHigh));
}

// Back into the batch's slots; the fourth word of a slot is left as it was
// unless the sums started at zero.
void storeSums(const FacetChunk& c, const FacetBatch& b, bool sumsStartAtZero) {
    const int32_t* const diffuse[3] = {c.diffuse[0], c.diffuse[1], c.diffuse[2]};
    const int32_t* const specular[3] = {c.specular[0], c.specular[1], c.specular[2]};
    int i = 0;
    if (sumsStartAtZero) {
        for (; i + 4 <= c.count; i += 4) {
            storeFourSlots(diffuse, i, b.diffuse + kSumWords * (c.first + i));
            storeFourSlots(specular, i, b.specular + kSumWords * (c.first + i));
        }
    }
    for (; i < c.count; ++i) {
        int32_t* diffuseSlot = b.diffuse + kSumWords * (c.first + i);
        int32_t* specularSlot = b.specular + kSumWords * (c.first + i);
        for (int ch = 0; ch < 3; ++ch) {
            diffuseSlot[ch] = c.diffuse[ch][i];
            specularSlot[ch] = c.specular[ch][i];
        }
        if (sumsStartAtZero)
            diffuseSlot[3] = specularSlot[3] = 0;
    }
}

// The two lanes' entries of a per-pixel array.
__m128d pixelPair(const double* values, const int32_t* pixelOf) {
    return _mm_loadh_pd(_mm_load_sd(values + pixelOf[0]), values + pixelOf[1]);
}

// The 64-bit masks of two facet pairs as four 32-bit masks.
__m128i fourMasks(__m128d first, __m128d second) {
    return _mm_castps_si128(
        _mm_shuffle_ps(_mm_castpd_ps(first), _mm_castpd_ps(second), _MM_SHUFFLE(2, 0, 2, 0)));
}

// L, e, the falloff and the lit mask of one facet pair.
struct PairLight {
    __m128d lx, ly, e, falloff, lit;
};

template <LightKind kKind>
PairLight pairLight(const LightTerms& t, const FacetChunk& c, const PixelLights& pixels, int i) {
    if constexpr (kKind == LightKind::Directional) {
        return PairLight{_mm_set1_pd(t.direction[0]), _mm_set1_pd(t.direction[1]),
                         _mm_set1_pd(pixels.e[0]), _mm_setzero_pd(),
                         _mm_castsi128_pd(_mm_set1_epi32(-1))};
    } else {
        PairLight l;
        l.lx = _mm_sub_pd(_mm_set1_pd(t.point[0]), _mm_load_pd(c.x + i));
        l.ly = _mm_sub_pd(_mm_set1_pd(t.point[1]), _mm_load_pd(c.y + i));
        l.e = pixelPair(pixels.e, c.pixelOf + i);
        l.lit = pixelPair(pixels.lit, c.pixelOf + i);
        l.falloff =
            kKind == LightKind::Spot ? pixelPair(pixels.falloff, c.pixelOf + i) : _mm_setzero_pd();
        return l;
    }
}

// shareOf, two lanes (f = 1 left out but for spots).
template <LightKind kKind> __m128d share(__m128d strength, __m128d product, const PairLight& l) {
    const __m128d x = _mm_mul_pd(_mm_mul_pd(strength, product), l.e);
    return kKind == LightKind::Spot ? _mm_mul_pd(x, l.falloff) : x;
}

// Lights four facets of a run by one light, whose L, e and falloff at them
// are l: j is their place in the run, i in the chunk.
template <LightKind kKind, bool kClamped>
void lightFourFacets(const LightTerms& t, FacetChunk& c, const FacetRun& run, const PairLight l[2],
                     int j, int i) {
    const __m128d lz = _mm_set1_pd(kKind == LightKind::Directional ? t.direction[2] : t.point[2]);
    const __m128d zero = _mm_setzero_pd();
    __m128d nSingle[2], r2[2], diffuseLit[2], specularLit[2];
    for (int h = 0; h < 2; ++h) {
        const int k = j + 2 * h;
        const __m128d n = dot(_mm_loadu_pd(run.nx + k), _mm_loadu_pd(run.ny + k),
                              _mm_loadu_pd(run.nz + k), l[h].lx, l[h].ly, lz);
        diffuseLit[h] = _mm_and_pd(_mm_cmpgt_pd(n, zero), l[h].lit);
        nSingle[h] = _mm_cvtps_pd(_mm_cvtpd_ps(n));
        const __m128d r = dot(_mm_loadu_pd(run.rx + k), _mm_loadu_pd(run.ry + k),
                              _mm_loadu_pd(run.rz + k), l[h].lx, l[h].ly, lz);
        specularLit[h] = _mm_and_pd(_mm_cmpgt_pd(r, zero), diffuseLit[h]);
        r2[h] = _mm_mul_pd(r, r);
    }
    const __m128i diffuseMask = fourMasks(diffuseLit[0], diffuseLit[1]);
    const __m128i specularMask = fourMasks(specularLit[0], specularLit[1]);
    for (int ch = 0; ch < 3; ++ch) {
        const __m128d strength = _mm_set1_pd(t.strength[ch]);
        addLitShares<kClamped>(c.diffuse[ch] + i,
                               truncSaturated4<kClamped>(share<kKind>(strength, nSingle[0], l[0]),
                                                         share<kKind>(strength, nSingle[1], l[1])),
                               diffuseMask);
        addLitShares<kClamped>(c.specular[ch] + i,
                               truncSaturated4<kClamped>(share<kKind>(strength, r2[0], l[0]),
                                                         share<kKind>(strength, r2[1], l[1])),
                               specularMask);
    }
}

// Lights the chunk's facets by one light, four at a time.
template <LightKind kKind, bool kClamped>
void lightFacets(const LightTerms& t, FacetChunk& c, const PixelLights& pixels) {
    // The light at the j-th facets of the runs is the same for each run.
    for (int j = 0; j < c.runLength; j += 4) {
        // A spot's cone leaves whole runs of pixels dark: four facets outside
        // it are passed over.
        if (kKind == LightKind::Spot && fourOutsideTheCone(pixels, c.pixelOf + j))
            continue;
        const PairLight l[2] = {pairLight<kKind>(t, c, pixels, j),
                                pairLight<kKind>(t, c, pixels, j + 2)};
        for (int k = 0; k < c.runs; ++k)
            lightFourFacets<kKind, kClamped>(t, c, c.run[k], l, j, k * c.runLength + j);
    }
}

// The extremes of |L|^2 over the pixel pairs of a chunk.
struct LengthRange {
    __m128d longest = _mm_setzero_pd(), shortest = _mm_set1_pd(INFINITY),
            unordered = _mm_setzero_pd();
    void add(__m128d squared) {
        longest = _mm_max_pd(longest, squared);
        shortest = _mm_min_pd(shortest, squared);
        unordered = _mm_or_pd(unordered, _mm_cmpunord_pd(squared, squared));
    }
    void store(PixelLights& out) const {
        double lanes[2];
        _mm_storeu_pd(lanes, _mm_min_pd(shortest, _mm_shuffle_pd(shortest, shortest, 1)));
        out.shortestSquared = lanes[0];
        out.longestSquared = largestLane(longest, unordered);
    }
};

// L = P - (X, Y, 0) per pixel pair, and e = 1 / |L|.
__m128d pixelLightAt(const LightTerms& t, const FacetChunk& c, int p, LengthRange& range,
                     __m128d& lx, __m128d& ly) {
    lx = _mm_sub_pd(_mm_set1_pd(t.point[0]), _mm_loadu_pd(c.pixelX + p));
    ly = _mm_sub_pd(_mm_set1_pd(t.point[1]), _mm_loadu_pd(c.pixelY + p));
    const __m128d lz = _mm_set1_pd(t.point[2]);
    const __m128d squared = dot(lx, ly, lz, lx, ly, lz);
    range.add(squared);
    return _mm_div_pd(_mm_set1_pd(1.0), _mm_sqrt_pd(squared));
}

void omniPixels(const LightTerms& t, const FacetChunk& c, PixelLights& out) {
    LengthRange range;
    for (int p = 0; p < c.pixels; p += 2) {
        __m128d lx, ly;
        _mm_storeu_pd(out.e + p, pixelLightAt(t, c, p, range, lx, ly));
        _mm_storeu_pd(out.lit + p, _mm_castsi128_pd(_mm_set1_epi32(-1)));
    }
    range.store(out);
    out.largestFalloff = 1.0;
}

// The spot keeps e and the cosine a in single precision; a pixel outside the
// cone is not lit. False when no pixel of the chunk is.
bool spotPixels(const LightTerms& t, const FacetChunk& c, PixelLights& out) {
    const double* axis = t.direction;
    const __m128d sign = _mm_set1_pd(-0.0);
    LengthRange range;
    bool anyLit = false;
    out.largestFalloff = 1.0;
    for (int p = 0; p < c.pixels; p += 2) {
        __m128d lx, ly;
        const __m128d e = _mm_cvtps_pd(_mm_cvtpd_ps(pixelLightAt(t, c, p, range, lx, ly)));
        const __m128d along = dot(lx, ly, _mm_set1_pd(t.point[2]), _mm_set1_pd(axis[0]),
                                  _mm_set1_pd(axis[1]), _mm_set1_pd(axis[2]));
        const __m128d a = _mm_cvtps_pd(_mm_cvtpd_ps(_mm_mul_pd(_mm_xor_pd(along, sign), e)));
        _mm_storeu_pd(out.e + p, e);
        double cosines[2];
        _mm_storeu_pd(cosines, a);
        for (int k = 0; k < 2; ++k) {
            const bool inside = cosines[k] > t.coneCosine;
            out.falloff[p + k] = inside ? falloffAt(t, float(cosines[k])) : 0.0;
            out.largestFalloff = largest(out.largestFalloff, std::fabs(out.falloff[p + k]));
            out.lit[p + k] = 0.0;
            if (inside)
                _mm_store_sd(out.lit + p + k, _mm_castsi128_pd(_mm_set1_epi32(-1)));
            anyLit = anyLit || inside;
        }
    }
    range.store(out);
    return anyLit;
}

// Adds the light's bound on the shares to the chunk's bounds on the sums;
// false when a sum might then reach the 32-bit limits (NaN included), or when
// an intermediate might leave its range: e (in single precision for a spot)
// when L is next to nothing, N.L rounded to single precision when L is vast.
bool chunkSumsAndStepsStayInRange(const LightTerms& t, FacetChunk& c, const PixelLights& pixels) {
    const double length = std::sqrt(pixels.longestSquared), falloff = pixels.largestFalloff;
    const double strength =
        std::max({std::fabs(t.strength[0]), std::fabs(t.strength[1]), std::fabs(t.strength[2])});
    c.diffuseBound += strength * c.normalLength * falloff * kBoundMargin;
    c.specularBound += strength * c.mirrorLength * c.mirrorLength * length * falloff * kBoundMargin;
    return c.diffuseBound < kSumUpper && c.specularBound < kSumUpper &&
           pixels.shortestSquared > 1e-60 && c.normalLength * length < 1e30;
}

template <LightKind kKind, bool kClamped>
void lightFacetsOnThisProcessor(const LightTerms& t, FacetChunk& c, const PixelLights& p) {
#ifdef ORVANE_WIDE_LIGHT_STEPS
    switch (lightStepsInUse()) {
    case LightSteps::Avx512:
        return lightFacetsAvx512<kKind, kClamped>(t, c, p);
    case LightSteps::Avx:
        return lightFacetsWide<kKind, kClamped>(t, c, p);
    case LightSteps::Sse2:
        break;
    }
#endif
    lightFacets<kKind, kClamped>(t, c, p);
}

template <LightKind kKind>
void lightFacets(const LightTerms& t, FacetChunk& c, const PixelLights& p) {
    if (chunkSumsAndStepsStayInRange(t, c, p)) {
        lightFacetsOnThisProcessor<kKind, false>(t, c, p);
    } else {
        c.diffuseBound = c.specularBound = INFINITY; // and so for the lights after it
        lightFacetsOnThisProcessor<kKind, true>(t, c, p);
    }
}

void omniPixelsOnThisProcessor(const LightTerms& t, const FacetChunk& c, PixelLights& out) {
#ifdef ORVANE_WIDE_LIGHT_STEPS
    if (lightStepsInUse() == LightSteps::Avx512)
        return omniPixelsAvx512(t, c, out);
#endif
    omniPixels(t, c, out);
}

bool spotPixelsOnThisProcessor(const LightTerms& t, const FacetChunk& c, PixelLights& out) {
#ifdef ORVANE_WIDE_LIGHT_STEPS
    if (lightStepsInUse() == LightSteps::Avx512)
        return spotPixelsAvx512(t, c, out);
#endif
    return spotPixels(t, c, out);
}

void lightChunk(uint32_t type, const LightTerms& t, FacetChunk& c, PixelLights& pixels) {
    // The entry of facets outside every pixel, and of the pads; the AVX-512
    // steps also read the entries after it.
    std::fill_n(pixels.e + kOutside, kFacetsPerStep, 0.0);
    std::fill_n(pixels.falloff + kOutside, kFacetsPerStep, 0.0);
    std::fill_n(pixels.lit + kOutside, kFacetsPerStep, 0.0);
    switch (type) {
    case Omni:
        omniPixelsOnThisProcessor(t, c, pixels);
        lightFacets<LightKind::Omni>(t, c, pixels);
        break;
    case Directional: {
        const double* d = t.direction;
        const double squared = dotOf(d[0], d[1], d[2], d[0], d[1], d[2]);
        pixels.e[0] = 1.0 / detSqrt(squared);
        pixels.longestSquared = pixels.shortestSquared = squared;
        pixels.largestFalloff = 1.0;
        lightFacets<LightKind::Directional>(t, c, pixels);
        break;
    }
    case Spot:
        if (spotPixelsOnThisProcessor(t, c, pixels))
            lightFacets<LightKind::Spot>(t, c, pixels);
        break;
    default:
        break; // an unknown type adds nothing
    }
}
// Lights the batch chunk after chunk by every light, then hands each chunk,
// its sums complete, to afterLights.
template <typename AfterLights>
void lightChunks(const RenderLight* lights, int count, const FacetBatch& batch,
                 bool sumsStartAtZero, AfterLights afterLights) {
    if (count <= 0 || batch.count <= 0)
        return;
    count = std::min(count, int(ParameterBlock::kMaxLights));
    BatchPixels pixelsOfBatch;
    if (batch.pixelOf && batch.pixelCentres)
        takePixelsOfBatch(batch, pixelsOfBatch);
    else
        findPixels(batch, pixelsOfBatch);
    LightTerms terms[ParameterBlock::kMaxLights];
    for (int l = 0; l < count; ++l)
        terms[l] = termsOf(lights[l]);
    FacetChunk chunk;
    PixelLights pixels;
    for (int first = 0; first < batch.count; first += kChunkFacets) {
        layOutChunk(batch, pixelsOfBatch, first, sumsStartAtZero, chunk);
        for (int l = 0; l < count; ++l)
            lightChunk(lights[l].type, terms[l], chunk, pixels);
        afterLights(chunk);
    }
}

// litByte on a chunk's sums facet by facet, in 64-bit integers: the form for
// negative exposures and for processors without AVX.
template <Highlight kKind> void litValuesInIntegers(const ParameterBlock& block, FacetChunk& c) {
    const MaterialTerms m{block.gloss, block.material, block.exposure};
    // (Copies: the stores below might alias them.)
    const int padded = c.padded, runLength = c.runLength;
    for (int ch = 0; ch < 3; ++ch) {
        const int64_t ambient = block.ambient[ch];
        for (int j = 0; j < runLength; ++j) // the colour is the same in each run
            for (int i = j; i < padded; i += runLength)
                c.litValues[ch][i] = litByte<kKind>(m, c.colour[ch][j], ambient, c.diffuse[ch][i],
                                                    c.specular[ch][i]);
    }
}

#ifdef ORVANE_MATERIAL_IN_DOUBLE
// litValuesInIntegers two values to an SSE2 vector, in double precision (for
// an exposure of 0 or more).
template <Highlight kKind> void litValuesInDouble(const ParameterBlock& block, FacetChunk& c) {
    const MaterialInDouble material(block);
    const auto loadTwo = [](const int32_t* values) {
        return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(values));
    };
    // (Copies: the stores below might alias them.)
    const int padded = c.padded, runLength = c.runLength;
    for (int ch = 0; ch < 3; ++ch) {
        const __m128d ambient = _mm_set1_pd(block.ambient[ch]);
        for (int j = 0; j < runLength; j += 2) { // the colour is the same in each run
            const __m128d colour = _mm_cvtepi32_pd(loadTwo(c.colour[ch] + j));
            for (int i = j; i < padded; i += runLength)
                _mm_storel_epi64(reinterpret_cast<__m128i*>(c.litValues[ch] + i),
                                 material.litBytes<kKind>(
                                     ambient, loadTwo(c.diffuse[ch] + i),
                                     _mm_srai_epi32(loadTwo(c.specular[ch] + i), 8), colour));
        }
    }
}
#endif

// The material step on a chunk's sums, into its lit values: in double
// precision with AVX, or in 32-bit code with SSE2, for an exposure of 0 or
// more (lighting_formula.h tells why that gives the same values), else in
// integers.
void litValuesOfChunk(const ParameterBlock& block, FacetChunk& c) {
    withHighlightOf(block.material, [&](auto kind) {
        constexpr Highlight kKind = decltype(kind)::value;
#ifdef ORVANE_WIDE_LIGHT_STEPS
        if (block.exposure >= 0 && lightStepsInUse() == LightSteps::Avx512)
            return litValuesAvx512<kKind>(block, c);
        if (block.exposure >= 0 && lightStepsInUse() == LightSteps::Avx)
            return litValuesWide<kKind>(block, c);
#endif
#ifdef ORVANE_MATERIAL_IN_DOUBLE
        if (block.exposure >= 0)
            return litValuesInDouble<kKind>(block, c);
#endif
        litValuesInIntegers<kKind>(block, c);
    });
}
} // namespace

#ifdef ORVANE_WIDE_LIGHT_STEPS
namespace {
bool environmentSays(const char* name) {
    const char* value = std::getenv(name);
    return value && std::string_view(value) == "1";
}
} // namespace

// Here rather than beside processorHasAvx: the files built for AVX may run
// their instructions anywhere in their functions.
LightSteps lightStepsInUse() {
    static const LightSteps inUse = [] {
        if (!processorHasAvx() || environmentSays("ORVANE_NO_AVX"))
            return LightSteps::Sse2;
        if (!processorHasAvx512() || environmentSays("ORVANE_NO_AVX512"))
            return LightSteps::Avx;
        return LightSteps::Avx512;
    }();
    return inUse;
}
#endif

void accumulateReliefLights(const RenderLight* lights, int count, const FacetBatch& batch,
                            bool sumsStartAtZero) {
    lightChunks(lights, count, batch, sumsStartAtZero,
                [&](const FacetChunk& c) { storeSums(c, batch, sumsStartAtZero); });
}

// With SSE2 alone the chunk's material step is no faster than the batch's,
// and laying out the colours and spreading the lit bytes back make the whole
// slower: only the AVX steps take it.
bool shadeReliefLights(const ParameterBlock& block, const FacetBatch& batch, bool storeSumsToo) {
#ifdef ORVANE_WIDE_LIGHT_STEPS
    const int lights = std::min<int>(block.lightCount, ParameterBlock::kMaxLights);
    if (!wideLightStepsInUse() || block.exposure < 0 || lights <= 0)
        return false;
    lightChunks(block.lights, lights, batch, true, [&](FacetChunk& c) {
        if (storeSumsToo)
            storeSums(c, batch, true);
        layOutColoursWide(batch.colours + 3 * c.first, c);
        litValuesOfChunk(block, c);
        storeLitBytesWide(c, batch.lit + 3 * c.first);
    });
    return true;
#else
    (void)block, (void)batch, (void)storeSumsToo;
    return false;
#endif
}

void shadeChunk(const ParameterBlock& block, FacetChunk& c, PixelLights& pixels) {
    std::memset(c.diffuse, 0, sizeof c.diffuse);
    std::memset(c.specular, 0, sizeof c.specular);
    c.diffuseBound = c.specularBound = 0.0;
    c.normalLength = c.mirrorLength = kLongestFacetNormal;
    const int lights = std::min<int>(block.lightCount, ParameterBlock::kMaxLights);
    for (int l = 0; l < lights; ++l)
        lightChunk(block.lights[l].type, termsOf(block.lights[l]), c, pixels);
    litValuesOfChunk(block, c);
}
