#include "tools/determinism/scene.h"

#include "lighting/height_map.h"
#include "lighting/relief_strip.h"
#include "lighting/untextured_rows.h"
#include "platform/checked_alloc.h"

namespace {
constexpr int kTextureMargin = 3;

int32_t paddedRowBytes(int width, int bytesPerPixel) {
    return (width * bytesPerPixel + 3) / 4 * 4;
}
} // namespace

uint32_t SceneRandom::next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

ScenePicture generatedPicture(int width, int height, uint32_t seed) {
    SceneRandom random(seed);
    ScenePicture picture;
    picture.width = width;
    picture.height = height;
    picture.rowBytes = paddedRowBytes(width, 3);
    picture.pixels.assign(size_t(picture.rowBytes) * height, 0);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = picture.pixels.data() + size_t(picture.rowBytes) * y;
        for (int x = 0; x < width; ++x) {
            const int noise = random.below(32);
            row[3 * x] = uint8_t((x * 255 / width + noise) & 255);
            row[3 * x + 1] = uint8_t((y * 255 / height + 2 * noise) & 255);
            row[3 * x + 2] = uint8_t(((x + y) * 4 + noise) & 255);
        }
    }
    return picture;
}

std::vector<uint8_t> generatedTexture(int width, int height, uint32_t seed, bool rough) {
    SceneRandom random(seed);
    std::vector<uint8_t> samples(size_t(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int hills = ((x * 7) % 64 < 32 ? x * 3 : 200 - x) + ((y * 5) % 48);
            samples[size_t(width) * y + x] =
                uint8_t(rough ? random.below(256) : (hills + random.below(4)) & 255);
        }
    }
    return samples;
}

std::unique_ptr<Settings> sceneState() {
    auto settings = std::make_unique<Settings>();
    settings->frameCenter = {160, 140};
    settings->frameCorner = {60, 40};
    settings->imageWidthRatio = 0.75f;
    return settings;
}

void addSceneLight(Settings& state, uint32_t type, int index) {
    state.addLightAt(int16_t(state.frameCenter.x - 70 + (index * 37) % 140),
                     int16_t(state.frameCenter.y - 60 + (index * 53) % 120));
    LightSource& light = state.lights[state.lightCount - 1];
    light.type = type;
    light.vector0 = {int16_t(20 + (index * 13) % 70), int16_t(-40 + (index * 29) % 80)};
    light.vector1 = {int16_t(-light.vector0.y / 2), int16_t(light.vector0.x / 2)};
    light.radius = int16_t(10 + (index * 17) % 90);
    light.color[0] = uint16_t(65535 - index * 4000);
    light.color[1] = uint16_t(20000 + index * 2500);
    light.color[2] = uint16_t((index * 9000) & 0xFFFF);
    light.intensity = int16_t(index % 5 == 4 ? -50 : 40 + (index * 11) % 90);
    light.focus = int16_t((index * 48) % 257);
    light.setSpotAxes();
    // A percent form near the same geometry, with fractions a script may give.
    const float percentPerPixel = 100.0f / state.frameSize();
    auto percentOf = [&](Point16 p) {
        return PointF{p.x * percentPerPixel + 0.37f, p.y * percentPerPixel - 0.26f};
    };
    light.positionPct = percentOf(light.position);
    light.vector0Pct = percentOf(light.vector0);
    light.vector1Pct = percentOf(light.vector1);
    light.radiusPct = light.radius * percentPerPixel + 0.49f;
}

std::unique_ptr<ParameterBlock> sceneBlock(Settings& settings, BlockVariant variant,
                                           int tableSizeFlag) {
    auto block = std::make_unique<ParameterBlock>();
    *block = ParameterBlock{};
    fillParameterBlock(settings, kScenePreviewWidth, *block, variant, tableSizeFlag);
    return block;
}

SceneScratch::SceneScratch() : area(kScratchAreaBytes) {
    scratch = scratchFromArea(area.data());
}

namespace {
void renderWithRelief(const ParameterBlock& block, const ScenePicture& picture,
                      const std::vector<uint8_t>& texture, const SceneScratch& scratch,
                      ScenePicture& out) {
    const int textureWidth = picture.width + 2 * kTextureMargin;
    HeightMapRecord heights;
    heights.scale = block.relief;
    if (buildHeightMap(texture.data(), textureWidth, textureWidth,
                       picture.height + 2 * kTextureMargin, heights) != 0)
        return;
    const ReliefStrip strip{wholePictureRun(block, picture.width, picture.height,
                                            picture.pixels.data(), out.pixels.data(),
                                            picture.rowBytes, scratch.view()),
                            heights.map, heights.width};
    shadeStrip(strip);
    checkedFree(heights.map);
}

void renderUntextured(const ParameterBlock& block, const ScenePicture& picture,
                      const SceneScratch& scratch, ScenePicture& out) {
    shadeUntexturedRows(
        UntexturedRows{wholePictureRun(block, picture.width, picture.height, picture.pixels.data(),
                                       out.pixels.data(), picture.rowBytes, scratch.view())});
}
} // namespace

ScenePicture renderScene(const ParameterBlock& block, const ScenePicture& picture,
                         const std::vector<uint8_t>* texture, const SceneScratch& scratch) {
    ScenePicture out = picture;
    std::fill(out.pixels.begin(), out.pixels.end(), uint8_t(0));
    if (texture)
        renderWithRelief(block, picture, *texture, scratch, out);
    else
        renderUntextured(block, picture, scratch, out);
    return out;
}
