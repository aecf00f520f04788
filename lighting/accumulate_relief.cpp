#include <algorithm>
#include <cmath>

#include <emmintrin.h>

#include "lighting/det_math.h"
#include "lighting/light_kernels.h"
#include "lighting/shading_scratch.h"
#include "shell/parameter_block.h"

// Relief facets are lit in chunks of up to kChunkFacets facets. A chunk first
// lays out what no light changes, one array per component: the normal N and
// the view direction mirrored about it R in double precision, the position of
// the facet's pixel, and the sums. Each light then works out L, e and the
// spot falloff once per pixel of the chunk, and lights the facets four at a
// time: the doubles of two facets fill an SSE2 vector, the 32-bit sums of four.
// Each lane takes the steps of the scalar formulas in their order, so that it
// gives the scalar result to the bit. A facet facing away from the light
// (N.L <= 0, or R.L <= 0 for the highlight) or outside a spot's cone is not
// skipped by a branch: its share is masked to zero.
//
// Truncating a share and adding it saturate at the 32-bit limits. Before a
// light runs over a chunk, a bound on its shares (|I| |N| for the diffuse
// share, |I| |R|^2 |L| for the highlight, times the largest falloff) is added
// to a bound on the sums; while that stays below the limits nothing can
// saturate, and the shares are truncated and added without the clamping
// steps. Otherwise, for far or strong lights, every step clamps.

namespace {
constexpr int kChunkFacets = 64;       // a multiple of 4
constexpr int kOutside = kChunkFacets; // the pixel entry of facets outside every pixel
constexpr double kUpper = 2147483647.0, kLower = -2147483648.0;
// Rounding in the products makes a share exceed its bound by a few units in
// the last place at most; the margin covers it many times over.
constexpr double kBoundMargin = 1.001;

// What no light changes, for the facets [first, first + count) of a batch.
struct alignas(16) FacetChunk {
    int first = 0, count = 0, padded = 0; // padded to a multiple of 4 with facets facing nowhere
    int pixels = 0;                       // pixels of the chunk that have facets in it
    double nx[kChunkFacets], ny[kChunkFacets], nz[kChunkFacets];
    double rx[kChunkFacets], ry[kChunkFacets], rz[kChunkFacets];
    double x[kChunkFacets], y[kChunkFacets]; // the pixel's position
    int32_t pixelOf[kChunkFacets];           // index into the pixel arrays
    alignas(16) int32_t diffuse[3][kChunkFacets];
    alignas(16) int32_t specular[3][kChunkFacets];
    // Per pixel, and kOutside for facets outside every pixel of the weights
    // list, which only a directional light reaches.
    double pixelX[kChunkFacets + 2], pixelY[kChunkFacets + 2];
    bool inPixel[kChunkFacets + 2];
    // For the bounds on the shares: the longest N and R, the largest sums.
    double normalLength = 0, mirrorLength = 0;
    double diffuseBound = 0, specularBound = 0;
};

// One light as each pixel of a chunk sees it: e = 1 / |L|, the spot falloff,
// whether the pixel is lit at all (all bits set) or not (zero), and |L|^2.
struct alignas(16) PixelLights {
    double e[kChunkFacets + 2], falloff[kChunkFacets + 2], lit[kChunkFacets + 2];
    double squaredLength[kChunkFacets + 2];
};

// Each facet's pixel: the batch index of the pixel's first facet (whose
// position gives the pixel's L), or -1 for facets outside every pixel.
void findPixels(const FacetBatch& b, int16_t* pixelStart) {
    const uint32_t* weight = b.weights;
    int facet = 0;
    for (int p = 0; p < b.pixels && facet < b.count; ++p) {
        const int first = facet;
        for (; *weight != 0; ++weight)
            if (facet < b.count)
                pixelStart[facet++] = int16_t(first);
        ++weight;
    }
    for (; facet < b.count; ++facet)
        pixelStart[facet] = -1;
}

// The largest of the values, NaN when any is NaN.
double largest(double a, double b) {
    return a != a || b > a ? b : a;
}

void layOutFacet(const FacetBatch& b, int facet, int i, FacetChunk& c) {
    const float* normal = b.normals + 3 * facet;
    const double nx = normal[0], ny = normal[1], nz = normal[2];
    c.nx[i] = nx;
    c.ny[i] = ny;
    c.nz[i] = nz;
    c.rx[i] = 2.0 * nz * nx;
    c.ry[i] = 2.0 * nz * ny;
    c.rz[i] = 2.0 * nz * nz - 1.0;
    c.normalLength = largest(c.normalLength, nx * nx + ny * ny + nz * nz);
    c.mirrorLength =
        largest(c.mirrorLength, c.rx[i] * c.rx[i] + c.ry[i] * c.ry[i] + c.rz[i] * c.rz[i]);
    for (int ch = 0; ch < 3; ++ch) {
        c.diffuse[ch][i] = b.diffuse[kSumWords * facet + ch];
        c.specular[ch][i] = b.specular[kSumWords * facet + ch];
        c.diffuseBound = std::max(c.diffuseBound, std::fabs(double(c.diffuse[ch][i])));
        c.specularBound = std::max(c.specularBound, std::fabs(double(c.specular[ch][i])));
    }
}

void layOutChunk(const FacetBatch& b, const int16_t* pixelStart, int first, FacetChunk& c) {
    c.first = first;
    c.count = std::min(kChunkFacets, b.count - first);
    c.padded = (c.count + 3) / 4 * 4;
    c.pixels = 0;
    c.normalLength = c.mirrorLength = c.diffuseBound = c.specularBound = 0.0;
    int lastStart = -2;
    for (int i = 0; i < c.count; ++i) {
        layOutFacet(b, first + i, i, c);
        const int start = pixelStart[first + i];
        if (start != lastStart && start >= 0) {
            c.pixelX[c.pixels] = b.positions[2 * start];
            c.pixelY[c.pixels] = b.positions[2 * start + 1];
            c.inPixel[c.pixels] = true;
            ++c.pixels;
        }
        lastStart = start;
        c.pixelOf[i] = start >= 0 ? c.pixels - 1 : kOutside;
        c.x[i] = start >= 0 ? c.pixelX[c.pixels - 1] : 0.0;
        c.y[i] = start >= 0 ? c.pixelY[c.pixels - 1] : 0.0;
    }
    c.normalLength = std::sqrt(c.normalLength);
    c.mirrorLength = std::sqrt(c.mirrorLength);
    for (int i = c.count; i < c.padded; ++i) { // N = 0 gives N.L = 0: never lit
        c.nx[i] = c.ny[i] = c.nz[i] = c.rx[i] = c.ry[i] = c.rz[i] = c.x[i] = c.y[i] = 0.0;
        c.pixelOf[i] = kOutside;
        for (int ch = 0; ch < 3; ++ch)
            c.diffuse[ch][i] = c.specular[ch][i] = 0;
    }
    if (c.pixels % 2 != 0) { // the pixel passes go two at a time
        c.pixelX[c.pixels] = c.pixelY[c.pixels] = 0.0;
        c.inPixel[c.pixels] = false;
    }
}

void storeSums(const FacetChunk& c, const FacetBatch& b) {
    for (int i = 0; i < c.count; ++i)
        for (int ch = 0; ch < 3; ++ch) {
            b.diffuse[kSumWords * (c.first + i) + ch] = c.diffuse[ch][i];
            b.specular[kSumWords * (c.first + i) + ch] = c.specular[ch][i];
        }
}

// The two lanes' entries of a per-pixel array.
__m128d pixelPair(const double* values, const int32_t* pixelOf) {
    return _mm_loadh_pd(_mm_load_sd(values + pixelOf[0]), values + pixelOf[1]);
}

__m128d dot(__m128d ax, __m128d ay, __m128d az, __m128d bx, __m128d by, __m128d bz) {
    return _mm_add_pd(_mm_add_pd(_mm_mul_pd(ax, bx), _mm_mul_pd(ay, by)), _mm_mul_pd(az, bz));
}

// The 64-bit masks of two facet pairs as four 32-bit masks.
__m128i fourMasks(__m128d first, __m128d second) {
    return _mm_castps_si128(
        _mm_shuffle_ps(_mm_castpd_ps(first), _mm_castpd_ps(second), _MM_SHUFFLE(2, 0, 2, 0)));
}

// Truncation toward zero of two facet pairs into four 32-bit shares; when
// kClamped, out-of-range values are held at the limits (NaN at the upper one,
// as min returns its second operand then).
template <bool kClamped> __m128i fourShares(__m128d first, __m128d second) {
    if constexpr (kClamped) {
        const __m128d upper = _mm_set1_pd(kUpper), lower = _mm_set1_pd(kLower);
        first = _mm_max_pd(_mm_min_pd(first, upper), lower);
        second = _mm_max_pd(_mm_min_pd(second, upper), lower);
    }
    return _mm_unpacklo_epi64(_mm_cvttpd_epi32(first), _mm_cvttpd_epi32(second));
}

// sum + share, held at the 32-bit limits when kClamped: an overflow is when
// both operands share a sign that the wrapped sum lacks.
template <bool kClamped> void addShares(int32_t* sums, __m128i shares, __m128i lit) {
    shares = _mm_and_si128(shares, lit);
    const __m128i old = _mm_load_si128(reinterpret_cast<const __m128i*>(sums));
    __m128i sum = _mm_add_epi32(old, shares);
    if constexpr (kClamped) {
        const __m128i overflow =
            _mm_srai_epi32(_mm_and_si128(_mm_xor_si128(old, sum), _mm_xor_si128(shares, sum)), 31);
        const __m128i limit = _mm_add_epi32(_mm_srli_epi32(old, 31), _mm_set1_epi32(0x7FFFFFFF));
        sum = _mm_or_si128(_mm_andnot_si128(overflow, sum), _mm_and_si128(overflow, limit));
    }
    _mm_store_si128(reinterpret_cast<__m128i*>(sums), sum);
}

enum class Kind { Omni, Directional, Spot };

// L, e, the falloff and the lit mask of one facet pair.
struct PairLight {
    __m128d lx, ly, e, falloff, lit;
};

template <Kind kKind>
PairLight pairLight(const LightTerms& t, const FacetChunk& c, const PixelLights& pixels, int i) {
    if constexpr (kKind == Kind::Directional) {
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
            kKind == Kind::Spot ? pixelPair(pixels.falloff, c.pixelOf + i) : _mm_setzero_pd();
        return l;
    }
}

// I x product x e (x f), in the formula's order.
template <Kind kKind> __m128d share(__m128d strength, __m128d product, const PairLight& l) {
    const __m128d x = _mm_mul_pd(_mm_mul_pd(strength, product), l.e);
    return kKind == Kind::Spot ? _mm_mul_pd(x, l.falloff) : x;
}

// Lights the chunk's facets by one light, four at a time.
template <Kind kKind, bool kClamped>
void lightFacets(const LightTerms& t, FacetChunk& c, const PixelLights& pixels) {
    const __m128d lz = _mm_set1_pd(kKind == Kind::Directional ? t.direction[2] : t.point[2]);
    const __m128d zero = _mm_setzero_pd();
    const __m128d strength[3] = {_mm_set1_pd(t.strength[0]), _mm_set1_pd(t.strength[1]),
                                 _mm_set1_pd(t.strength[2])};
    for (int i = 0; i < c.padded; i += 4) {
        PairLight l[2];
        __m128d nSingle[2], r2[2], diffuseLit[2], specularLit[2];
        for (int h = 0; h < 2; ++h) {
            const int k = i + 2 * h;
            l[h] = pairLight<kKind>(t, c, pixels, k);
            const __m128d n = dot(_mm_load_pd(c.nx + k), _mm_load_pd(c.ny + k),
                                  _mm_load_pd(c.nz + k), l[h].lx, l[h].ly, lz);
            diffuseLit[h] = _mm_and_pd(_mm_cmpgt_pd(n, zero), l[h].lit);
            nSingle[h] = _mm_cvtps_pd(_mm_cvtpd_ps(n));
            const __m128d r = dot(_mm_load_pd(c.rx + k), _mm_load_pd(c.ry + k),
                                  _mm_load_pd(c.rz + k), l[h].lx, l[h].ly, lz);
            specularLit[h] = _mm_and_pd(_mm_cmpgt_pd(r, zero), diffuseLit[h]);
            r2[h] = _mm_mul_pd(r, r);
        }
        const __m128i diffuseMask = fourMasks(diffuseLit[0], diffuseLit[1]);
        const __m128i specularMask = fourMasks(specularLit[0], specularLit[1]);
        for (int ch = 0; ch < 3; ++ch) {
            addShares<kClamped>(c.diffuse[ch] + i,
                                fourShares<kClamped>(share<kKind>(strength[ch], nSingle[0], l[0]),
                                                     share<kKind>(strength[ch], nSingle[1], l[1])),
                                diffuseMask);
            addShares<kClamped>(c.specular[ch] + i,
                                fourShares<kClamped>(share<kKind>(strength[ch], r2[0], l[0]),
                                                     share<kKind>(strength[ch], r2[1], l[1])),
                                specularMask);
        }
    }
}

// L = P - (X, Y, 0) per pixel pair, with e = 1 / |L| and |L|^2.
__m128d pixelLightAt(const LightTerms& t, const FacetChunk& c, int p, PixelLights& out, __m128d& lx,
                     __m128d& ly) {
    lx = _mm_sub_pd(_mm_set1_pd(t.point[0]), _mm_loadu_pd(c.pixelX + p));
    ly = _mm_sub_pd(_mm_set1_pd(t.point[1]), _mm_loadu_pd(c.pixelY + p));
    const __m128d lz = _mm_set1_pd(t.point[2]);
    const __m128d squared =
        _mm_add_pd(_mm_add_pd(_mm_mul_pd(lx, lx), _mm_mul_pd(ly, ly)), _mm_mul_pd(lz, lz));
    _mm_storeu_pd(out.squaredLength + p, squared);
    return _mm_div_pd(_mm_set1_pd(1.0), _mm_sqrt_pd(squared));
}

__m128d allBitsWhere(const bool* flags) {
    const int first = -int(flags[0]), second = -int(flags[1]);
    return _mm_castsi128_pd(_mm_set_epi32(second, second, first, first));
}

void omniPixels(const LightTerms& t, const FacetChunk& c, PixelLights& out) {
    for (int p = 0; p < c.pixels; p += 2) {
        __m128d lx, ly;
        _mm_storeu_pd(out.e + p, pixelLightAt(t, c, p, out, lx, ly));
        _mm_storeu_pd(out.lit + p, allBitsWhere(c.inPixel + p));
        out.falloff[p] = out.falloff[p + 1] = 1.0;
    }
}

// The spot keeps e and the cosine a in single precision; a pixel outside the
// cone is not lit.
void spotPixels(const LightTerms& t, const FacetChunk& c, PixelLights& out) {
    const double* axis = t.direction;
    const __m128d sign = _mm_set1_pd(-0.0);
    for (int p = 0; p < c.pixels; p += 2) {
        __m128d lx, ly;
        const __m128d e = _mm_cvtps_pd(_mm_cvtpd_ps(pixelLightAt(t, c, p, out, lx, ly)));
        const __m128d along = dot(lx, ly, _mm_set1_pd(t.point[2]), _mm_set1_pd(axis[0]),
                                  _mm_set1_pd(axis[1]), _mm_set1_pd(axis[2]));
        const __m128d a = _mm_cvtps_pd(_mm_cvtpd_ps(_mm_mul_pd(_mm_xor_pd(along, sign), e)));
        _mm_storeu_pd(out.e + p, e);
        double cosines[2];
        _mm_storeu_pd(cosines, a);
        for (int k = 0; k < 2; ++k) {
            const bool inside = cosines[k] > t.coneCosine && c.inPixel[p + k];
            out.falloff[p + k] = inside ? falloffAt(t, float(cosines[k])) : 0.0;
            out.lit[p + k] = 0.0;
            if (inside)
                _mm_store_sd(out.lit + p + k, _mm_castsi128_pd(_mm_set1_epi32(-1)));
        }
    }
}

// Adds the light's bound on the shares to the chunk's bounds on the sums;
// false when a sum might then reach the 32-bit limits (NaN included), or when
// an intermediate might leave its range: e (in single precision for a spot)
// when L is next to nothing, N.L rounded to single precision when L is vast.
bool staysInRange(const LightTerms& t, FacetChunk& c, const PixelLights& pixels, Kind kind) {
    double longest = 0, shortest = 0, falloff = 1.0;
    if (kind == Kind::Directional) {
        const double* d = t.direction;
        longest = shortest = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
    } else {
        shortest = INFINITY;
        for (int p = 0; p < c.pixels; ++p) {
            longest = largest(longest, pixels.squaredLength[p]);
            shortest = std::min(shortest, pixels.squaredLength[p]);
            if (kind == Kind::Spot && c.inPixel[p])
                falloff = largest(falloff, std::fabs(pixels.falloff[p]));
        }
    }
    const double length = std::sqrt(longest);
    const double strength =
        std::max({std::fabs(t.strength[0]), std::fabs(t.strength[1]), std::fabs(t.strength[2])});
    c.diffuseBound += strength * c.normalLength * falloff * kBoundMargin;
    c.specularBound += strength * c.mirrorLength * c.mirrorLength * length * falloff * kBoundMargin;
    return c.diffuseBound < kUpper && c.specularBound < kUpper && shortest > 1e-60 &&
           c.normalLength * length < 1e30;
}

template <Kind kKind> void lightFacets(const LightTerms& t, FacetChunk& c, const PixelLights& p) {
    if (staysInRange(t, c, p, kKind)) {
        lightFacets<kKind, false>(t, c, p);
    } else {
        c.diffuseBound = c.specularBound = INFINITY; // and so for the lights after it
        lightFacets<kKind, true>(t, c, p);
    }
}

void lightChunk(uint32_t type, const LightTerms& t, FacetChunk& c, PixelLights& pixels) {
    // The entry of facets outside every pixel, and of the pads.
    pixels.e[kOutside] = pixels.falloff[kOutside] = pixels.lit[kOutside] = 0.0;
    switch (type) {
    case Omni:
        omniPixels(t, c, pixels);
        lightFacets<Kind::Omni>(t, c, pixels);
        break;
    case Directional: {
        const double* d = t.direction;
        pixels.e[0] = 1.0 / detSqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        lightFacets<Kind::Directional>(t, c, pixels);
        break;
    }
    case Spot:
        spotPixels(t, c, pixels);
        lightFacets<Kind::Spot>(t, c, pixels);
        break;
    default:
        break; // an unknown type adds nothing
    }
}
} // namespace

void accumulateReliefLights(const RenderLight* lights, int count, const FacetBatch& batch) {
    if (count <= 0 || batch.count <= 0)
        return;
    count = std::min(count, int(ParameterBlock::kMaxLights));
    int16_t pixelStart[kMaxBatchFacets];
    findPixels(batch, pixelStart);
    LightTerms terms[ParameterBlock::kMaxLights];
    for (int l = 0; l < count; ++l)
        terms[l] = termsOf(lights[l]);
    FacetChunk chunk;
    PixelLights pixels;
    for (int first = 0; first < batch.count; first += kChunkFacets) {
        layOutChunk(batch, pixelStart, first, chunk);
        for (int l = 0; l < count; ++l)
            lightChunk(lights[l].type, terms[l], chunk, pixels);
        storeSums(chunk, batch);
    }
}
