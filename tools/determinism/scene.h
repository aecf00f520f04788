#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "lighting/parameter_block.h"
#include "lighting/shading_scratch.h"
#include "settings/settings.h"

// Generated lighting scenes for the determinism check and the benchmarks:
// pictures, textures and lights made by integer arithmetic alone, so that
// every build sees the same input, and lit through the shading kernels.

// Reproducible pseudo-random numbers (xorshift, 32 bits).
class SceneRandom {
  public:
    explicit SceneRandom(uint32_t seed) : state(seed ? seed : 1) {}
    uint32_t next();
    int below(int bound) { return int(next() % uint32_t(bound)); }

  private:
    uint32_t state;
};

// An RGB picture, 3 bytes per pixel, rows padded to 4 bytes.
struct ScenePicture {
    int width = 0, height = 0;
    int32_t rowBytes = 0;
    std::vector<uint8_t> pixels;
};

// Smooth colour gradients with some noise.
ScenePicture generatedPicture(int width, int height, uint32_t seed);

// A texture channel of width x height samples: rough (independent samples,
// about four facets per pixel after smoothing) or gentle hills.
std::vector<uint8_t> generatedTexture(int width, int height, uint32_t seed, bool rough);

// The image is 150 pixels wide in the preview.
constexpr int kScenePreviewWidth = 150;

// Settings whose preview frame is 200 pixels wide (half frame 100) with the
// image 150 pixels wide in it, the default material and no lights.
std::unique_ptr<Settings> sceneState();

// Adds light number `index` of the given type, with geometry, colour,
// intensity and focus varied by the index.
void addSceneLight(Settings& settings, uint32_t type, int index);

// The block as the dialog (or a script, with percent geometry) fills it.
std::unique_ptr<ParameterBlock> sceneBlock(Settings& settings, BlockVariant variant,
                                           int tableSizeFlag);

// One thread's working arrays.
class SceneScratch {
  public:
    SceneScratch();
    const ShadingScratch& view() const { return scratch; }

  private:
    std::vector<uint8_t> area;
    ShadingScratch scratch;
};

// Lights a picture as one tile of that size. With a texture (the picture's
// size plus 6 in each direction, as the host supplies it around a tile) the
// relief heights are built with the block's relief value and the strip
// renderer runs; otherwise the untextured rows. Returns the lit picture.
ScenePicture renderScene(const ParameterBlock& block, const ScenePicture& picture,
                         const std::vector<uint8_t>* texture, const SceneScratch& scratch);
