// The light steps of accumulate_relief.cpp, four facets to an AVX vector, and
// the material step on a chunk's sums: this file and the untextured shares'
// are built for AVX (in both builds), and run only when the processor has it.
// Each lane takes the steps of addFacetShares and litByte (lighting_formula.h,
// where the argument for the same bits is written) in their order.
#include <immintrin.h>

#include <cstring>

#include "lighting/relief_chunk.h"

namespace {
// dotOf, four lanes.
__m256d quadDot(__m256d ax, __m256d ay, __m256d az, __m256d bx, __m256d by, __m256d bz) {
    return _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(ax, bx), _mm256_mul_pd(ay, by)),
                         _mm256_mul_pd(az, bz));
}

// The four lanes' entries of a per-pixel array.
__m256d pixelQuad(const double* values, const int32_t* pixelOf) {
    return _mm256_set_pd(values[pixelOf[3]], values[pixelOf[2]], values[pixelOf[1]],
                         values[pixelOf[0]]);
}

// The 64-bit masks of four facets as four 32-bit masks.
__m128i quadMasks(__m256d masks) {
    return _mm_castps_si128(_mm_shuffle_ps(_mm256_castps256_ps128(_mm256_castpd_ps(masks)),
                                           _mm256_extractf128_ps(_mm256_castpd_ps(masks), 1),
                                           _MM_SHUFFLE(2, 0, 2, 0)));
}

// L, e, the falloff and the lit mask of four facets.
struct QuadLight {
    __m256d lx, ly, e, falloff, lit;
};

template <LightKind kKind>
QuadLight quadLight(const LightTerms& t, const FacetChunk& c, const PixelLights& pixels, int i) {
    const __m256d allSet = _mm256_castsi256_pd(_mm256_set1_epi32(-1));
    if constexpr (kKind == LightKind::Directional) {
        return QuadLight{_mm256_set1_pd(t.direction[0]), _mm256_set1_pd(t.direction[1]),
                         _mm256_set1_pd(pixels.e[0]), _mm256_setzero_pd(), allSet};
    } else {
        QuadLight l;
        l.lx = _mm256_sub_pd(_mm256_set1_pd(t.point[0]), _mm256_loadu_pd(c.x + i));
        l.ly = _mm256_sub_pd(_mm256_set1_pd(t.point[1]), _mm256_loadu_pd(c.y + i));
        l.e = pixelQuad(pixels.e, c.pixelOf + i);
        l.lit = pixelQuad(pixels.lit, c.pixelOf + i);
        l.falloff = kKind == LightKind::Spot ? pixelQuad(pixels.falloff, c.pixelOf + i)
                                             : _mm256_setzero_pd();
        return l;
    }
}

// shareOf, four lanes (f = 1 left out but for spots).
template <LightKind kKind>
__m256d quadShare(__m256d strength, __m256d product, const QuadLight& l) {
    const __m256d x = _mm256_mul_pd(_mm256_mul_pd(strength, product), l.e);
    return kKind == LightKind::Spot ? _mm256_mul_pd(x, l.falloff) : x;
}
} // namespace

bool processorHasAvx() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx");
}

template <LightKind kKind, bool kClamped>
void lightFacetsWide(const LightTerms& t, FacetChunk& c, const PixelLights& pixels) {
    const __m256d lz =
        _mm256_set1_pd(kKind == LightKind::Directional ? t.direction[2] : t.point[2]);
    const __m256d zero = _mm256_setzero_pd();
    const __m256d strength[3] = {_mm256_set1_pd(t.strength[0]), _mm256_set1_pd(t.strength[1]),
                                 _mm256_set1_pd(t.strength[2])};
    // The light at the j-th facets of the runs is the same for each run.
    for (int j = 0; j < c.runLength; j += 4) {
        if (kKind == LightKind::Spot && fourOutsideTheCone(pixels, c.pixelOf + j))
            continue;
        const QuadLight l = quadLight<kKind>(t, c, pixels, j);
        for (int k = 0; k < c.runs; ++k) {
            const FacetRun& run = c.run[k];
            const __m256d n = quadDot(_mm256_loadu_pd(run.nx + j), _mm256_loadu_pd(run.ny + j),
                                      _mm256_loadu_pd(run.nz + j), l.lx, l.ly, lz);
            const __m256d diffuseLit = _mm256_and_pd(_mm256_cmp_pd(n, zero, _CMP_GT_OQ), l.lit);
            const __m256d nSingle = _mm256_cvtps_pd(_mm256_cvtpd_ps(n));
            const __m256d r = quadDot(_mm256_loadu_pd(run.rx + j), _mm256_loadu_pd(run.ry + j),
                                      _mm256_loadu_pd(run.rz + j), l.lx, l.ly, lz);
            const __m256d specularLit =
                _mm256_and_pd(_mm256_cmp_pd(r, zero, _CMP_GT_OQ), diffuseLit);
            const __m256d r2 = _mm256_mul_pd(r, r);
            const __m128i diffuseMask = quadMasks(diffuseLit),
                          specularMask = quadMasks(specularLit);
            const int i = k * c.runLength + j; // the facet's place in the chunk
            for (int ch = 0; ch < 3; ++ch) {
                addLitShares<kClamped>(
                    c.diffuse[ch] + i,
                    truncSaturated4<kClamped>(quadShare<kKind>(strength[ch], nSingle, l)),
                    diffuseMask);
                addLitShares<kClamped>(
                    c.specular[ch] + i,
                    truncSaturated4<kClamped>(quadShare<kKind>(strength[ch], r2, l)), specularMask);
            }
        }
    }
}

template void lightFacetsWide<LightKind::Omni, false>(const LightTerms&, FacetChunk&,
                                                      const PixelLights&);
template void lightFacetsWide<LightKind::Omni, true>(const LightTerms&, FacetChunk&,
                                                     const PixelLights&);
template void lightFacetsWide<LightKind::Directional, false>(const LightTerms&, FacetChunk&,
                                                             const PixelLights&);
template void lightFacetsWide<LightKind::Directional, true>(const LightTerms&, FacetChunk&,
                                                            const PixelLights&);
template void lightFacetsWide<LightKind::Spot, false>(const LightTerms&, FacetChunk&,
                                                      const PixelLights&);
template void lightFacetsWide<LightKind::Spot, true>(const LightTerms&, FacetChunk&,
                                                     const PixelLights&);

// litByte on a chunk's sums, four facets to a vector, in double precision as
// the 32-bit build's material step (shade_batch.cpp) takes it, with round
// toward zero for the conversions to an integer and back: light, highlight
// (specular >> 8), factor (highlightFactor), value, value >> 8 (shifted, held
// at 255 x 32768 as lighting_formula.h explains), the shift by 15 and the
// clamp to 255, line by line.
template <Highlight kKind> void litValuesWide(const ParameterBlock& block, FacetChunk& c) {
    constexpr int kTowardZero = _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC;
    const __m256d exposure = _mm256_set1_pd(block.exposure), gloss = _mm256_set1_pd(block.gloss);
    const __m256d material = _mm256_set1_pd(block.material);
    const __m256d white = _mm256_set1_pd((256.0 - block.material) * 255.0);
    const auto load = [](const int32_t* values) {
        return _mm_load_si128(reinterpret_cast<const __m128i*>(values));
    };
    // (Copies: the stores below might alias them.)
    const int padded = c.padded, runLength = c.runLength;
    for (int ch = 0; ch < 3; ++ch) {
        const __m256d ambient = _mm256_set1_pd(block.ambient[ch]);
        // The colour and the highlight factor at j are the same in each run.
        for (int j = 0; j < runLength; j += 4) {
            const __m256d colour = _mm256_cvtepi32_pd(load(c.colour[ch] + j));
            __m256d factor = _mm256_mul_pd(gloss, _mm256_set1_pd(255.0));
            if constexpr (kKind == Highlight::SurfaceColour)
                factor = _mm256_mul_pd(gloss, colour);
            else if constexpr (kKind == Highlight::Blend)
                factor = _mm256_mul_pd(
                    _mm256_round_pd(
                        _mm256_mul_pd(_mm256_add_pd(_mm256_mul_pd(colour, material), white),
                                      _mm256_set1_pd(1.0 / 256)),
                        kTowardZero),
                    gloss);
            for (int i = j; i < padded; i += runLength) {
                const __m256d light =
                    _mm256_add_pd(ambient, _mm256_cvtepi32_pd(load(c.diffuse[ch] + i)));
                const __m256d highlight =
                    _mm256_cvtepi32_pd(_mm_srai_epi32(load(c.specular[ch] + i), 8));
                const __m256d value =
                    _mm256_add_pd(_mm256_mul_pd(light, colour), _mm256_mul_pd(highlight, factor));
                __m256d shifted = _mm256_max_pd(_mm256_mul_pd(value, _mm256_set1_pd(1.0 / 256)),
                                                _mm256_setzero_pd());
                shifted = _mm256_round_pd(_mm256_min_pd(shifted, _mm256_set1_pd(255.0 * 32768)),
                                          kTowardZero);
                const __m256d v =
                    _mm256_mul_pd(_mm256_mul_pd(shifted, exposure), _mm256_set1_pd(1.0 / 32768));
                _mm_store_si128(reinterpret_cast<__m128i*>(c.litValues[ch] + i),
                                _mm256_cvttpd_epi32(_mm256_min_pd(v, _mm256_set1_pd(255.0))));
            }
        }
    }
}

template void litValuesWide<Highlight::White>(const ParameterBlock&, FacetChunk&);
template void litValuesWide<Highlight::Blend>(const ParameterBlock&, FacetChunk&);
template void litValuesWide<Highlight::SurfaceColour>(const ParameterBlock&, FacetChunk&);

// The colours of four facets (12 bytes: red, green, blue of each) take one
// byte shuffle per component, which also widens each byte to 32 bits; the lit
// values go back the same way, the low byte of each. (The patterns are made
// inside the functions: a constant of this file initialised at the program's
// start could run AVX instructions on a processor without them.)
void layOutColoursWide(const uint8_t* colours, FacetChunk& c) {
    const __m128i pattern[3] = {
        _mm_setr_epi8(0, -1, -1, -1, 3, -1, -1, -1, 6, -1, -1, -1, 9, -1, -1, -1),
        _mm_setr_epi8(1, -1, -1, -1, 4, -1, -1, -1, 7, -1, -1, -1, 10, -1, -1, -1),
        _mm_setr_epi8(2, -1, -1, -1, 5, -1, -1, -1, 8, -1, -1, -1, 11, -1, -1, -1)};
    int i = 0;
    for (; i + 4 <= c.count; i += 4) {
        const uint8_t* four = colours + 3 * i;
        int32_t last;
        std::memcpy(&last, four + 8, 4);
        const __m128i bytes =
            _mm_insert_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(four)), last, 2);
        for (int ch = 0; ch < 3; ++ch)
            _mm_store_si128(reinterpret_cast<__m128i*>(c.colour[ch] + i),
                            _mm_shuffle_epi8(bytes, pattern[ch]));
    }
    for (; i < c.padded; ++i) // the last facets, and the pads black
        for (int ch = 0; ch < 3; ++ch)
            c.colour[ch][i] = i < c.count ? colours[3 * i + ch] : 0;
}

void storeLitBytesWide(const FacetChunk& c, uint8_t* out) {
    const __m128i pattern[3] = {
        _mm_setr_epi8(0, -1, -1, 4, -1, -1, 8, -1, -1, 12, -1, -1, -1, -1, -1, -1),
        _mm_setr_epi8(-1, 0, -1, -1, 4, -1, -1, 8, -1, -1, 12, -1, -1, -1, -1, -1),
        _mm_setr_epi8(-1, -1, 0, -1, -1, 4, -1, -1, 8, -1, -1, 12, -1, -1, -1, -1)};
    int i = 0;
    for (; i + 4 <= c.count; i += 4) {
        __m128i bytes = _mm_setzero_si128();
        for (int ch = 0; ch < 3; ++ch)
            bytes = _mm_or_si128(
                bytes, _mm_shuffle_epi8(
                           _mm_load_si128(reinterpret_cast<const __m128i*>(c.litValues[ch] + i)),
                           pattern[ch]));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 3 * i), bytes);
        const int32_t last = _mm_extract_epi32(bytes, 2);
        std::memcpy(out + 3 * i + 8, &last, 4);
    }
    for (; i < c.count; ++i)
        for (int ch = 0; ch < 3; ++ch)
            out[3 * i + ch] = uint8_t(c.litValues[ch][i]);
}
