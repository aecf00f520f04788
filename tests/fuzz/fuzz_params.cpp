// A parameter file: the host's reading of its envelope, and the block inside
// as the plug-in's shading reads it, whatever it holds (an envelope can be
// made around any bytes).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "host/zerafin/files/parameter_file.h"
#include "tests/support/lighting_scene.h"

namespace {
void shadeWith(const ParameterBlock& block) {
    constexpr int kFacets = 8;
    const float tilted[3] = {0.6f, 0.0f, 0.8f};
    const float level[3] = {0.0f, 0.0f, 1.0f};
    FacetArrays facets(kFacets);
    for (int i = 0; i < kFacets; ++i)
        facets.setFacet(i, float(i * 37 - 120), float(i * 23 - 80), i % 2 ? tilted : level,
                        uint8_t(i * 30), 128, uint8_t(255 - i * 30));
    shadeBatch(block, facets.batch(), false);
    shadeBatch(block, facets.untexturedBatch(), false);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> stored;
    std::string error;
    std::span<const uint8_t> bytes(data, size);
    if (readParameterFile(bytes, "Orvane...", stored, error))
        bytes = stored;
    auto block = neutralBlock();
    std::memcpy(block.get(), bytes.data(), std::min(bytes.size(), sizeof(ParameterBlock)));
    shadeWith(*block);
    return 0;
}
