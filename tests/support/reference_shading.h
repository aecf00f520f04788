#pragma once

#include "lighting/parameter_block.h"
#include "lighting/shade_batch.h"

// The batch shader written the plainest way: the scalar formula of
// lighting/lighting_formula.h applied facet by facet, without hoisting or
// vector steps (only L, e and the spot falloff once per pixel, as the formula
// has them). The tests hold the kernels to it and the benchmarks measure
// against it. Untextured samples go through the facet formula with the
// normal (0, 0, 1).
bool referenceShadeBatch(const ParameterBlock& block, const FacetBatch& b, bool keepSums);
