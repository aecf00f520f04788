// The dialog's preview: its caches, what a redraw evaluates again after each
// kind of change, the pictures it gives against the final render's, and its
// edge cases (one pixel, too wide, no memory, preview switched off).
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "lighting/shade_batch.h"
#include "shell/checked_alloc.h"
#include "shell/filter_run.h"
#include "shell/parameter_block.h"
#include "protocol/plugin_api.h"
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
        state->host = &host;
        PIThreadsSetCount(threadCount);
        EXPECT_EQ(initThreads(*state), 0);
        EXPECT_EQ(LayoutPreview(dialog, host, *state), 0);
        fillImage(state->sourceImage, 11);
        fillImage(state->textureImage, 12);
        state->resetToDefaultStyle(); // a yellow spot at the frame centre
        const PointU16 centre = state->frameCenter;
        state->addLightAt(int16_t(centre.x + 10), int16_t(centre.y - 5));
        state->lights[1].type = Omni;
        state->lights[1].invalidate();
        state->addLightAt(int16_t(centre.x), int16_t(centre.y));
        state->lights[2].type = Directional;
        state->lights[2].vector0 = {20, -30};
        state->lights[2].invalidate();
        state->gloss = 200;
        state->material = 100;
    }

    ~PreviewScene() {
        endThreads(*state);
        PIThreadsSetCount(0);
        releaseRunBuffers(*state);
        state.reset();
        HostDisposeHandle(host.handleTable, host.parameterHandle);
    }

    int width() const { return state->previewImageWidth; }
    int height() const { return state->previewImageHeight; }
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
        for (int i = 0; i < state->lightCount; ++i)
            enabled += state->lights[i].enabled == 1 ? 1 : 0;
        return uint32_t(height()) * enabled;
    }

    // The w x h pixels at the preview's place in the result image.
    std::vector<uint8_t> preview() const {
        const ImageRecord& result = state->resultImage;
        std::vector<uint8_t> pixels;
        for (int y = 0; y < height(); ++y) {
            const uint8_t* row = result.pixels +
                                 ptrdiff_t(result.rowBytes) * (state->previewTop + y) +
                                 3 * state->previewLeft;
            pixels.insert(pixels.end(), row, row + 3 * width());
        }
        return pixels;
    }
    std::vector<uint8_t> resultImage() const {
        const ImageRecord& result = state->resultImage;
        return {result.pixels, result.pixels + ptrdiff_t(result.rowBytes) * result.height()};
    }
    std::vector<uint8_t> sourcePixels() const {
        const ImageRecord& source = state->sourceImage;
        std::vector<uint8_t> pixels;
        for (int y = 0; y < height(); ++y) {
            const uint8_t* row = source.pixels + ptrdiff_t(source.rowBytes) * y;
            pixels.insert(pixels.end(), row, row + 3 * width());
        }
        return pixels;
    }

    // The preview lit with no cache to draw on.
    std::vector<uint8_t> previewFromScratch() {
        state->releaseAll();
        EXPECT_EQ(renderPreview(*state), 0);
        return preview();
    }

    // Moves every cached position by a quarter of the half frame, so that a
    // render that reads them lights the wrong places.
    void scribbleOverPositions() {
        auto* positions = static_cast<float*>(state->summedCaches[CachePositions].buffer);
        ASSERT_NE(positions, nullptr);
        for (size_t i = 0; i < 2 * state->summedCacheSamples; ++i)
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
    return slot.buffer == nullptr && slot.valid == 0;
}

// The preview with and without a texture channel.
class PreviewRedraw : public testing::TestWithParam<bool> {
  protected:
    PreviewRedraw() { scene.state->setTextureChannel(GetParam() ? 1 : 0); }
    PreviewScene scene{40, 30};
};

std::string texturedName(const testing::TestParamInfo<bool>& info) {
    return info.param ? "WithRelief" : "WithoutRelief";
}
} // namespace

TEST(PreviewCaches, AllocatesTheThreeUsedSlotsForEverySample) {
    PluginState state;
    ensurePreviewCaches(state, 5, 3, false);
    EXPECT_EQ(state.summedCacheSamples, 15u);
    for (int slot = CachePositions; slot <= CacheSpecular; ++slot) {
        EXPECT_NE(state.summedCaches[slot].buffer, nullptr) << slot;
        EXPECT_EQ(state.summedCaches[slot].valid, 0u) << slot;
    }
    for (int slot = CacheNormals; slot < kSummedCacheCount; ++slot)
        EXPECT_TRUE(slotEmpty(state.summedCaches[slot])) << slot;

    // Present buffers stay, with what they hold.
    void* positions = state.summedCaches[CachePositions].buffer;
    state.summedCaches[CachePositions].valid = 1;
    ensurePreviewCaches(state, 5, 3, false);
    EXPECT_EQ(state.summedCaches[CachePositions].buffer, positions);
    EXPECT_EQ(state.summedCaches[CachePositions].valid, 1u);

    // With relief a pixel has up to four facets; buffers made for another
    // number of samples are replaced and start invalid.
    ensurePreviewCaches(state, 5, 3, true);
    EXPECT_EQ(state.summedCacheSamples, 60u);
    EXPECT_NE(state.summedCaches[CachePositions].buffer, nullptr);
    EXPECT_EQ(state.summedCaches[CachePositions].valid, 0u);

    ensurePreviewCaches(state, 0, 3, false);
    for (const CacheSlot& slot : state.summedCaches)
        EXPECT_TRUE(slotEmpty(slot));
}

TEST(PreviewCaches, ARefusedAllocationLeavesItsSlotEmpty) {
    PluginState state;
    {
        AllocationLimit limit(1);
        ensurePreviewCaches(state, 4, 4, false);
    }
    EXPECT_NE(state.summedCaches[CachePositions].buffer, nullptr);
    EXPECT_TRUE(slotEmpty(state.summedCaches[CacheDiffuse]));
    EXPECT_TRUE(slotEmpty(state.summedCaches[CacheSpecular]));

    // The next redraw fills the gaps and keeps what is there.
    void* positions = state.summedCaches[CachePositions].buffer;
    ensurePreviewCaches(state, 4, 4, false);
    EXPECT_EQ(state.summedCaches[CachePositions].buffer, positions);
    EXPECT_NE(state.summedCaches[CacheDiffuse].buffer, nullptr);
    EXPECT_NE(state.summedCaches[CacheSpecular].buffer, nullptr);
}

TEST_P(PreviewRedraw, TwoRedrawsWithoutChangeGiveTheSamePixelsTheSecondEvaluatingNoLight) {
    EXPECT_EQ(scene.evaluationsOfRedraw(), scene.fullEvaluation());
    const std::vector<uint8_t> first = scene.preview();
    EXPECT_NE(first, scene.sourcePixels());
    EXPECT_EQ(scene.evaluationsOfRedraw(), 0u);
    EXPECT_EQ(scene.preview(), first);
    for (int slot = CachePositions; slot <= CacheSpecular; ++slot)
        EXPECT_EQ(scene.state->summedCaches[slot].valid, 1u) << slot;
}

TEST_P(PreviewRedraw, AMaterialChangeEvaluatesNoLight) {
    PluginState& state = *scene.state;
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"gloss", [&] { state.gloss = 30; }},
        {"material", [&] { state.material = 256; }},
        {"exposure", [&] { state.exposure = 180; }},
        {"ambience", [&] { state.ambience = -40; }},
        {"ambient colour", [&] { state.ambientColor[1] = 1000; }},
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
        change(state.lights[i]);
        state.lights[i].invalidate();
    };
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"moved", [&] { changeLight(0, [](LightSource& l) { l.position.x += 9; }); }},
        {"recoloured", [&] { changeLight(1, [](LightSource& l) { l.color[2] = 0; }); }},
        {"switched off", [&] { changeLight(2, [](LightSource& l) { l.enabled = 0; }); }},
        {"added", [&] { state.addLightAt(150, 120); }},
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
    scene.state->lights[0].position.y -= 7;
    scene.state->lights[0].invalidate();
    scene.evaluationsOfRedraw();
    const std::vector<uint8_t> fromCachedPositions = scene.preview();
    EXPECT_NE(fromCachedPositions, scene.previewFromScratch());
}

TEST_P(PreviewRedraw, AReliefSettingChangeRecomputesEverything) {
    PluginState& state = *scene.state;
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"relief amount", [&] { state.setReliefAmount(40); }},
        {"white is high", [&] { state.setWhiteIsHigh(0); }},
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
        scene.state->releaseAll();
        std::fill_n(scene.state->resultImage.pixels, scene.resultImage().size(), 0);
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
    EXPECT_EQ(state.summedCacheSamples, pixels);
    for (uint16_t channel : {1, 0}) {
        state.setTextureChannel(channel);
        for (const CacheSlot& slot : state.summedCaches)
            EXPECT_TRUE(slotEmpty(slot)) << channel;
        EXPECT_EQ(scene.evaluationsOfRedraw(), scene.fullEvaluation()) << channel;
        EXPECT_EQ(state.summedCacheSamples, channel ? 4 * pixels : pixels);
        const std::vector<uint8_t> redrawn = scene.preview();
        EXPECT_EQ(redrawn, scene.previewFromScratch()) << channel;
    }
}

TEST(PreviewRender, AnotherTextureChannelRecomputesEverything) {
    PreviewScene scene(40, 30);
    PluginState& state = *scene.state;
    state.setTextureChannel(1);
    scene.evaluationsOfRedraw();
    void* positions = state.summedCaches[CachePositions].buffer;
    scene.scribbleOverPositions();
    state.setTextureChannel(2);
    EXPECT_EQ(state.summedCaches[CachePositions].buffer, positions) << "the buffers stay";
    EXPECT_EQ(scene.evaluationsOfRedraw(), scene.fullEvaluation());
    const std::vector<uint8_t> redrawn = scene.preview();
    EXPECT_EQ(redrawn, scene.previewFromScratch());
}

TEST(PreviewRender, TheReliefIsScaledDownToThePreviewStep) {
    // A 160 x 120 image in a 40 x 40 placeholder is sampled every 4 pixels.
    PreviewScene scene(160, 120, LayoutMeasure{40, 40, 60, 60});
    PluginState& state = *scene.state;
    ASSERT_EQ(state.previewStep, 4);
    state.setTextureChannel(1);
    scene.evaluationsOfRedraw();
    EXPECT_EQ(state.heightMap.scale, 32); // 256 / (2 x 4)
    state.setWhiteIsHigh(0);
    scene.evaluationsOfRedraw();
    EXPECT_EQ(state.heightMap.scale, -32);
    // The map covers the preview with one element around it.
    EXPECT_EQ(state.heightMap.width, uint32_t(scene.width() + 2));
}

TEST(PreviewRender, ReliefHeightsWithoutMemoryFailTheRedraw) {
    PreviewScene scene(40, 30);
    PluginState& state = *scene.state;
    state.setTextureChannel(1);
    checkedFree(state.heightMap.map);
    state.heightMap.capacity = 0;
    const std::vector<uint8_t> before = scene.resultImage();
    {
        AllocationLimit limit(0);
        EXPECT_EQ(renderPreview(state), -108);
    }
    EXPECT_EQ(scene.resultImage(), before);
    EXPECT_EQ(renderPreview(state), 0);
    EXPECT_NE(scene.resultImage(), before);

    // Without relief the redraw needs no heights.
    state.setTextureChannel(0);
    AllocationLimit limit(0);
    EXPECT_EQ(renderPreview(state), 0);
}

TEST(PreviewRender, WithThePreviewOffTheSourceIsShownUnlit) {
    PreviewScene scene(40, 30);
    std::vector<uint8_t> expected = scene.resultImage();
    const ImageRecord& result = scene.state->resultImage;
    const std::vector<uint8_t> source = scene.sourcePixels();
    for (int y = 0; y < scene.height(); ++y)
        std::copy_n(source.begin() + 3 * scene.width() * y, 3 * scene.width(),
                    expected.begin() + ptrdiff_t(result.rowBytes) * (scene.state->previewTop + y) +
                        3 * scene.state->previewLeft);
    scene.evaluationsOfRedraw();
    copyUnlitPreview(*scene.state);
    EXPECT_EQ(scene.resultImage(), expected);
}

TEST(PreviewRender, AtStepOneThePreviewIsTheFinalRenderWithoutSpots) {
    // 100 x 70 pixels: the final render's 64-pixel tiles cut it four ways.
    PreviewScene scene(100, 70);
    PluginState& state = *scene.state;
    ASSERT_EQ(state.previewStep, 1);
    // Spots differ by the length of their falloff tables; the other lights not.
    state.lights[0].type = Omni;
    state.lights[0].invalidate();
    scene.evaluationsOfRedraw();
    const std::vector<uint8_t> preview = scene.preview();

    // As after the dialog: caches released, block filled with the long tables,
    // the image lit tile by tile.
    state.releaseAll();
    auto block = std::make_unique<ParameterBlock>();
    fillParameterBlock(state, *block, BlockVariant::Dialog, 0);
    const ImageRecord& source = state.sourceImage;
    std::vector<uint8_t> output(size_t(source.rowBytes) * scene.height());
    HostRecord host = scene.host;
    for (int16_t top = 0; top < scene.height(); top += 64)
        for (int16_t left = 0; left < scene.width(); left += 64) {
            host.inputRect = Rect16{top, left, int16_t(std::min(top + 64, scene.height())),
                                    int16_t(std::min(left + 64, scene.width()))};
            const ptrdiff_t at = ptrdiff_t(source.rowBytes) * top + 3 * left;
            host.inputData = source.pixels + at;
            host.inputRowBytes = source.rowBytes;
            host.outputData = output.data() + at;
            host.outputRowBytes = source.rowBytes;
            renderFlat(host, state, *block);
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
    state.setTextureChannel(1);
    // The threaded relief render over the preview's source and heights.
    auto threadedRender = [&] {
        const ImageRecord& source = state.sourceImage;
        std::vector<uint8_t> output(size_t(source.rowBytes) * scene.height());
        HostRecord band = scene.host;
        band.areaRect = Rect16{0, 0, int16_t(scene.height()), int16_t(scene.width())};
        band.inputRect = band.areaRect;
        band.inputData = source.pixels;
        band.inputRowBytes = source.rowBytes;
        band.outputData = output.data();
        band.outputRowBytes = source.rowBytes;
        renderBandWithRelief(band, state);
        std::vector<uint8_t> pixels;
        for (int y = 0; y < scene.height(); ++y)
            pixels.insert(pixels.end(), output.begin() + ptrdiff_t(source.rowBytes) * y,
                          output.begin() + ptrdiff_t(source.rowBytes) * y + 3 * scene.width());
        return pixels;
    };
    // Filling the caches, drawing on them, and after a light change.
    scene.evaluationsOfRedraw();
    EXPECT_EQ(scene.preview(), threadedRender());
    state.gloss = 10;
    scene.evaluationsOfRedraw();
    EXPECT_EQ(scene.preview(), threadedRender());
    state.lights[2].vector0 = {-40, 10};
    state.lights[2].invalidate();
    scene.evaluationsOfRedraw();
    EXPECT_EQ(scene.preview(), threadedRender());
}

TEST(PreviewRender, AnEmptyReliefInputLightsNothingAndLeavesTheCachesInvalid) {
    PreviewScene scene(40, 30);
    PluginState& state = *scene.state;
    ensurePreviewCaches(state, scene.width(), scene.height(), true);
    HostRecord view = scene.host;
    view.areaRect = Rect16{0, 0, int16_t(scene.height()), int16_t(scene.width())};
    view.inputRect = Rect16{0, 0, 0, int16_t(scene.width())};
    view.inputData = state.sourceImage.pixels;
    view.outputData = state.resultImage.pixels;
    const std::vector<uint8_t> before = scene.resultImage();
    renderPreviewWithRelief(view, state.heightMap, state, scene.block());
    EXPECT_EQ(scene.resultImage(), before);
    for (const CacheSlot& slot : state.summedCaches)
        EXPECT_EQ(slot.valid, 0u);
}

TEST(PreviewRender, OnePixelIsLitWithTheAmbientLightAlone) {
    for (uint16_t channel : {0, 1}) {
        PreviewScene tiny(1, 1);
        PluginState& state = *tiny.state;
        state.setTextureChannel(channel);
        ASSERT_EQ(tiny.width(), 1);
        ASSERT_EQ(tiny.height(), 1);
        for (int i = 0; i < state.lightCount; ++i) {
            state.lights[i].enabled = 0;
            state.lights[i].invalidate();
        }
        state.ambience = 64;
        state.exposure = 160;
        const std::vector<uint8_t> before = tiny.resultImage();
        EXPECT_EQ(tiny.evaluationsOfRedraw(), 0u);
        // Every facet of the pixel gets the same ambient light, so their
        // average is one facet's value: ((A x c) >> 8) x exposure >> 15.
        const std::vector<uint8_t> source = tiny.sourcePixels();
        const std::vector<uint8_t> lit = tiny.preview();
        for (int c = 0; c < 3; ++c) {
            const int32_t ambient = int32_t(state.ambientColor[c]) * state.ambience / 64;
            const int32_t v = (((ambient * source[c]) >> 8) * state.exposure) >> 15;
            EXPECT_EQ(lit[c], std::clamp(v, 0, 255)) << channel << " " << c;
        }
        // Nothing else of the work area changes.
        std::vector<uint8_t> after = tiny.resultImage();
        const size_t at =
            size_t(state.resultImage.rowBytes) * state.previewTop + 3 * state.previewLeft;
        std::copy_n(before.begin() + at, 3, after.begin() + at);
        EXPECT_EQ(after, before) << channel;
    }
}

TEST(PreviewRender, APreviewWiderThan1024PixelsIsNotLit) {
    constexpr LayoutMeasure kWideDialog{1100, 10, 1120, 20};
    for (uint16_t channel : {0, 1})
        for (int width : {1024, 1025}) {
            PreviewScene wide(width, 3, kWideDialog);
            wide.state->setTextureChannel(channel);
            ASSERT_EQ(wide.width(), width);
            const std::vector<uint8_t> before = wide.resultImage();
            EXPECT_EQ(renderPreview(*wide.state), 0);
            if (width == 1024)
                EXPECT_NE(wide.resultImage(), before) << channel;
            else
                EXPECT_EQ(wide.resultImage(), before) << channel;
        }
}
