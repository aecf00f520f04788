#pragma once

#include "lighting/parameter_block.h"
#include "lighting/shade_batch.h"

// The batch shader written the plainest way: every formula as it reads, per
// facet, without hoisting or vector steps (only L, e and the spot falloff once
// per pixel, as the results depend on it). The tests hold the kernels to it
// and the benchmarks measure against it. Untextured samples go through the
// general facet formula with the normal (0, 0, 1).
bool referenceShadeBatch(const ParameterBlock& block, const FacetBatch& batch, bool keepSums);
