#include <algorithm>
#include <cmath>

#include "lighting/det_math.h"
#include "lighting/light_kernels.h"

// The formula of lighting_formula.h with the normal (0, 0, 1): there
// n = r = L.z, the light's height above the image for omni and spot lights,
// so a light at or below the image adds nothing anywhere, and shareOf's first
// product, I x n or I x r^2, is the same for every sample. Each light then
// runs in passes over the samples, simple loops the compiler can vectorise:
// lightAtPixel's e (and a spot's a and f), then shareOf's products by e and
// f with the truncation and the addition of addFacetShares. The batch's work
// area holds 8 bytes per sample between the passes.
//
// Truncating a share and adding it saturate at the 32-bit limits. A bound on
// the light's shares (|I x n| times the largest e, and the largest falloff
// for a spot) added to a bound on the sums so far tells when nothing can
// saturate: the shares are then truncated and added without the clamping
// steps, which gives the same bits.

namespace {
// shareOf's I x product for every sample.
struct SampleFactors {
    double diffuse[kSumWords];  // I x n, n rounded to single precision
    double specular[kSumWords]; // I x r^2
};

SampleFactors factorsAtHeight(const LightTerms& t, double height) {
    SampleFactors f;
    const double nSingle = float(height);
    for (int c = 0; c < kSumWords; ++c) {
        f.diffuse[c] = t.strength[c] * nSingle;
        f.specular[c] = t.strength[c] * (height * height);
    }
    return f;
}

// The largest magnitude of the values, NaN when any is NaN.
template <typename Value> double largestMagnitude(const Value* values, int count) {
    double largest = 0.0;
    for (int i = 0; i < count; ++i) {
        const double magnitude = std::fabs(double(values[i]));
        largest = magnitude > largest || magnitude != magnitude ? magnitude : largest;
    }
    return largest;
}

// The same over the light passes' arrays, in SSE2 vectors: max keeps its
// second operand when one is NaN, so NaN is looked for apart.
double largestMagnitude(const double* values, int count) {
    const __m128d sign = _mm_set1_pd(-0.0);
    __m128d largest = _mm_setzero_pd(), unordered = largest;
    int i = 0;
    for (; i + 2 <= count; i += 2) {
        const __m128d magnitude = _mm_andnot_pd(sign, _mm_loadu_pd(values + i));
        largest = _mm_max_pd(largest, magnitude);
        unordered = _mm_or_pd(unordered, _mm_cmpunord_pd(magnitude, magnitude));
    }
    double lanes[3];
    _mm_storeu_pd(lanes, _mm_or_pd(largest, unordered)); // NaN where unordered
    lanes[2] = largestMagnitude<double>(values + i, count - i);
    return largestMagnitude<double>(lanes, 3);
}

double largestMagnitude(const float* values, int count) {
    const __m128 sign = _mm_set1_ps(-0.0f);
    __m128 largest = _mm_setzero_ps(), unordered = largest;
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128 magnitude = _mm_andnot_ps(sign, _mm_loadu_ps(values + i));
        largest = _mm_max_ps(largest, magnitude);
        unordered = _mm_or_ps(unordered, _mm_cmpunord_ps(magnitude, magnitude));
    }
    float lanes[5];
    _mm_storeu_ps(lanes, _mm_or_ps(largest, unordered));
    lanes[4] = float(largestMagnitude<float>(values + i, count - i));
    return largestMagnitude<float>(lanes, 5);
}

double largestFactor(const double factor[kSumWords]) {
    return std::max({std::fabs(factor[0]), std::fabs(factor[1]), std::fabs(factor[2])});
}

// Adds the light's bounds on its shares to the sums' bounds: true when the
// sums then stay below the 32-bit limits (a NaN bound does not), else the
// bounds become unknown.
bool sampleSumsStayInRange(const SampleFactors& f, double largestScale, SumBounds& bounds) {
    bounds.diffuse += largestFactor(f.diffuse) * largestScale * kBoundMargin;
    bounds.specular += largestFactor(f.specular) * largestScale * kBoundMargin;
    if (bounds.diffuse < kSumUpper && bounds.specular < kSumUpper)
        return true;
    bounds = SumBounds{};
    return false;
}

// The sum arrays are filled one at a time: loops over a single array
// vectorise, loops that store into two arrays that might overlap do not.
template <bool kClamped>
void addToEverySlot(const int32_t shares[kSumWords], int count, int32_t* sums) {
    for (int i = 0; i < count; ++i)
        for (int c = 0; c < kSumWords; ++c)
            sums[kSumWords * i + c] = kClamped ? addSaturated(sums[kSumWords * i + c], shares[c])
                                               : sums[kSumWords * i + c] + shares[c];
}

// A sample's slot plus trunc(factor x e (x f)), the four words two to an
// SSE2 vector: shareOf with I x product worked out once per light.
template <bool kClamped>
void addSampleShares(int32_t* sums, const double factor[kSumWords], double e) {
    const __m128d scale = _mm_set1_pd(e);
    addToSlot<kClamped>(sums,
                        truncSaturated4<kClamped>(_mm_mul_pd(_mm_loadu_pd(factor), scale),
                                                  _mm_mul_pd(_mm_loadu_pd(factor + 2), scale)));
}

template <bool kClamped>
void addSampleShares(int32_t* sums, const double factor[kSumWords], double e, double f) {
    const __m128d scale = _mm_set1_pd(e), falloff = _mm_set1_pd(f);
    addToSlot<kClamped>(sums,
                        truncSaturated4<kClamped>(
                            _mm_mul_pd(_mm_mul_pd(_mm_loadu_pd(factor), scale), falloff),
                            _mm_mul_pd(_mm_mul_pd(_mm_loadu_pd(factor + 2), scale), falloff)));
}

template <bool kClamped>
void addSharesToEverySample(int32_t* sums, int count, const double factor[kSumWords],
                            const double* e) {
#ifdef ORVANE_WIDE_LIGHT_STEPS
    if (wideLightStepsInUse())
        return addSharesToEverySampleWide<kClamped>(sums, count, factor, e);
#endif
    for (int i = 0; i < count; ++i)
        addSampleShares<kClamped>(sums + kSumWords * i, factor, e[i]);
}

template <bool kClamped>
void addSharesToEverySample(int32_t* sums, int count, const double factor[kSumWords],
                            const float* e, const float* falloff) {
#ifdef ORVANE_WIDE_LIGHT_STEPS
    if (wideLightStepsInUse())
        return addSharesToEverySampleWide<kClamped>(sums, count, factor, e, falloff);
#endif
    for (int i = 0; i < count; ++i)
        addSampleShares<kClamped>(sums + kSumWords * i, factor, e[i], falloff[i]);
}

// Both sums of every sample, clamping only where the bounds ask for it.
template <typename... Scales>
void addBothShares(const SampleFactors& f, bool inRange, const FacetBatch& b,
                   const Scales*... scales) {
    if (inRange) {
        addSharesToEverySample<false>(b.diffuse, b.count, f.diffuse, scales...);
        addSharesToEverySample<false>(b.specular, b.count, f.specular, scales...);
    } else {
        addSharesToEverySample<true>(b.diffuse, b.count, f.diffuse, scales...);
        addSharesToEverySample<true>(b.specular, b.count, f.specular, scales...);
    }
}

void accumulateOmni(const LightTerms& t, const FacetBatch& b, SumBounds& bounds) {
    const double height = t.point[2];
    if (!(height > 0))
        return;
    double* e = static_cast<double*>(b.work);
    for (int i = 0; i < b.count; ++i) {
        const double x = t.point[0] - b.positions[2 * i];
        const double y = t.point[1] - b.positions[2 * i + 1];
        e[i] = 1.0 / detSqrt(dotOf(x, y, height, x, y, height));
    }
    const SampleFactors f = factorsAtHeight(t, height);
    addBothShares(f, sampleSumsStayInRange(f, largestMagnitude(e, b.count), bounds), b, e);
}

// e and the cosine a are single precision; outside the cone e and the falloff
// are 0, which makes every share 0.
void accumulateSpot(const LightTerms& t, const FacetBatch& b, SumBounds& bounds) {
    const double height = t.point[2];
    if (!(height > 0))
        return;
    float* e = static_cast<float*>(b.work);
    float* falloff = e + b.count; // first the cosine a, then the falloff
    const double* axis = t.direction;
    for (int i = 0; i < b.count; ++i) {
        const double x = t.point[0] - b.positions[2 * i];
        const double y = t.point[1] - b.positions[2 * i + 1];
        e[i] = float(1.0 / detSqrt(dotOf(x, y, height, x, y, height)));
        falloff[i] = float(-dotOf(x, y, height, axis[0], axis[1], axis[2]) * e[i]);
    }
    for (int i = 0; i < b.count; ++i) {
        const bool inside = falloff[i] > t.coneCosine;
        falloff[i] = inside ? float(falloffAt(t, falloff[i])) : 0.0f;
        e[i] = inside ? e[i] : 0.0f;
    }
    const SampleFactors f = factorsAtHeight(t, height);
    const double largestScale = largestMagnitude(e, b.count) * largestMagnitude(falloff, b.count);
    addBothShares(f, sampleSumsStayInRange(f, largestScale, bounds), b, e, falloff);
}

// Every sample gets the very same shares: they are worked out once.
void accumulateDirectional(const LightTerms& t, const FacetBatch& b, SumBounds& bounds) {
    const double* l = t.direction;
    if (!(l[2] > 0))
        return;
    const double e = 1.0 / detSqrt(dotOf(l[0], l[1], l[2], l[0], l[1], l[2]));
    const double nSingle = float(l[2]);
    int32_t diffuse[kSumWords], specular[kSumWords];
    for (int c = 0; c < kSumWords; ++c) {
        diffuse[c] = truncSaturated(shareOf(t.strength[c], nSingle, e, 1.0));
        specular[c] = truncSaturated(shareOf(t.strength[c], l[2] * l[2], e, 1.0));
    }
    bounds.diffuse += largestMagnitude<int32_t>(diffuse, kSumWords);
    bounds.specular += largestMagnitude<int32_t>(specular, kSumWords);
    if (bounds.diffuse < kSumUpper && bounds.specular < kSumUpper) {
        addToEverySlot<false>(diffuse, b.count, b.diffuse);
        addToEverySlot<false>(specular, b.count, b.specular);
    } else {
        bounds = SumBounds{};
        addToEverySlot<true>(diffuse, b.count, b.diffuse);
        addToEverySlot<true>(specular, b.count, b.specular);
    }
}
} // namespace

void accumulateUntexturedLight(uint32_t type, const LightTerms& t, const FacetBatch& batch,
                               SumBounds& bounds) {
    switch (type) {
    case Omni:
        accumulateOmni(t, batch, bounds);
        break;
    case Directional:
        accumulateDirectional(t, batch, bounds);
        break;
    case Spot:
        accumulateSpot(t, batch, bounds);
        break;
    default:
        break; // an unknown type adds nothing
    }
}
