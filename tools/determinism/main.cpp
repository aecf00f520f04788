// Renders a fixed set of generated lighting cases through the shading
// kernels and prints one line per case: its name and a checksum (FNV-1a, 64
// bits) of the prepared render block and the lit pixels. Both builds must
// print the same lines.
#include <cinttypes>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "lighting/det_math.h"
#include "tools/determinism/scene.h"

namespace {
class Checksum {
  public:
    void add(const void* data, size_t bytes) {
        const auto* p = static_cast<const uint8_t*>(data);
        for (size_t i = 0; i < bytes; ++i) {
            hash ^= p[i];
            hash *= 0x100000001b3ULL;
        }
    }
    void add(double value) { add(&value, sizeof value); }
    uint64_t value() const { return hash; }

  private:
    uint64_t hash = 0xcbf29ce484222325ULL;
};

// How a case is set up: its lights, material and relief, and how the block is
// filled. Anything left at its default keeps the state's default material.
struct Case {
    const char* name;
    std::vector<uint32_t> lightTypes;
    bool relief = false;
    BlockVariant variant = BlockVariant::Dialog;
    int tableSizeFlag = 0;
    std::function<void(Settings&)> adjust = [](Settings&) {};
    int width = 64, height = 64;
};

std::vector<uint32_t> repeated(std::vector<uint32_t> pattern, int count) {
    std::vector<uint32_t> types;
    for (int i = 0; i < count; ++i)
        types.push_back(pattern[i % pattern.size()]);
    return types;
}

std::vector<Case> cases() {
    const std::vector<uint32_t> mixed = repeated({Omni, Directional, Spot}, 7);
    const std::vector<uint32_t> sixteen = repeated({Spot, Omni, Directional, Spot}, 16);
    return {
        {"omni", {Omni}},
        {"directional", {Directional}},
        {"spot", {Spot}},
        {"omni-relief", {Omni}, true},
        {"directional-relief", {Directional}, true},
        {"spot-relief", {Spot}, true},
        {"spot-preview-table", {Spot, Spot}, false, BlockVariant::Dialog, 1},
        {"spot-preview-table-relief", {Spot, Spot}, true, BlockVariant::Dialog, 1},
        {"mixed", mixed},
        {"mixed-relief", mixed, true},
        {"sixteen-relief", sixteen, true},
        {"script-percent", mixed, false, BlockVariant::Script, 0},
        {"script-percent-relief", mixed, true, BlockVariant::Script, 1},
        {"full-gloss-plastic", mixed, true, BlockVariant::Dialog, 0,
         [](Settings& s) {
             s.gloss = 256;
             s.material = 0;
             s.exposure = 256;
             s.ambience = 129;
         }},
        {"full-gloss-metal", sixteen, false, BlockVariant::Dialog, 0,
         [](Settings& s) {
             s.gloss = 256;
             s.material = 256;
             for (LightSource& light : s.lights)
                 light.intensity = 129;
         }},
        {"half-metal", mixed, true, BlockVariant::Dialog, 0,
         [](Settings& s) {
             s.gloss = 200;
             s.material = 128;
         }},
        {"dark-ambience-negative-lights", mixed, true, BlockVariant::Dialog, 0,
         [](Settings& s) {
             s.ambience = -127;
             s.ambientColor[2] = 1000;
             for (LightSource& light : s.lights)
                 light.intensity = -127;
         }},
        {"exposure-zero", mixed, false, BlockVariant::Dialog, 0,
         [](Settings& s) { s.exposure = 0; }},
        {"mountain-white-low", mixed, true, BlockVariant::Dialog, 0,
         [](Settings& s) {
             s.reliefAmount = 256;
             s.whiteIsHigh = false;
         }},
        {"focus-extremes", repeated({Spot}, 4), true, BlockVariant::Dialog, 0,
         [](Settings& s) {
             const int16_t focus[] = {0, 1, 255, 256};
             for (int i = 0; i < 4; ++i)
                 s.lights[i].focus = focus[i];
         }},
        {"degenerate-spot-and-huge-script-geometry", mixed, false, BlockVariant::Script, 0,
         [](Settings& s) {
             s.lights[2].vector0Pct = {0, 0};
             s.lights[0].positionPct = {1e30f, -1e30f};
             s.lights[1].vector0Pct = {3e38f, 0};
         }},
        {"wide-row-in-pieces", mixed, true, BlockVariant::Dialog, 0, [](Settings&) {}, 300, 3},
        {"single-pixel", mixed, true, BlockVariant::Dialog, 0, [](Settings&) {}, 1, 1},
    };
}

uint64_t runCase(const Case& c, const SceneScratch& scratch) {
    auto state = sceneState();
    for (size_t i = 0; i < c.lightTypes.size(); ++i)
        addSceneLight(*state, c.lightTypes[i], int(i));
    state->textureChannel = c.relief ? 1 : 0;
    c.adjust(*state);
    auto block = sceneBlock(*state, c.variant, c.tableSizeFlag);
    const ScenePicture picture = generatedPicture(c.width, c.height, 7);
    const std::vector<uint8_t> texture =
        generatedTexture(c.width + 6, c.height + 6, 11, c.width <= 64);
    const ScenePicture lit = renderScene(*block, picture, c.relief ? &texture : nullptr, scratch);
    Checksum sum;
    sum.add(block.get(), sizeof(ParameterBlock));
    sum.add(lit.pixels.data(), lit.pixels.size());
    return sum.value();
}

// The elementary functions themselves over the ranges the preparation uses.
uint64_t elementaryFunctions() {
    Checksum sum;
    for (int i = -400; i <= 400; ++i) {
        const double x = i * 0.0123;
        sum.add(detSin(x));
        sum.add(detCos(x));
        sum.add(detAtan(x * 7));
        sum.add(detAsin(i / 400.0));
        sum.add(detAcos(i / 400.0));
        sum.add(detExp(x * 4));
        sum.add(detLog(i * i + 0.5));
        sum.add(detPow((i + 401) / 500.0, 0.25 + (i + 400) / 50.0));
    }
    return sum.value();
}
} // namespace

int main() {
    const SceneScratch scratch;
    std::printf("elementary-functions %016" PRIx64 "\n", elementaryFunctions());
    for (const Case& c : cases())
        std::printf("%s %016" PRIx64 "\n", c.name, runCase(c, scratch));
    return 0;
}
