#include "tests/support/lighting_scene.h"

std::unique_ptr<ParameterBlock> neutralBlock() {
    auto block = std::make_unique<ParameterBlock>();
    *block = ParameterBlock{};
    block->gloss = 0;
    block->material = 0;
    block->exposure = 128;
    block->imageWidth = 2.0f;
    return block;
}

RenderLight& addLight(ParameterBlock& block, uint32_t type, int32_t strength) {
    RenderLight& light = block.lights[block.lightCount++];
    light = RenderLight{};
    light.type = type;
    for (int32_t& s : light.strength)
        s = strength;
    return light;
}

std::unique_ptr<ParameterBlock> randomBlock(std::mt19937& random, uint32_t type) {
    auto block = neutralBlock();
    auto uniform = [&](double low, double high) {
        return low + (high - low) * (random() / 4294967296.0);
    };
    block->gloss = int16_t(uniform(-20, 300));
    block->material = int16_t(uniform(-20, 300));
    block->exposure = int16_t(uniform(-30, 300));
    for (int32_t& a : block->ambient)
        a = int32_t(uniform(-140000, 140000));
    const int lights = int(uniform(0, 17));
    for (int i = 0; i < lights; ++i) {
        RenderLight& light =
            addLight(*block, type == kAnyType ? uint32_t(uniform(0, 3.2)) : type, 0);
        for (int32_t& s : light.strength)
            s = int32_t(uniform(-270000, 270000));
        const double reach = random() % 8 == 0 ? 1e7 : 3;
        for (float& p : light.point)
            p = float(uniform(-reach, reach));
        for (float& d : light.direction)
            d = float(uniform(-1, 1));
        light.coneCosine = 0.707f;
        light.falloffStart = 0.70710677f;
        light.falloffScale = random() % 8 == 0 ? 1e9f : 3492.0f;
        for (float& f : light.falloff)
            f = float(uniform(0, 1));
    }
    return block;
}

ScratchSet::ScratchSet() : area(kScratchAreaBytes + 16) {
    // The area is handed over 16-byte aligned, as the state's member is.
    auto address = reinterpret_cast<uintptr_t>(area.data());
    view = scratchFromArea(area.data() + ((16 - address % 16) % 16));
}

FacetArrays::FacetArrays(int facets)
    : count(facets), positions(2 * facets), normals(3 * facets), weights(2 * facets),
      colours(3 * facets), lit(3 * facets), diffuse(4 * facets), specular(4 * facets),
      work(facets) {
    for (int i = 0; i < facets; ++i) {
        weights[2 * i] = 16;
        normals[3 * i + 2] = 1.0f;
    }
}

void FacetArrays::setFacet(int i, float x, float y, const float normal[3], uint8_t red,
                           uint8_t green, uint8_t blue) {
    positions[2 * i] = x;
    positions[2 * i + 1] = y;
    for (int k = 0; k < 3; ++k)
        normals[3 * i + k] = normal[k];
    colours[3 * i] = red;
    colours[3 * i + 1] = green;
    colours[3 * i + 2] = blue;
}

FacetBatch FacetArrays::batch() {
    FacetBatch b = untexturedBatch();
    b.pixels = count;
    b.normals = normals.data();
    b.weights = weights.data();
    return b;
}

FacetBatch FacetArrays::untexturedBatch() {
    FacetBatch b;
    b.count = count;
    b.positions = positions.data();
    b.colours = colours.data();
    b.diffuse = diffuse.data();
    b.specular = specular.data();
    b.lit = lit.data();
    b.work = work.data();
    return b;
}

std::vector<uint8_t> randomBytes(size_t count, uint32_t seed) {
    std::mt19937 generator(seed);
    std::vector<uint8_t> bytes(count);
    for (uint8_t& b : bytes)
        b = uint8_t(generator() >> 24);
    return bytes;
}
