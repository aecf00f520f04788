#pragma once
#include <cstdint>

#include <emmintrin.h>

#include "lighting/render_light.h"

// What the light kernels share: a prepared light's fields widened to double
// once per batch, and the integer steps of a light's share.

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
// The 32-bit sums' limits as doubles: shares are truncated into them, and
// while bounds on the sums stay below kSumUpper nothing needs clamping.
constexpr double kSumUpper = 2147483647.0, kSumLower = -2147483648.0;
constexpr int kLastFalloffEntry = RenderLight::kMaxFalloffEntries - 1;

// Natively on x86-64, the light steps also come in AVX vectors, built apart
// and run when the processor has AVX: the same IEEE steps in the same order
// per value, so the same bits. Elsewhere the SSE2 steps run.
#if defined(__x86_64__) && !defined(_WIN32)
#define ORVANE_WIDE_LIGHT_STEPS 1
bool processorHasAvx();
// Whether the AVX steps run: when the processor has AVX and the environment
// variable ORVANE_NO_AVX is not 1, which keeps the SSE2 steps, so that the
// tests check those too on a processor with AVX. Decided once, at the start.
bool wideLightStepsInUse();
#endif

// The steps below are compiled into each file that includes this header, with
// internal linkage: the AVX file includes it too, and its copies must not
// stand in for those of the SSE2 files at link time.
namespace {
// Truncation toward zero into 32 bits; out-of-range values saturate (NaN as
// the largest value), so that absurd geometry (a light far away, a block from
// the host with any content) stays defined.
inline int32_t truncSaturated(double x) {
    x = x < kSumUpper ? x : kSumUpper;
    x = x > kSumLower ? x : kSumLower;
    return int32_t(x);
}

// sum + term, held at the 32-bit limits instead of wrapping: an overflow is
// when both operands share a sign that the wrapped sum lacks.
inline int32_t addSaturated(int32_t sum, int32_t term) {
    const uint32_t a = uint32_t(sum), b = uint32_t(term), wrapped = a + b;
    const uint32_t overflow = uint32_t(int32_t((a ^ wrapped) & (b ^ wrapped)) >> 31);
    const uint32_t limit = (a >> 31) + 0x7FFFFFFFu; // INT32_MAX, or INT32_MIN below zero
    return int32_t((wrapped & ~overflow) | (limit & overflow));
}

// Four sums plus four terms with the steps of addSaturated.
inline __m128i addSaturated4(__m128i sums, __m128i terms) {
    const __m128i wrapped = _mm_add_epi32(sums, terms);
    const __m128i overflow = _mm_srai_epi32(
        _mm_and_si128(_mm_xor_si128(sums, wrapped), _mm_xor_si128(terms, wrapped)), 31);
    const __m128i limit = _mm_add_epi32(_mm_srli_epi32(sums, 31), _mm_set1_epi32(0x7FFFFFFF));
    return _mm_or_si128(_mm_andnot_si128(overflow, wrapped), _mm_and_si128(overflow, limit));
}

// The falloff table entry for the cosine a; whatever rounding makes of a, the
// index stays inside the table.
inline double falloffAt(const LightTerms& t, float a) {
    int32_t index = truncSaturated((a - t.falloffStart) * t.falloffScale);
    index = index < 0 ? 0 : index > kLastFalloffEntry ? kLastFalloffEntry : index;
    return t.falloff[index];
}

// Adds factor[c] x e (x f) to each word of a sum slot: the shares
// trunc(I x n x e) and trunc(I x n x e x f) with factor = I x n worked out
// first, as the formula's order has it. This runs for every facet and light,
// so the four words go through SSE2 together. When kClamped, with exactly the
// steps of truncSaturated and addSaturated above: min and max keep NaN at the
// upper limit as the comparisons there do. Without, for shares and sums
// known to stay within 32 bits, where both give the same.
template <bool kClamped> void addScaledShares(__m128d lowWords, __m128d highWords, int32_t* sums) {
    if constexpr (kClamped) {
        const __m128d upper = _mm_set1_pd(kSumUpper), lower = _mm_set1_pd(kSumLower);
        lowWords = _mm_max_pd(_mm_min_pd(lowWords, upper), lower);
        highWords = _mm_max_pd(_mm_min_pd(highWords, upper), lower);
    }
    const __m128i shares =
        _mm_unpacklo_epi64(_mm_cvttpd_epi32(lowWords), _mm_cvttpd_epi32(highWords));
    const __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums));
    const __m128i sum = kClamped ? addSaturated4(old, shares) : _mm_add_epi32(old, shares);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(sums), sum);
}

template <bool kClamped> void addShares(const double factor[kSumWords], double e, int32_t* sums) {
    const __m128d scale = _mm_set1_pd(e);
    addScaledShares<kClamped>(_mm_mul_pd(_mm_loadu_pd(factor), scale),
                              _mm_mul_pd(_mm_loadu_pd(factor + 2), scale), sums);
}

template <bool kClamped>
void addShares(const double factor[kSumWords], double e, double f, int32_t* sums) {
    const __m128d scale = _mm_set1_pd(e), falloff = _mm_set1_pd(f);
    addScaledShares<kClamped>(_mm_mul_pd(_mm_mul_pd(_mm_loadu_pd(factor), scale), falloff),
                              _mm_mul_pd(_mm_mul_pd(_mm_loadu_pd(factor + 2), scale), falloff),
                              sums);
}
} // namespace
