#include "tests/support/reference_shading.h"

#include <algorithm>
#include <cstdint>

#include "lighting/lighting_formula.h"

namespace {
void accumulate(const RenderLight& light, const FacetBatch& b) {
    if (light.type > Spot)
        return;
    static const float kUp[3] = {0.0f, 0.0f, 1.0f};
    const uint32_t* weight = b.weights;
    int facet = 0;
    while (facet < b.count) {
        // One pixel: its facets up to the 0 of the weights list (untextured:
        // one sample).
        int end = facet + 1;
        if (b.normals) {
            for (end = facet; *weight != 0; ++weight)
                ++end;
            ++weight;
        }
        const LightAtPixel l =
            lightAtPixel(light, b.positions[2 * facet], b.positions[2 * facet + 1]);
        for (; facet < end; ++facet)
            addFacetShares(light, l, b.normals ? b.normals + 3 * facet : kUp, b.diffuse + 4 * facet,
                           b.specular + 4 * facet);
    }
}

template <Highlight kKind> void applyMaterial(const ParameterBlock& block, const FacetBatch& b) {
    const MaterialTerms m{block.gloss, block.material, block.exposure};
    for (int i = 0; i < b.count; ++i)
        for (int c = 0; c < 3; ++c)
            b.lit[3 * i + c] = litByte<kKind>(m, b.colours[3 * i + c], block.ambient[c],
                                              b.diffuse[4 * i + c], b.specular[4 * i + c]);
}
} // namespace

bool referenceShadeBatch(const ParameterBlock& block, const FacetBatch& b, bool keepSums) {
    if (b.count > 1024)
        return false;
    if (!keepSums) {
        std::fill_n(b.diffuse, 4 * b.count, 0);
        std::fill_n(b.specular, 4 * b.count, 0);
        for (int i = 0; i < std::min<int>(block.lightCount, 16); ++i)
            accumulate(block.lights[i], b);
    }
    withHighlightOf(block.material,
                    [&](auto kind) { applyMaterial<decltype(kind)::value>(block, b); });
    return true;
}
