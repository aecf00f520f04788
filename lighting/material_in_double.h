#pragma once
#include <cstdint>

#include <emmintrin.h>

#include "lighting/lighting_formula.h"
#include "lighting/parameter_block.h"

// In 32-bit code each 64-bit product takes three multiplications; there the
// steps of litByte run faster in double precision, two channels to an SSE2
// vector, for an exposure of 0 or more: lighting_formula.h tells why they
// give the same bytes. On x86-64 the 64-bit integer steps are the faster form.
#if UINTPTR_MAX == 0xFFFFFFFFu
#define ORVANE_MATERIAL_IN_DOUBLE 1

struct MaterialInDouble {
    explicit MaterialInDouble(const ParameterBlock& block)
        : exposure(_mm_set1_pd(block.exposure)), gloss(_mm_set1_pd(block.gloss)),
          material(_mm_set1_pd(block.material)),
          white(_mm_set1_pd((256.0 - block.material) * 255.0)) {}

    // highlightFactor, two lanes.
    template <Highlight kKind> __m128d highlightFactor(__m128d colour) const {
        if constexpr (kKind == Highlight::White)
            return _mm_mul_pd(gloss, _mm_set1_pd(255.0));
        else if constexpr (kKind == Highlight::SurfaceColour)
            return _mm_mul_pd(gloss, colour);
        else
            return _mm_mul_pd(wholePart(_mm_mul_pd(_mm_add_pd(_mm_mul_pd(colour, material), white),
                                                   _mm_set1_pd(1.0 / 256))),
                              gloss);
    }

    static __m128d wholePart(__m128d x) { return _mm_cvtepi32_pd(_mm_cvttpd_epi32(x)); }

    // litByte of two channels, in the low words: light, highlight, value,
    // value >> 8 (held at 255 x 32768), the shift by 15 and the clamp to 255.
    template <Highlight kKind>
    __m128i litBytes(__m128d ambient, __m128i diffuse, __m128i highlight, __m128d colour) const {
        const __m128d light = _mm_add_pd(ambient, _mm_cvtepi32_pd(diffuse));
        const __m128d value =
            _mm_add_pd(_mm_mul_pd(light, colour),
                       _mm_mul_pd(_mm_cvtepi32_pd(highlight), highlightFactor<kKind>(colour)));
        __m128d shifted = _mm_max_pd(_mm_mul_pd(value, _mm_set1_pd(1.0 / 256)), _mm_setzero_pd());
        shifted = wholePart(_mm_min_pd(shifted, _mm_set1_pd(255.0 * 32768)));
        const __m128d v = _mm_mul_pd(_mm_mul_pd(shifted, exposure), _mm_set1_pd(1.0 / 32768));
        return _mm_cvttpd_epi32(_mm_min_pd(v, _mm_set1_pd(255.0)));
    }

    __m128d exposure, gloss, material, white;
};
#endif
