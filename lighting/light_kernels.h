#pragma once

#include <cmath>

#include "lighting/light_terms.h"
#include "lighting/shade_batch.h"

// The per-light work on the two forms of batch: relief facets (all the lights
// in turn over one chunk of facets after another; L, e and the spot falloff
// once per pixel, then every facet of the pixel) and untextured samples
// (normal (0, 0, 1), so that N.L = R.L = L.z), one light at a time.
// With sumsStartAtZero the relief sums are not read but written whole (the
// fourth word of each slot zero).
void accumulateReliefLights(const RenderLight* lights, int count, const FacetBatch& batch,
                            bool sumsStartAtZero);

// Lights a relief batch by the block's lights from zero and applies the
// material step to each chunk of facets while its sums are at hand, giving
// the lit bytes of lightBatch and applyMaterial; the sums are stored into the
// batch only with storeSumsToo. False, doing nothing, without lights, with a
// negative exposure or without the AVX steps: then the two steps run apart.
bool shadeReliefLights(const ParameterBlock& block, const FacetBatch& batch, bool storeSumsToo);

// Bounds on the magnitude of an untextured batch's sums so far: zero when
// they start at zero, infinity (the default) when they are not known.
struct SumBounds {
    double diffuse = INFINITY, specular = INFINITY;
};
void accumulateUntexturedLight(uint32_t type, const LightTerms& t, const FacetBatch& batch,
                               SumBounds& bounds);

#ifdef ORVANE_WIDE_LIGHT_STEPS
// The untextured passes' shares with AVX, a sum slot's four words to a vector
// (accumulate_untextured_wide.cpp): sums[i] + trunc(factor x e[i]) and
// sums[i] + trunc(factor x e[i] x falloff[i]), as addSampleShares gives them.
template <bool kClamped>
void addSharesToEverySampleWide(int32_t* sums, int count, const double factor[kSumWords],
                                const double* e);
template <bool kClamped>
void addSharesToEverySampleWide(int32_t* sums, int count, const double factor[kSumWords],
                                const float* e, const float* falloff);
#endif
