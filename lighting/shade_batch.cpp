#include "lighting/shade_batch.h"

#include <algorithm>
#include <atomic>
#include <cstdint>

#include "lighting/light_kernels.h"
#include "lighting/parameter_block.h"
#include "lighting/shading_scratch.h"

namespace {
// One relaxed addition per batch, from every worker thread: nothing next to
// the per-facet work of even one light.
std::atomic<uint32_t> lightEvaluations{0};

// How the highlight takes its colour: white for plastic, the surface colour
// for metal, a blend of the two in between.
enum class Highlight { White, Blend, SurfaceColour };

// The highlight's colour weight times gloss.
template <Highlight kKind>
int64_t highlightFactor(int64_t colour, int64_t material, int64_t gloss) {
    if constexpr (kKind == Highlight::White)
        return gloss * 255;
    else if constexpr (kKind == Highlight::SurfaceColour)
        return gloss * colour;
    else
        return ((colour * material + (256 - material) * 255) >> 8) * gloss;
}

// Everything in 64 bits: with strong lights at full gloss the highlight
// product leaves 32 bits; results that fit 32 bits are unchanged.
template <Highlight kKind> void applyMaterialAs(const ParameterBlock& block, const FacetBatch& b) {
    const int64_t exposure = block.exposure;
    const int64_t material = block.material;
    const int64_t gloss = block.gloss;
    const int64_t ambient[3] = {block.ambient[0], block.ambient[1], block.ambient[2]};
    for (int i = 0; i < b.count; ++i) {
        for (int c = 0; c < 3; ++c) {
            const int64_t colour = b.colours[3 * i + c];
            const int64_t light = ambient[c] + b.diffuse[kSumWords * i + c];
            const int64_t highlight = int64_t(b.specular[kSumWords * i + c]) >> 8;
            const int64_t value =
                light * colour + highlight * highlightFactor<kKind>(colour, material, gloss);
            const int64_t v = ((value >> 8) * exposure) >> 15;
            b.lit[3 * i + c] = uint8_t(v <= 0 ? 0 : v >= 255 ? 255 : v);
        }
    }
}
} // namespace

LightTerms termsOf(const RenderLight& light) {
    LightTerms terms;
    for (int i = 0; i < 3; ++i) {
        terms.strength[i] = light.strength[i];
        terms.point[i] = light.point[i];
        terms.direction[i] = light.direction[i];
    }
    terms.strength[3] = 0.0;
    terms.coneCosine = light.coneCosine;
    terms.falloffStart = light.falloffStart;
    terms.falloffScale = light.falloffScale;
    terms.falloff = light.falloff;
    return terms;
}

void accumulateLight(const RenderLight& light, const FacetBatch& batch) {
    const LightTerms terms = termsOf(light);
    if (batch.normals)
        accumulateReliefLight(light.type, terms, batch);
    else
        accumulateUntexturedLight(light.type, terms, batch);
}

void applyMaterial(const ParameterBlock& block, const FacetBatch& batch) {
    if (block.material <= 0)
        applyMaterialAs<Highlight::White>(block, batch);
    else if (block.material >= 256)
        applyMaterialAs<Highlight::SurfaceColour>(block, batch);
    else
        applyMaterialAs<Highlight::Blend>(block, batch);
}

bool shadeBatch(const ParameterBlock& block, const FacetBatch& batch, bool keepSums) {
    if (batch.count < 0 || batch.count > kMaxBatchFacets)
        return false;
    if (!keepSums) {
        std::fill_n(batch.diffuse, kSumWords * batch.count, 0);
        std::fill_n(batch.specular, kSumWords * batch.count, 0);
        const int lights = std::min<int>(block.lightCount, ParameterBlock::kMaxLights);
        for (int i = 0; i < lights; ++i)
            accumulateLight(block.lights[i], batch);
        lightEvaluations.fetch_add(uint32_t(lights), std::memory_order_relaxed);
    }
    applyMaterial(block, batch);
    return true;
}

uint32_t lightEvaluationCount() {
    return lightEvaluations.load(std::memory_order_relaxed);
}
