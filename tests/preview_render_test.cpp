// The dialog's preview: its caches, what a redraw evaluates again after each
// kind of change, the pictures it gives against the final render's, and its
// edge cases (one pixel, too wide, no memory, preview switched off).
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "lighting/parameter_block.h"
#include "lighting/shade_batch.h"
#include "platform/checked_alloc.h"
#include "protocol/plugin_api.h"
#include "shell/filter_run.h"
#include "shell/parameter_handle.h"
#include "shell/plugin_state.h"
#include "shell/preview_caches.h"
#include "shell/render_preview.h"
#include "shell/worker_threads.h"
#include "tests/support/lighting_scene.h"
#include "ui/preview_layout.h"

namespace {
// Placeholder 300 x 250 in a work area of 320 x 260: images up to that size are
// previewed at step 1, and the half frame is 160 pixels.
constexpr LayoutMeasure kRoomyDialog{300, 250, 320, 260};

// Refuses every allocation after `allowed` more, until the end of the scope.
struct AllocationLimit {
    explicit AllocationLimit(long allowed) { setCheckedAllocLimitForTesting(allowed); }
    ~AllocationLimit() { setCheckedAllocLimitForTesting(-1); }
};

// A state laid out for an image of the given size, as at the start of a run
// with the dialog: preview images filled with generated pixels, a parameter
// block, worker threads, and three lights of every kind.
class PreviewScene {
  public:
    PreviewScene(int imageWidth, int imageHeight, LayoutMeasure dialog = kRoomyDialog,
                 int16_t threadCount = 3)
        : state(std::make_unique<PluginState>()) {
        host.areaRect = Rect16{0, 0, int16_t(imageHeight), int16_t(imageWidth)};
        host.imageMode = kImageModeRgb;
        EXPECT_EQ(createParameterBlock(host), 0);
        state->run.host = &host;
        PIThreadsSetCount(threadCount);
        EXPECT_EQ(initThreads(*state), 0);
        EXPECT_EQ(LayoutPreview(dialog, host, state->settings, state->preview), 0);
        fillImage(state->preview.sourceImage, 11);
        fillImage(state->preview.textureImage, 12);
        state->settings.resetToDefaultStyle(); // a yellow spot at the frame centre
        const PointU16 centre = state->settings.frameCenter;
        state->settings.addLightAt(int16_t(centre.x + 10), int16_t(centre.y - 5));
        state->settings.lights[1].type = Omni;
        state->preview.lightChanged(1);
        state->settings.addLightAt(int16_t(centre.x), int16_t(centre.y));
        state->settings.lights[2].type = Directional;
        state->settings.lights[2].vector0 = {20, -30};
        state->preview.lightChanged(2);
        state->settings.gloss = 200;
        state->settings.material = 100;
    }

    ~PreviewScene() {
        endThreads(*state);
        PIThreadsSetCount(0);
        releaseRunBuffers(*state);
        state.reset();
        HostDisposeHandle(host.handleTable, host.parameterHandle);
    }

    int width() const { return state->preview.width; }
    int height() const { return state->preview.height; }
    const ParameterBlock& block() const {
        return *static_cast<const ParameterBlock*>(*host.parameterHandle);
    }

    // The lights evaluated by one redraw, which must succeed.
    uint32_t evaluationsOfRedraw() {
        const uint32_t before = lightEvaluationCount();
        EXPECT_EQ(renderPreview(*state), 0);
        return lightEvaluationCount() - before;
    }
    // Every enabled light over every row: one batch per row of up to 256 pixels.
    uint32_t fullEvaluation() const {
        uint32_t enabled = 0;
        for (int i = 0; i < state->settings.lightCount; ++i)
            enabled += state->settings.lights[i].enabled ? 1 : 0;
        return uint32_t(height()) * enabled;
    }

    // The w x h pixels at the preview's place in the result image.
    std::vector<uint8_t> preview() const {
        const ImageRecord& result = state->preview.resultImage;
        std::vector<uint8_t> pixels;
        for (int y = 0; y < height(); ++y) {
            const uint8_t* row = result.pixels +
                                 ptrdiff_t(result.rowBytes) * (state->preview.top + y) +
                                 3 * state->preview.left;
            pixels.insert(pixels.end(), row, row + 3 * width());
        }
        return pixels;
    }
    std::vector<uint8_t> resultImage() const {
        const ImageRecord& result = state->preview.resultImage;
        return {result.pixels, result.pixels + ptrdiff_t(result.rowBytes) * result.height()};
    }
    std::vector<uint8_t> sourcePixels() const {
        const ImageRecord& source = state->preview.sourceImage;
        std::vector<uint8_t> pixels;
        for (int y = 0; y < height(); ++y) {
            const uint8_t* row = source.pixels + ptrdiff_t(source.rowBytes) * y;
            pixels.insert(pixels.end(), row, row + 3 * width());
        }
        return pixels;
    }

    // The preview lit with no cache to draw on.
    std::vector<uint8_t> previewFromScratch() {
        state->preview.releaseCaches();
        EXPECT_EQ(renderPreview(*state), 0);
        return preview();
    }

    // Moves every cached position by a quarter of the half frame, so that a
    // render that reads them lights the wrong places.
    void scribbleOverPositions() {
        auto* positions = state->preview.summedCaches[CachePositions].buffer.as<float>();
        ASSERT_NE(positions, nullptr);
        for (size_t i = 0; i < 2 * state->preview.summedCacheSamples; ++i)
            positions[i] += 0.25f;
    }

    HostRecord host{};
    std::unique_ptr<PluginState> state;

  private:
    static void fillImage(const ImageRecord& image, uint32_t seed) {
        const std::vector<uint8_t> bytes =
            randomBytes(size_t(image.rowBytes) * size_t(image.height()), seed);
        std::copy(bytes.begin(), bytes.end(), image.pixels);
    }
};

bool slotEmpty(const CacheSlot& slot) {
    return !slot.buffer && !slot.valid;
}

// The preview with and without a texture channel.
class PreviewRedraw : public testing::TestWithParam<bool> {
  protected:
    PreviewRedraw() {
        setTextureChannel(scene.state->settings, scene.state->preview, GetParam() ? 1 : 0);
    }
    PreviewScene scene{40, 30};
};

std::string texturedName(const testing::TestParamInfo<bool>& info) {
    return info.param ? "WithRelief" : "WithoutRelief";
}
} // namespace

TEST(PreviewCaches, AllocatesTheThreeUsedSlotsForEverySample) {
    PluginState state;
    ensurePreviewCaches(state, 5, 3, false);
    EXPECT_EQ(state.preview.summedCacheSamples, 15u);
    for (int slot = CachePositions; slot <= CacheSpecular; ++slot) {
        EXPECT_NE(state.preview.summedCaches[slot].buffer.get(), nullptr) << slot;
        EXPECT_FALSE(state.preview.summedCaches[slot].valid) << slot;
    }

    // Present buffers stay, with what they hold.
    void* positions = state.preview.summedCaches[CachePositions].buffer.get();
    state.preview.summedCaches[CachePositions].valid = true;
    ensurePreviewCaches(state, 5, 3, false);
    EXPECT_EQ(state.preview.summedCaches[CachePositions].buffer.get(), positions);
    EXPECT_TRUE(state.preview.summedCaches[CachePositions].valid);

    // With relief a pixel has up to four facets; buffers made for another
    // number of samples are replaced and start invalid.
    ensurePreviewCaches(state, 5, 3, true);
    EXPECT_EQ(state.preview.summedCacheSamples, 60u);
    EXPECT_NE(state.preview.summedCaches[CachePositions].buffer.get(), nullptr);
    EXPECT_FALSE(state.preview.summedCaches[CachePositions].valid);

    ensurePreviewCaches(state, 0, 3, false);
    for (const CacheSlot& slot : state.preview.summedCaches)
        EXPECT_TRUE(slotEmpty(slot));
}

TEST(PreviewCaches, ARefusedAllocationLeavesItsSlotEmpty) {
    PluginState state;
    {
        AllocationLimit limit(1);
        ensurePreviewCaches(state, 4, 4, false);
    }
    EXPECT_NE(state.preview.summedCaches[CachePositions].buffer.get(), nullptr);
    EXPECT_TRUE(slotEmpty(state.preview.summedCaches[CacheDiffuse]));
    EXPECT_TRUE(slotEmpty(state.preview.summedCaches[CacheSpecular]));

    // The next redraw fills the gaps and keeps what is there.
    void* positions = state.preview.summedCaches[CachePositions].buffer.get();
    ensurePreviewCaches(state, 4, 4, false);
    EXPECT_EQ(state.preview.summedCaches[CachePositions].buffer.get(), positions);
    EXPECT_NE(state.preview.summedCaches[CacheDiffuse].buffer.get(), nullptr);
    EXPECT_NE(state.preview.summedCaches[CacheSpecular].buffer.get(), nullptr);
}

TEST_P(PreviewRedraw, TwoRedrawsWithoutChangeGiveTheSamePixelsTheSecondEvaluatingNoLight) {
    EXPECT_EQ(scene.evaluationsOfRedraw(), scene.fullEvaluation());
    const std::vector<uint8_t> first = scene.preview();
    EXPECT_NE(first, scene.sourcePixels());
    EXPECT_EQ(scene.evaluationsOfRedraw(), 0u);
    EXPECT_EQ(scene.preview(), first);
    for (int slot = CachePositions; slot <= CacheSpecular; ++slot)
        EXPECT_TRUE(scene.state->preview.summedCaches[slot].valid) << slot;
}

TEST_P(PreviewRedraw, AMaterialChangeEvaluatesNoLight) {
    PluginState& state = *scene.state;
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"gloss", [&] { state.settings.gloss = 30; }},
        {"material", [&] { state.settings.material = 256; }},
        {"exposure", [&] { state.settings.exposure = 180; }},
        {"ambience", [&] { state.settings.ambience = -40; }},
        {"ambient colour", [&] { state.settings.ambientColor[1] = 1000; }},
    };
    scene.evaluationsOfRedraw();
    for (const auto& [name, change] : changes) {
        const std::vector<uint8_t> before = scene.preview();
        change();
        EXPECT_EQ(scene.evaluationsOfRedraw(), 0u) << name;
        const std::vector<uint8_t> redrawn = scene.preview();
        EXPECT_NE(redrawn, before) << name;
        EXPECT_EQ(redrawn, scene.previewFromScratch()) << name;
        scene.evaluationsOfRedraw(); // the caches again valid for the next change
    }
}

TEST_P(PreviewRedraw, ALightChangeEvaluatesEveryLightAgain) {
    PluginState& state = *scene.state;
    auto changeLight = [&](int i, auto change) {
        change(state.settings.lights[i]);
        state.preview.lightChanged(i);
    };
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"moved", [&] { changeLight(0, [](LightSource& l) { l.position.x += 9; }); }},
        {"recoloured", [&] { changeLight(1, [](LightSource& l) { l.color[2] = 0; }); }},
        {"switched off", [&] { changeLight(2, [](LightSource& l) { l.enabled = false; }); }},
        {"added",
         [&] {
             state.settings.addLightAt(150, 120);
             state.preview.lightChanged(state.settings.currentLight);
         }},
    };
    scene.evaluationsOfRedraw();
    for (const auto& [name, change] : changes) {
        const std::vector<uint8_t> before = scene.preview();
        change();
        EXPECT_EQ(scene.evaluationsOfRedraw(), scene.fullEvaluation()) << name;
        const std::vector<uint8_t> redrawn = scene.preview();
        EXPECT_NE(redrawn, before) << name;
        EXPECT_EQ(redrawn, scene.previewFromScratch()) << name;
        scene.evaluationsOfRedraw();
    }
}

TEST_P(PreviewRedraw, ALightChangeReusesThePositions) {
    scene.evaluationsOfRedraw();
    scene.scribbleOverPositions();
    scene.state->settings.lights[0].position.y -= 7;
    scene.state->preview.lightChanged(0);
    scene.evaluationsOfRedraw();
    const std::vector<uint8_t> fromCachedPositions = scene.preview();
    EXPECT_NE(fromCachedPositions, scene.previewFromScratch());
}

TEST_P(PreviewRedraw, AReliefSettingChangeRecomputesEverything) {
    PluginState& state = *scene.state;
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"relief amount", [&] { setReliefAmount(state.settings, state.preview, 40); }},
        {"white is high", [&] { setWhiteIsHigh(state.settings, state.preview, false); }},
    };
    scene.evaluationsOfRedraw();
    for (const auto& [name, change] : changes) {
        scene.scribbleOverPositions();
        change();
        EXPECT_EQ(scene.evaluationsOfRedraw(), scene.fullEvaluation()) << name;
        const std::vector<uint8_t> redrawn = scene.preview();
        EXPECT_EQ(redrawn, scene.previewFromScratch()) << name;
        scene.evaluationsOfRedraw();
    }
}

TEST_P(PreviewRedraw, ARefusedCacheChangesNoPixel) {
    scene.evaluationsOfRedraw();
    const std::vector<uint8_t> cached = scene.preview();
    // Every cache refused, then only the positions, then no specular sums.
    for (long allowed : {0L, 1L, 2L}) {
        scene.state->preview.releaseCaches();
        std::fill_n(scene.state->preview.resultImage.pixels, scene.resultImage().size(), 0);
        AllocationLimit limit(allowed);
        EXPECT_EQ(scene.evaluationsOfRedraw(), scene.fullEvaluation()) << allowed;
        EXPECT_EQ(scene.preview(), cached) << allowed;
        // Without both sums cached every redraw evaluates the lights again.
        EXPECT_EQ(scene.evaluationsOfRedraw(), scene.fullEvaluation()) << allowed;
        EXPECT_EQ(scene.preview(), cached) << allowed;
    }
}

TEST_P(PreviewRedraw, TheHostRecordIsLeftAsItWas) {
    scene.host.inputRect = Rect16{1, 2, 3, 4};
    const std::vector<uint8_t> before(reinterpret_cast<const uint8_t*>(&scene.host),
                                      reinterpret_cast<const uint8_t*>(&scene.host + 1));
    scene.evaluationsOfRedraw();
    const std::vector<uint8_t> after(reinterpret_cast<const uint8_t*>(&scene.host),
                                     reinterpret_cast<const uint8_t*>(&scene.host + 1));
    EXPECT_EQ(after, before);
}

INSTANTIATE_TEST_SUITE_P(Preview, PreviewRedraw, testing::Bool(), texturedName);

TEST(PreviewRender, SwitchingReliefOnOrOffMakesNewCaches) {
    PreviewScene scene(40, 30);
    PluginState& state = *scene.state;
    const size_t pixels = size_t(scene.width()) * size_t(scene.height());
    scene.evaluationsOfRedraw();
    EXPECT_EQ(state.preview.summedCacheSamples, pixels);
    for (uint16_t channel : {1, 0}) {
        setTextureChannel(state.settings, state.preview, channel);
        for (const CacheSlot& slot : state.preview.summedCaches)
            EXPECT_TRUE(slotEmpty(slot)) << channel;
        EXPECT_EQ(scene.evaluationsOfRedraw(), scene.fullEvaluation()) << channel;
        EXPECT_EQ(state.preview.summedCacheSamples, channel ? 4 * pixels : pixels);
        const std::vector<uint8_t> redrawn = scene.preview();
        EXPECT_EQ(redrawn, scene.previewFromScratch()) << channel;
    }
}

TEST(PreviewRender, AnotherTextureChannelRecomputesEverything) {
    PreviewScene scene(40, 30);
    PluginState& state = *scene.state;
    setTextureChannel(state.settings, state.preview, 1);
    scene.evaluationsOfRedraw();
    void* positions = state.preview.summedCaches[CachePositions].buffer.get();
    scene.scribbleOverPositions();
    setTextureChannel(state.settings, state.preview, 2);
    EXPECT_EQ(state.preview.summedCaches[CachePositions].buffer.get(), positions)
        << "the buffers stay";
    EXPECT_EQ(scene.evaluationsOfRedraw(), scene.fullEvaluation());
    const std::vector<uint8_t> redrawn = scene.preview();
    EXPECT_EQ(redrawn, scene.previewFromScratch());
}

TEST(PreviewRender, TheReliefIsScaledDownToThePreviewStep) {
    // A 160 x 120 image in a 40 x 40 placeholder is sampled every 4 pixels.
    PreviewScene scene(160, 120, LayoutMeasure{40, 40, 60, 60});
    PluginState& state = *scene.state;
    ASSERT_EQ(state.preview.step, 4);
    setTextureChannel(state.settings, state.preview, 1);
    scene.evaluationsOfRedraw();
    EXPECT_EQ(state.preview.heightMap.scale, 32); // 256 / (2 x 4)
    setWhiteIsHigh(state.settings, state.preview, false);
    scene.evaluationsOfRedraw();
    EXPECT_EQ(state.preview.heightMap.scale, -32);
    // The map covers the preview with one element around it.
    EXPECT_EQ(state.preview.heightMap.width, uint32_t(scene.width() + 2));
}

TEST(PreviewRender, ReliefHeightsWithoutMemoryFailTheRedraw) {
    PreviewScene scene(40, 30);
    PluginState& state = *scene.state;
    setTextureChannel(state.settings, state.preview, 1);
    checkedFree(state.preview.heightMap.map);
    state.preview.heightMap.capacity = 0;
    const std::vector<uint8_t> before = scene.resultImage();
    {
        AllocationLimit limit(0);
        EXPECT_EQ(renderPreview(state), -108);
    }
    EXPECT_EQ(scene.resultImage(), before);
    EXPECT_EQ(renderPreview(state), 0);
    EXPECT_NE(scene.resultImage(), before);

    // Without relief the redraw needs no heights.
    setTextureChannel(state.settings, state.preview, 0);
    AllocationLimit limit(0);
    EXPECT_EQ(renderPreview(state), 0);
}

TEST(PreviewRender, WithThePreviewOffTheSourceIsShownUnlit) {
    PreviewScene scene(40, 30);
    std::vector<uint8_t> expected = scene.resultImage();
    const ImageRecord& result = scene.state->preview.resultImage;
    const std::vector<uint8_t> source = scene.sourcePixels();
    for (int y = 0; y < scene.height(); ++y)
        std::copy_n(source.begin() + 3 * scene.width() * y, 3 * scene.width(),
                    expected.begin() + ptrdiff_t(result.rowBytes) * (scene.state->preview.top + y) +
                        3 * scene.state->preview.left);
    scene.evaluationsOfRedraw();
    copyUnlitPreview(*scene.state);
    EXPECT_EQ(scene.resultImage(), expected);
}

TEST(PreviewRender, AtStepOneThePreviewIsTheFinalRenderWithoutSpots) {
    // 100 x 70 pixels: the final render's 64-pixel tiles cut it four ways.
    PreviewScene scene(100, 70);
    PluginState& state = *scene.state;
    ASSERT_EQ(state.preview.step, 1);
    // Spots differ by the length of their falloff tables; the other lights not.
    state.settings.lights[0].type = Omni;
    state.preview.lightChanged(0);
    scene.evaluationsOfRedraw();
    const std::vector<uint8_t> preview = scene.preview();

    // As after the dialog: caches released, block filled with the long tables,
    // the image lit tile by tile.
    state.preview.releaseCaches();
    auto block = std::make_unique<ParameterBlock>();
    fillParameterBlock(state.settings, state.preview.width, *block, BlockVariant::Dialog, 0);
    const ImageRecord& source = state.preview.sourceImage;
    std::vector<uint8_t> output(size_t(source.rowBytes) * scene.height());
    const Rect16 area{0, 0, int16_t(scene.height()), int16_t(scene.width())};
    for (int16_t top = 0; top < scene.height(); top += 64)
        for (int16_t left = 0; left < scene.width(); left += 64) {
            const Rect16 tile{top, left, int16_t(std::min(top + 64, scene.height())),
                              int16_t(std::min(left + 64, scene.width()))};
            const ptrdiff_t at = ptrdiff_t(source.rowBytes) * top + 3 * left;
            renderUntextured(Band{area, tile, source.pixels + at, source.rowBytes, output.data() + at,
                            source.rowBytes},
                       state, *block);
        }
    std::vector<uint8_t> finalRender;
    for (int y = 0; y < scene.height(); ++y)
        finalRender.insert(finalRender.end(), output.begin() + ptrdiff_t(source.rowBytes) * y,
                           output.begin() + ptrdiff_t(source.rowBytes) * y + 3 * scene.width());
    EXPECT_EQ(finalRender, preview);
}

TEST(PreviewRender, TheTexturedPreviewIsTheThreadedReliefRender) {
    PreviewScene scene(40, 30);
    PluginState& state = *scene.state;
    setTextureChannel(state.settings, state.preview, 1);
    // The threaded relief render over the preview's source and heights.
    auto threadedRender = [&] {
        const ImageRecord& source = state.preview.sourceImage;
        std::vector<uint8_t> output(size_t(source.rowBytes) * scene.height());
        const Rect16 whole{0, 0, int16_t(scene.height()), int16_t(scene.width())};
        const Band band{whole,           whole,         source.pixels,
                        source.rowBytes, output.data(), source.rowBytes};
        renderBandWithRelief(band, state, scene.block(), state.preview.heightMap);
        std::vector<uint8_t> pixels;
        for (int y = 0; y < scene.height(); ++y)
            pixels.insert(pixels.end(), output.begin() + ptrdiff_t(source.rowBytes) * y,
                          output.begin() + ptrdiff_t(source.rowBytes) * y + 3 * scene.width());
        return pixels;
    };
    // Filling the caches, drawing on them, and after a light change.
    scene.evaluationsOfRedraw();
    EXPECT_EQ(scene.preview(), threadedRender());
    state.settings.gloss = 10;
    scene.evaluationsOfRedraw();
    EXPECT_EQ(scene.preview(), threadedRender());
    state.settings.lights[2].vector0 = {-40, 10};
    state.preview.lightChanged(2);
    scene.evaluationsOfRedraw();
    EXPECT_EQ(scene.preview(), threadedRender());
}

TEST(PreviewRender, AnEmptyReliefInputLightsNothingAndLeavesTheCachesInvalid) {
    PreviewScene scene(40, 30);
    PluginState& state = *scene.state;
    ensurePreviewCaches(state, scene.width(), scene.height(), true);
    const Band view{Rect16{0, 0, int16_t(scene.height()), int16_t(scene.width())},
                    Rect16{0, 0, 0, int16_t(scene.width())},
                    state.preview.sourceImage.pixels,
                    0,
                    state.preview.resultImage.pixels,
                    0};
    const std::vector<uint8_t> before = scene.resultImage();
    renderPreviewWithRelief(view, state.preview.heightMap, state, scene.block());
    EXPECT_EQ(scene.resultImage(), before);
    for (const CacheSlot& slot : state.preview.summedCaches)
        EXPECT_FALSE(slot.valid);
}

TEST(PreviewRender, OnePixelIsLitWithTheAmbientLightAlone) {
    for (uint16_t channel : {0, 1}) {
        PreviewScene tiny(1, 1);
        PluginState& state = *tiny.state;
        setTextureChannel(state.settings, state.preview, channel);
        ASSERT_EQ(tiny.width(), 1);
        ASSERT_EQ(tiny.height(), 1);
        for (int i = 0; i < state.settings.lightCount; ++i) {
            state.settings.lights[i].enabled = false;
            state.preview.lightChanged(i);
        }
        state.settings.ambience = 64;
        state.settings.exposure = 160;
        const std::vector<uint8_t> before = tiny.resultImage();
        EXPECT_EQ(tiny.evaluationsOfRedraw(), 0u);
        // Every facet of the pixel gets the same ambient light, so their
        // average is one facet's value: ((A x c) >> 8) x exposure >> 15.
        const std::vector<uint8_t> source = tiny.sourcePixels();
        const std::vector<uint8_t> lit = tiny.preview();
        for (int c = 0; c < 3; ++c) {
            const int32_t ambient =
                int32_t(state.settings.ambientColor[c]) * state.settings.ambience / 64;
            const int32_t v = (((ambient * source[c]) >> 8) * state.settings.exposure) >> 15;
            EXPECT_EQ(lit[c], std::clamp(v, 0, 255)) << channel << " " << c;
        }
        // Nothing else of the work area changes.
        std::vector<uint8_t> after = tiny.resultImage();
        const size_t at =
            size_t(state.preview.resultImage.rowBytes) * state.preview.top + 3 * state.preview.left;
        std::copy_n(before.begin() + at, 3, after.begin() + at);
        EXPECT_EQ(after, before) << channel;
    }
}

TEST(PreviewRender, APreviewWiderThan1024PixelsIsNotLit) {
    constexpr LayoutMeasure kWideDialog{1100, 10, 1120, 20};
    for (uint16_t channel : {0, 1})
        for (int width : {1024, 1025}) {
            PreviewScene wide(width, 3, kWideDialog);
            setTextureChannel(wide.state->settings, wide.state->preview, channel);
            ASSERT_EQ(wide.width(), width);
            const std::vector<uint8_t> before = wide.resultImage();
            EXPECT_EQ(renderPreview(*wide.state), 0);
            if (width == 1024)
                EXPECT_NE(wide.resultImage(), before) << channel;
            else
                EXPECT_EQ(wide.resultImage(), before) << channel;
        }
}
