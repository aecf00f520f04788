// The untextured light passes' shares with AVX: a sum slot's four words (the
// fourth strength is 0) go through one vector of doubles, where SSE2 takes
// two. This file and the relief's wide steps are built for AVX (in both
// builds) and run only when the processor has it; each lane takes the steps
// of shareOf, truncSaturated and addSaturated (lighting_formula.h) in their
// order.
#include <immintrin.h>

#include "lighting/light_kernels.h"

template <bool kClamped>
void addSharesToEverySampleWide(int32_t* sums, int count, const double factor[kSumWords],
                                const double* e) {
    const __m256d factors = _mm256_loadu_pd(factor);
    for (int i = 0; i < count; ++i)
        addToSlot<kClamped>(sums + kSumWords * i, truncSaturated4<kClamped>(_mm256_mul_pd(
                                                      factors, _mm256_set1_pd(e[i]))));
}

template <bool kClamped>
void addSharesToEverySampleWide(int32_t* sums, int count, const double factor[kSumWords],
                                const float* e, const float* falloff) {
    const __m256d factors = _mm256_loadu_pd(factor);
    for (int i = 0; i < count; ++i)
        addToSlot<kClamped>(sums + kSumWords * i, truncSaturated4<kClamped>(_mm256_mul_pd(
                                                      _mm256_mul_pd(factors, _mm256_set1_pd(e[i])),
                                                      _mm256_set1_pd(falloff[i]))));
}

template void addSharesToEverySampleWide<false>(int32_t*, int, const double*, const double*);
template void addSharesToEverySampleWide<true>(int32_t*, int, const double*, const double*);
template void addSharesToEverySampleWide<false>(int32_t*, int, const double*, const float*,
                                                const float*);
template void addSharesToEverySampleWide<true>(int32_t*, int, const double*, const float*,
                                               const float*);
