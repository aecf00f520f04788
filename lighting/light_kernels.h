#pragma once

#include "lighting/light_terms.h"
#include "lighting/shade_batch.h"

// The per-light work on the two forms of batch: relief facets (L, e and the
// spot falloff once per pixel, then every facet of the pixel) and untextured
// samples (normal (0, 0, 1), so that N.L = R.L = L.z).
void accumulateReliefLight(uint32_t type, const LightTerms& t, const FacetBatch& batch);
void accumulateUntexturedLight(uint32_t type, const LightTerms& t, const FacetBatch& batch);
