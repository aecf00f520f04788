// The preview's texture, gathered from the host while the dialog is open: it
// holds exactly what the whole channel, walked tile by tile at full
// resolution, would give, the textured preview is lit the same from it, and the
// run's own request survives the gathering.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "protocol/selectors.h"
#include "shell/filter_run.h"
#include "shell/render_preview.h"
#include "shell/tile_walk.h"
#include "tests/support/test_host.h"
#include "ui/preview.h"

namespace {
constexpr int kMargin = 3; // texture samples around the preview

// A run with the dialog, stopped where the dialog would open: the preview's
// colours are collected. The document gets a fourth channel, a relief of
// ridges, so that the gathered channels differ from the colours.
class CollectedPreview {
  public:
    CollectedPreview(int width, int height) : host(width, height) {
        Channel relief{"Relief", std::vector<uint8_t>(size_t(width) * size_t(height))};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                relief.samples[size_t(y) * size_t(width) + size_t(x)] =
                    uint8_t((x * 7 + y * 3) % 251 ^ (x * y) % 13);
        host.document.channels.push_back(relief);
        host.session.setDocument(&host.document);
        for (int16_t selector : {SelectorParameters, SelectorPrepare, SelectorStart})
            EXPECT_EQ(host.call(selector), 0);
        while (!state().run.previewImageReady && !::testing::Test::HasFailure()) {
            host.session.supplyRequested();
            EXPECT_EQ(host.call(SelectorContinue), 0);
        }
    }

    PluginState& state() { return *host.state(); }
    Preview& preview() { return state().preview; }

    void chooseTexture(uint16_t channel) {
        setTextureChannel(state().settings, preview(), channel);
        setReliefAmount(state().settings, preview(), 200);
    }

    std::vector<uint8_t> texture() {
        const ImageRecord& image = preview().textureImage;
        std::vector<uint8_t> samples;
        for (int y = 0; y < preview().height + 2 * kMargin; ++y) {
            const uint8_t* row = image.pixels + ptrdiff_t(image.rowBytes) * y;
            samples.insert(samples.end(), row, row + preview().width + 2 * kMargin);
        }
        return samples;
    }

    // The lit preview, redrawn from nothing.
    std::vector<uint8_t> litPreview() {
        preview().everythingChanged();
        EXPECT_EQ(renderPreview(state()), 0);
        const ImageRecord& result = preview().resultImage;
        std::vector<uint8_t> pixels;
        for (int y = 0; y < preview().height; ++y) {
            const uint8_t* row = result.pixels + ptrdiff_t(result.rowBytes) * (preview().top + y) +
                                 3 * preview().left;
            pixels.insert(pixels.end(), row, row + 3 * preview().width);
        }
        return pixels;
    }

    TestHost host;
};

// The texture as the dialog used to take it: the preview's tile walk with each
// tile widened by the margin, the whole channel copied by the host at full
// resolution, every step-th sample of every step-th row kept.
void gatherAtFullResolution(HostRecord& host, PluginState& state) {
    const int step = state.preview.step;
    const int tileSize = previewTileSize(step);
    ImageRecord& texture = state.preview.textureImage;
    Rect16 tile = firstTile(host.areaRect, tileSize);
    do {
        host.inputRect = grown(tile, kMargin * step);
        host.outputRect = Rect16{host.inputRect.top, host.inputRect.left, host.inputRect.top,
                                 host.inputRect.left};
        host.maskRect = tile;
        host.inputPlaneFirst = host.inputPlaneLast = int16_t(state.settings.textureChannel - 1);
        host.edgePadding = kEdgePaddingClampToImage;
        host.absolutePlanes = 1;
        ASSERT_EQ(host.fetchRequested(), 0);
        const int dy = host.inputRect.top - host.areaRect.top;
        const int dx = host.inputRect.left - host.areaRect.left;
        for (int r = 0; r < host.inputRect.height(); r += step)
            for (int c = 0; c < host.inputRect.width(); c += step)
                texture.pixels[ptrdiff_t(texture.rowBytes) * (kMargin + (dy + r) / step) + kMargin +
                               (dx + c) / step] =
                    host.inputData[ptrdiff_t(host.inputRowBytes) * r + c];
    } while (advanceTile(tile, host.areaRect, tileSize));
}

bool sameRect(const Rect16& a, const Rect16& b) {
    return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

int failingFetchesLeft = 0;
int16_t fetchFailingLater() {
    return failingFetchesLeft-- > 0 ? int16_t(0) : int16_t(-108);
}
} // namespace

// Images from one preview pixel per image pixel to every 67th, their texture
// from a colour channel and from the document's own relief channel.
TEST(PreviewTexture, TheGatheredRowsGiveTheSamePreviewAsTheWholeChannel) {
    std::set<int> steps;
    for (const auto& [width, height] :
         {std::pair{97, 61}, std::pair{400, 300}, std::pair{1001, 703}, std::pair{2500, 90},
          std::pair{130, 3000}, std::pair{10000, 300}})
        for (uint16_t channel : {2, 4}) {
            CollectedPreview run(width, height);
            ASSERT_FALSE(::testing::Test::HasFatalFailure());
            const int step = run.preview().step;
            steps.insert(step);
            SCOPED_TRACE(testing::Message() << width << " x " << height << ", step " << step
                                            << ", channel " << channel);
            run.chooseTexture(channel);
            HostRecord& record = run.host.record;
            ASSERT_EQ(gatherTexturePreview(record, run.state()), 0);
            const std::vector<uint8_t> gathered = run.texture();
            const std::vector<uint8_t> lit = run.litPreview();

            gatherAtFullResolution(record, run.state());
            EXPECT_EQ(run.texture(), gathered);
            EXPECT_EQ(run.litPreview(), lit);
        }
    EXPECT_GE(steps.size(), 5u) << "the sizes give different sampling steps";
}

TEST(PreviewTexture, TheRunsRequestIsLeftAsItWas) {
    CollectedPreview run(300, 200);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    HostRecord& record = run.host.record;
    const HostRecord before = record;
    run.chooseTexture(4);
    ASSERT_EQ(gatherTexturePreview(record, run.state()), 0);
    EXPECT_TRUE(sameRect(record.inputRect, before.inputRect));
    EXPECT_TRUE(sameRect(record.outputRect, before.outputRect));
    EXPECT_TRUE(sameRect(record.maskRect, before.maskRect));
    EXPECT_TRUE(sameRect(record.areaRect, before.areaRect));
    EXPECT_EQ(record.inputPlaneFirst, 0);
    EXPECT_EQ(record.inputPlaneLast, 2);
    EXPECT_EQ(record.absolutePlanes, 0);
    EXPECT_EQ(record.edgePadding, kEdgePaddingNone);
}

TEST(PreviewTexture, AHostErrorEndsTheGatheringWithItsCode) {
    CollectedPreview run(300, 200);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    run.chooseTexture(2);
    HostRecord& record = run.host.record;
    const FetchRequestedProc hostFetch = record.fetchRequested;
    record.fetchRequested = fetchFailingLater;
    failingFetchesLeft = 4;
    EXPECT_EQ(gatherTexturePreview(record, run.state()), -108);
    EXPECT_EQ(failingFetchesLeft, -1) << "no fetch after the failing one";
    record.fetchRequested = hostFetch;
}
