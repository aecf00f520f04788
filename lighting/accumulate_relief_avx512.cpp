// The steps of accumulate_relief.cpp eight facets or pixels to an AVX-512
// vector: the light steps, the omni and spot passes over a chunk's pixels and
// the material step on a chunk's sums. Built for
// AVX-512 (in both builds) and run only where the processor and the system
// have it. Each lane takes the steps of lightAtPixel, addFacetShares and
// litByte (lighting_formula.h, where the argument for the same bits is
// written) in their order, as the four-lane steps of
// accumulate_relief_wide.cpp do; a facet not lit keeps its sums through the
// mask of the addition, where those steps add a share masked to zero.
#include <immintrin.h>

#include <cmath>

#include "lighting/relief_chunk.h"

namespace {
// dotOf, eight lanes.
__m512d octoDot(__m512d ax, __m512d ay, __m512d az, __m512d bx, __m512d by, __m512d bz) {
    return _mm512_add_pd(_mm512_add_pd(_mm512_mul_pd(ax, bx), _mm512_mul_pd(ay, by)),
                         _mm512_mul_pd(az, bz));
}

// Eight words of addSaturated.
__m256i addSaturated8(__m256i sums, __m256i terms) {
    const __m256i wrapped = _mm256_add_epi32(sums, terms);
    const __m256i overflow = _mm256_srai_epi32(
        _mm256_and_si256(_mm256_xor_si256(sums, wrapped), _mm256_xor_si256(terms, wrapped)), 31);
    const __m256i limit =
        _mm256_add_epi32(_mm256_srli_epi32(sums, 31), _mm256_set1_epi32(0x7FFFFFFF));
    return _mm256_blendv_epi8(wrapped, limit, overflow);
}

// truncSaturated, eight words; min keeps NaN at the upper limit.
template <bool kClamped> __m256i truncSaturated8(__m512d words) {
    if constexpr (kClamped)
        words = _mm512_max_pd(_mm512_min_pd(words, _mm512_set1_pd(kSumUpper)),
                              _mm512_set1_pd(kSumLower));
    return _mm512_cvttpd_epi32(words);
}

// The sums of the lit facets plus their shares, held at the 32-bit limits
// when kClamped.
template <bool kClamped> void addLitShares8(int32_t* sums, __m256i shares, __mmask8 lit) {
    auto* slot = reinterpret_cast<__m256i*>(sums);
    const __m256i old = _mm256_loadu_si256(slot);
    const __m256i sum = kClamped ? _mm256_mask_mov_epi32(old, lit, addSaturated8(old, shares))
                                 : _mm256_mask_add_epi32(old, lit, old, shares);
    _mm256_storeu_si256(slot, sum);
}

// The pixels of eight consecutive facets. Every pixel before the facets
// outside every pixel has a facet, so eight facets span at most eight
// pixels from the first one's: one load from the per-pixel arrays and a
// permutation give each lane its entry. A facet outside every pixel (kOutside)
// further than that takes some pixel's entry and is marked not near, to be
// left unlit; a nearer one takes the kOutside entry itself, unlit. (The load
// may take entries past the chunk's pixels that no pass of this chunk wrote;
// the permutation never picks them.)
struct EightPixels {
    const int32_t* first;
    __m512i offsets;
    __mmask8 near;
    __m512d entries(const double* values) const {
        return _mm512_permutexvar_pd(offsets, _mm512_loadu_pd(values + *first));
    }
};

EightPixels eightPixels(const int32_t* pixelOf) {
    const __m256i offsets =
        _mm256_sub_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(pixelOf)),
                         _mm256_set1_epi32(pixelOf[0]));
    return EightPixels{pixelOf, _mm512_cvtepu32_epi64(offsets),
                       _mm256_cmplt_epu32_mask(offsets, _mm256_set1_epi32(kFacetsPerStep))};
}

// The lanes of pixels [p, p + 8) that are among the chunk's `count`.
__mmask8 pixelLanes(int p, int count) {
    return count - p >= kFacetsPerStep ? __mmask8(0xFF) : __mmask8((1u << (count - p)) - 1);
}

// The extremes of |L|^2 and the largest falloff over a chunk's pixels, lane
// by lane, reduced once at the end; a NaN in any lane makes its figure NaN.
struct PixelExtremes {
    __m512d longest = _mm512_setzero_pd(), shortest = _mm512_set1_pd(INFINITY);
    __m512d largestFalloff = _mm512_set1_pd(1.0);
    __mmask8 unorderedLength = 0, unorderedFalloff = 0;

    void addLengths(__m512d squared, __mmask8 lanes) {
        longest = _mm512_mask_max_pd(longest, lanes, longest, squared);
        shortest = _mm512_mask_min_pd(shortest, lanes, shortest, squared);
        unorderedLength |= _mm512_mask_cmp_pd_mask(lanes, squared, squared, _CMP_UNORD_Q);
    }
    void addFalloffs(__m512d falloff, __mmask8 lanes) {
        const __m512d size = _mm512_abs_pd(falloff);
        largestFalloff = _mm512_mask_max_pd(largestFalloff, lanes, largestFalloff, size);
        unorderedFalloff |= _mm512_mask_cmp_pd_mask(lanes, size, size, _CMP_UNORD_Q);
    }
    void store(PixelLights& out) const {
        out.longestSquared = unorderedLength ? NAN : _mm512_reduce_max_pd(longest);
        out.shortestSquared = _mm512_reduce_min_pd(shortest);
        out.largestFalloff = unorderedFalloff ? NAN : _mm512_reduce_max_pd(largestFalloff);
    }
};

// L = P - (X, Y, 0) of eight pixels from p on, and e = 1 / |L|.
struct EightPixelLights {
    __m512d lx, ly, e;
};

EightPixelLights eightPixelLights(const LightTerms& t, const FacetChunk& c, int p, __mmask8 lanes,
                                  PixelExtremes& extremes) {
    EightPixelLights l;
    l.lx = _mm512_sub_pd(_mm512_set1_pd(t.point[0]), _mm512_maskz_loadu_pd(lanes, c.pixelX + p));
    l.ly = _mm512_sub_pd(_mm512_set1_pd(t.point[1]), _mm512_maskz_loadu_pd(lanes, c.pixelY + p));
    const __m512d lz = _mm512_set1_pd(t.point[2]);
    const __m512d squared = octoDot(l.lx, l.ly, lz, l.lx, l.ly, lz);
    extremes.addLengths(squared, lanes);
    l.e = _mm512_div_pd(_mm512_set1_pd(1.0), _mm512_sqrt_pd(squared));
    return l;
}

// L, e, the falloff and the lit mask of eight facets.
struct OctoLight {
    __m512d lx, ly, e, falloff;
    __mmask8 lit;
};

template <LightKind kKind>
OctoLight octoLight(const LightTerms& t, const FacetChunk& c, const PixelLights& pixels, int i) {
    if constexpr (kKind == LightKind::Directional) {
        return OctoLight{_mm512_set1_pd(t.direction[0]), _mm512_set1_pd(t.direction[1]),
                         _mm512_set1_pd(pixels.e[0]), _mm512_setzero_pd(), 0xFF};
    } else {
        const EightPixels eight = eightPixels(c.pixelOf + i);
        const __m512i lit = _mm512_castpd_si512(eight.entries(pixels.lit));
        OctoLight l;
        l.lit = _mm512_mask_test_epi64_mask(eight.near, lit, lit);
        l.lx = _mm512_sub_pd(_mm512_set1_pd(t.point[0]), _mm512_loadu_pd(c.x + i));
        l.ly = _mm512_sub_pd(_mm512_set1_pd(t.point[1]), _mm512_loadu_pd(c.y + i));
        l.e = eight.entries(pixels.e);
        l.falloff = kKind == LightKind::Spot ? eight.entries(pixels.falloff) : _mm512_setzero_pd();
        return l;
    }
}

// shareOf, eight lanes (f = 1 left out but for spots).
template <LightKind kKind>
__m512d octoShare(__m512d strength, __m512d product, const OctoLight& l) {
    const __m512d x = _mm512_mul_pd(_mm512_mul_pd(strength, product), l.e);
    return kKind == LightKind::Spot ? _mm512_mul_pd(x, l.falloff) : x;
}
} // namespace

bool processorHasAvx512() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl");
}

// The pixel passes of omniPixels and spotPixels, eight pixels to a vector.
void omniPixelsAvx512(const LightTerms& t, const FacetChunk& c, PixelLights& out) {
    const __m512d allSet = _mm512_castsi512_pd(_mm512_set1_epi32(-1));
    PixelExtremes extremes;
    for (int p = 0; p < c.pixels; p += kFacetsPerStep) {
        const EightPixelLights l = eightPixelLights(t, c, p, pixelLanes(p, c.pixels), extremes);
        _mm512_storeu_pd(out.e + p, l.e);
        _mm512_storeu_pd(out.lit + p, allSet);
    }
    extremes.store(out);
}

bool spotPixelsAvx512(const LightTerms& t, const FacetChunk& c, PixelLights& out) {
    constexpr int kLastEntry = RenderLight::kMaxFalloffEntries - 1;
    const double* axis = t.direction;
    const __m512i sign = _mm512_castpd_si512(_mm512_set1_pd(-0.0));
    const __m512d allSet = _mm512_castsi512_pd(_mm512_set1_epi32(-1));
    PixelExtremes extremes;
    __mmask8 anyLit = 0;
    for (int p = 0; p < c.pixels; p += kFacetsPerStep) {
        const __mmask8 lanes = pixelLanes(p, c.pixels);
        EightPixelLights l = eightPixelLights(t, c, p, lanes, extremes);
        l.e = _mm512_cvtps_pd(_mm512_cvtpd_ps(l.e));
        const __m512d along =
            octoDot(l.lx, l.ly, _mm512_set1_pd(t.point[2]), _mm512_set1_pd(axis[0]),
                    _mm512_set1_pd(axis[1]), _mm512_set1_pd(axis[2]));
        const __m512d minusAlong =
            _mm512_castsi512_pd(_mm512_xor_si512(_mm512_castpd_si512(along), sign));
        const __m512d a = _mm512_cvtps_pd(_mm512_cvtpd_ps(_mm512_mul_pd(minusAlong, l.e)));
        const __mmask8 inside =
            _mm512_mask_cmp_pd_mask(lanes, a, _mm512_set1_pd(t.coneCosine), _CMP_GT_OQ);
        // falloffEntry: the index truncSaturated, then held to the table.
        const __m256i position = truncSaturated8<true>(_mm512_mul_pd(
            _mm512_sub_pd(a, _mm512_set1_pd(t.falloffStart)), _mm512_set1_pd(t.falloffScale)));
        const __m256i index = _mm256_min_epi32(_mm256_max_epi32(position, _mm256_setzero_si256()),
                                               _mm256_set1_epi32(kLastEntry));
        const __m512d falloff = _mm512_cvtps_pd(
            _mm256_mmask_i32gather_ps(_mm256_setzero_ps(), inside, index, t.falloff, 4));
        _mm512_storeu_pd(out.e + p, l.e);
        _mm512_storeu_pd(out.falloff + p, falloff);
        _mm512_storeu_pd(out.lit + p, _mm512_maskz_mov_pd(inside, allSet));
        extremes.addFalloffs(falloff, lanes);
        anyLit |= inside;
    }
    extremes.store(out);
    return anyLit != 0;
}

template <LightKind kKind, bool kClamped>
void lightFacetsAvx512(const LightTerms& t, FacetChunk& c, const PixelLights& pixels) {
    const __m512d lz =
        _mm512_set1_pd(kKind == LightKind::Directional ? t.direction[2] : t.point[2]);
    const __m512d zero = _mm512_setzero_pd();
    const __m512d strength[3] = {_mm512_set1_pd(t.strength[0]), _mm512_set1_pd(t.strength[1]),
                                 _mm512_set1_pd(t.strength[2])};
    // The light at the j-th facets of the runs is the same for each run.
    for (int j = 0; j < c.runLength; j += kFacetsPerStep) {
        const OctoLight l = octoLight<kKind>(t, c, pixels, j);
        if (kKind == LightKind::Spot && l.lit == 0)
            continue; // a spot's cone leaves whole runs of pixels dark
        for (int k = 0; k < c.runs; ++k) {
            const FacetRun& run = c.run[k];
            const __m512d n = octoDot(_mm512_loadu_pd(run.nx + j), _mm512_loadu_pd(run.ny + j),
                                      _mm512_loadu_pd(run.nz + j), l.lx, l.ly, lz);
            const __mmask8 diffuseLit = _mm512_mask_cmp_pd_mask(l.lit, n, zero, _CMP_GT_OQ);
            const __m512d nSingle = _mm512_cvtps_pd(_mm512_cvtpd_ps(n));
            const __m512d r = octoDot(_mm512_loadu_pd(run.rx + j), _mm512_loadu_pd(run.ry + j),
                                      _mm512_loadu_pd(run.rz + j), l.lx, l.ly, lz);
            const __mmask8 specularLit = _mm512_mask_cmp_pd_mask(diffuseLit, r, zero, _CMP_GT_OQ);
            const __m512d r2 = _mm512_mul_pd(r, r);
            const int i = k * c.runLength + j; // the facet's place in the chunk
            for (int ch = 0; ch < 3; ++ch) {
                addLitShares8<kClamped>(
                    c.diffuse[ch] + i,
                    truncSaturated8<kClamped>(octoShare<kKind>(strength[ch], nSingle, l)),
                    diffuseLit);
                addLitShares8<kClamped>(
                    c.specular[ch] + i,
                    truncSaturated8<kClamped>(octoShare<kKind>(strength[ch], r2, l)), specularLit);
            }
        }
    }
}

template void lightFacetsAvx512<LightKind::Omni, false>(const LightTerms&, FacetChunk&,
                                                        const PixelLights&);
template void lightFacetsAvx512<LightKind::Omni, true>(const LightTerms&, FacetChunk&,
                                                       const PixelLights&);
template void lightFacetsAvx512<LightKind::Directional, false>(const LightTerms&, FacetChunk&,
                                                               const PixelLights&);
template void lightFacetsAvx512<LightKind::Directional, true>(const LightTerms&, FacetChunk&,
                                                              const PixelLights&);
template void lightFacetsAvx512<LightKind::Spot, false>(const LightTerms&, FacetChunk&,
                                                        const PixelLights&);
template void lightFacetsAvx512<LightKind::Spot, true>(const LightTerms&, FacetChunk&,
                                                       const PixelLights&);

// litValuesWide, eight lanes: the same steps line by line.
template <Highlight kKind> void litValuesAvx512(const ParameterBlock& block, FacetChunk& c) {
    constexpr int kTowardZero = _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC;
    const __m512d exposure = _mm512_set1_pd(block.exposure), gloss = _mm512_set1_pd(block.gloss);
    const __m512d material = _mm512_set1_pd(block.material);
    const __m512d white = _mm512_set1_pd((256.0 - block.material) * 255.0);
    const auto load = [](const int32_t* values) {
        return _mm512_cvtepi32_pd(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(values)));
    };
    // (Copies: the stores below might alias them.)
    const int padded = c.padded, runLength = c.runLength;
    for (int ch = 0; ch < 3; ++ch) {
        const __m512d ambient = _mm512_set1_pd(block.ambient[ch]);
        // The colour and the highlight factor at j are the same in each run.
        for (int j = 0; j < runLength; j += kFacetsPerStep) {
            const __m512d colour = load(c.colour[ch] + j);
            __m512d factor = _mm512_mul_pd(gloss, _mm512_set1_pd(255.0));
            if constexpr (kKind == Highlight::SurfaceColour)
                factor = _mm512_mul_pd(gloss, colour);
            else if constexpr (kKind == Highlight::Blend)
                factor = _mm512_mul_pd(
                    _mm512_roundscale_pd(
                        _mm512_mul_pd(_mm512_add_pd(_mm512_mul_pd(colour, material), white),
                                      _mm512_set1_pd(1.0 / 256)),
                        kTowardZero),
                    gloss);
            for (int i = j; i < padded; i += runLength) {
                const __m512d light = _mm512_add_pd(ambient, load(c.diffuse[ch] + i));
                const __m512d highlight = _mm512_cvtepi32_pd(_mm256_srai_epi32(
                    _mm256_loadu_si256(reinterpret_cast<const __m256i*>(c.specular[ch] + i)), 8));
                const __m512d value =
                    _mm512_add_pd(_mm512_mul_pd(light, colour), _mm512_mul_pd(highlight, factor));
                __m512d shifted = _mm512_max_pd(_mm512_mul_pd(value, _mm512_set1_pd(1.0 / 256)),
                                                _mm512_setzero_pd());
                shifted = _mm512_roundscale_pd(
                    _mm512_min_pd(shifted, _mm512_set1_pd(255.0 * 32768)), kTowardZero);
                const __m512d v =
                    _mm512_mul_pd(_mm512_mul_pd(shifted, exposure), _mm512_set1_pd(1.0 / 32768));
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(c.litValues[ch] + i),
                                    _mm512_cvttpd_epi32(_mm512_min_pd(v, _mm512_set1_pd(255.0))));
            }
        }
    }
}

template void litValuesAvx512<Highlight::White>(const ParameterBlock&, FacetChunk&);
template void litValuesAvx512<Highlight::Blend>(const ParameterBlock&, FacetChunk&);
template void litValuesAvx512<Highlight::SurfaceColour>(const ParameterBlock&, FacetChunk&);
