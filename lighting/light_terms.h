#pragma once
#include <cstdint>

#ifdef __AVX__
#include <immintrin.h>
#else
#include <emmintrin.h>
#endif

#include "lighting/lighting_formula.h"
#include "lighting/render_light.h"

// What the light kernels share: a prepared light's fields widened to double
// once per batch, and the vector steps of a light's share.

struct LightTerms {
    // The four channels of a 16-byte sum slot; the fourth strength is 0, so
    // that the fourth word only ever gains 0 and the slot works as one vector.
    double strength[4];
    double point[3];     // omni and spot
    double direction[3]; // directional: towards the light; spot: the cone axis
    double coneCosine;
    double falloffStart;
    double falloffScale;
    const float* falloff;
};

LightTerms termsOf(const RenderLight& light);

constexpr int kSumWords = 4; // three sums in a 16-byte slot

// The kernels bound a light's shares to know when the sums cannot reach the
// 32-bit limits. Rounding in the products makes a share exceed its bound by a
// few units in the last place at most; the margin covers it many times over.
constexpr double kBoundMargin = 1.001;

// In both builds the light steps also come in AVX and AVX-512 vectors, built
// apart and run when the processor has them: the same IEEE steps in the same
// order per value, so the same bits. The 32-bit module keeps running on
// processors with SSE2 alone, which take the SSE2 steps.
#if defined(__x86_64__) || defined(__i386__)
#define ORVANE_WIDE_LIGHT_STEPS 1
bool processorHasAvx();
bool processorHasAvx512(); // with its 256-bit forms (AVX-512 VL)
enum class LightSteps { Sse2, Avx, Avx512 };
// The widest steps the processor has, unless the environment holds them back:
// ORVANE_NO_AVX=1 keeps the SSE2 steps, ORVANE_NO_AVX512=1 the AVX ones, so
// that the tests check every kind on a processor that has them all. Decided
// once, at the start.
LightSteps lightStepsInUse();
// Whether the AVX steps, or the AVX-512 ones where there are any, run.
inline bool wideLightStepsInUse() {
    return lightStepsInUse() != LightSteps::Sse2;
}
#endif

// The vector steps of the shares (lighting_formula.h) that the relief and
// untextured kernels have in common. Like the scalar steps they have internal
// linkage, so that the AVX files' copies stay their own.
namespace {
// Four words of addSaturated.
inline __m128i addSaturated4(__m128i sums, __m128i terms) {
    const __m128i wrapped = _mm_add_epi32(sums, terms);
    const __m128i overflow = _mm_srai_epi32(
        _mm_and_si128(_mm_xor_si128(sums, wrapped), _mm_xor_si128(terms, wrapped)), 31);
    const __m128i limit = _mm_add_epi32(_mm_srli_epi32(sums, 31), _mm_set1_epi32(0x7FFFFFFF));
    return _mm_or_si128(_mm_andnot_si128(overflow, wrapped), _mm_and_si128(overflow, limit));
}

// Four words of truncSaturated, two in each vector, when kClamped: min keeps
// NaN at the upper limit, as the comparison there does. Without, for shares
// known to stay within 32 bits, where both give the same.
template <bool kClamped> __m128i truncSaturated4(__m128d lowWords, __m128d highWords) {
    if constexpr (kClamped) {
        const __m128d upper = _mm_set1_pd(kSumUpper), lower = _mm_set1_pd(kSumLower);
        lowWords = _mm_max_pd(_mm_min_pd(lowWords, upper), lower);
        highWords = _mm_max_pd(_mm_min_pd(highWords, upper), lower);
    }
    return _mm_unpacklo_epi64(_mm_cvttpd_epi32(lowWords), _mm_cvttpd_epi32(highWords));
}

#ifdef __AVX__
// The same with the four words in one AVX vector.
template <bool kClamped> __m128i truncSaturated4(__m256d words) {
    if constexpr (kClamped)
        words = _mm256_max_pd(_mm256_min_pd(words, _mm256_set1_pd(kSumUpper)),
                              _mm256_set1_pd(kSumLower));
    return _mm256_cvttpd_epi32(words);
}
#endif

// sums + shares, four words, with addSaturated when kClamped.
template <bool kClamped> void addToSlot(int32_t* sums, __m128i shares) {
    const __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums));
    const __m128i sum = kClamped ? addSaturated4(old, shares) : _mm_add_epi32(old, shares);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(sums), sum);
}

// The falloff table entry of a spot's cosine a.
inline double falloffAt(const LightTerms& t, float a) {
    return falloffEntry(t.falloff, t.falloffStart, t.falloffScale, a);
}
} // namespace
