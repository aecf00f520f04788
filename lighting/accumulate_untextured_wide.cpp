// The untextured light passes' shares with AVX: a sum slot's four words (the
// fourth strength is 0) go through one vector of doubles, where SSE2 takes
// two. This file alone with the relief's wide steps is built for AVX (native
// builds) and runs only when the processor has it; each lane takes the steps
// of addShares in the same order, and AVX rounds as SSE2 does (no fused
// multiply-add), so the sums are the same.
#include <immintrin.h>

#include "lighting/light_kernels.h"

namespace {
// sums + trunc(words), held at the 32-bit limits when kClamped, with the steps
// of addScaledShares.
template <bool kClamped> void addToSlot(__m256d words, int32_t* sums) {
    if constexpr (kClamped)
        words = _mm256_max_pd(_mm256_min_pd(words, _mm256_set1_pd(kSumUpper)),
                              _mm256_set1_pd(kSumLower));
    const __m128i shares = _mm256_cvttpd_epi32(words);
    const __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums));
    const __m128i sum = kClamped ? addSaturated4(old, shares) : _mm_add_epi32(old, shares);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(sums), sum);
}
} // namespace

template <bool kClamped>
void addSharesToEverySampleWide(const double factor[kSumWords], const double* e, int count,
                                int32_t* sums) {
    const __m256d factors = _mm256_loadu_pd(factor);
    for (int i = 0; i < count; ++i)
        addToSlot<kClamped>(_mm256_mul_pd(factors, _mm256_set1_pd(e[i])), sums + kSumWords * i);
}

template <bool kClamped>
void addSharesToEverySampleWide(const double factor[kSumWords], const float* e,
                                const float* falloff, int count, int32_t* sums) {
    const __m256d factors = _mm256_loadu_pd(factor);
    for (int i = 0; i < count; ++i)
        addToSlot<kClamped>(
            _mm256_mul_pd(_mm256_mul_pd(factors, _mm256_set1_pd(e[i])), _mm256_set1_pd(falloff[i])),
            sums + kSumWords * i);
}

template void addSharesToEverySampleWide<false>(const double*, const double*, int, int32_t*);
template void addSharesToEverySampleWide<true>(const double*, const double*, int, int32_t*);
template void addSharesToEverySampleWide<false>(const double*, const float*, const float*, int,
                                                int32_t*);
template void addSharesToEverySampleWide<true>(const double*, const float*, const float*, int,
                                               int32_t*);
