#pragma once
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "lighting/parameter_block.h"
#include "lighting/shade_batch.h"
#include "lighting/shading_scratch.h"

// Building blocks of the lighting tests: render blocks with chosen material
// and lights, one thread's working arrays, and generated pictures.

// Exposure 128, no gloss, plastic, no ambient light, no lights; image width 2.
std::unique_ptr<ParameterBlock> neutralBlock();

// Appends a light of the given type with the same strength in every channel.
RenderLight& addLight(ParameterBlock& block, uint32_t type, int32_t strength);

constexpr uint32_t kAnyType = 99;

// A block of random lights of every type (or only of `type`), from ordinary
// to absurd: far and low lights, strong and negative strengths, corrupt
// falloff geometry; and random material, gloss, exposure and ambient light.
std::unique_ptr<ParameterBlock> randomBlock(std::mt19937& random, uint32_t type = kAnyType);

// One set of the eight working arrays, as a worker thread owns it.
struct ScratchSet {
    ScratchSet();
    std::vector<uint8_t> area;
    ShadingScratch view;
};

// A relief batch of single facets, one per pixel: each facet has weight 16.
struct FacetArrays {
    explicit FacetArrays(int facets);
    void setFacet(int i, float x, float y, const float normal[3], uint8_t red, uint8_t green,
                  uint8_t blue);
    FacetBatch batch();           // relief form: with normals and weights
    FacetBatch untexturedBatch(); // one sample per pixel, normal (0, 0, 1)
    int count;
    std::vector<float> positions, normals;
    std::vector<uint32_t> weights;
    std::vector<uint8_t> colours, lit;
    std::vector<int32_t> diffuse, specular;
    std::vector<double> work;
};

// Deterministic pseudo-random bytes (the generator's raw output is the same on
// every platform).
std::vector<uint8_t> randomBytes(size_t count, uint32_t seed);
