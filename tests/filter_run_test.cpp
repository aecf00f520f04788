// The filtering run's walks: render and preview tiles, progress steps, the
// texture channel's limit, and the division of a band among worker threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "lighting/height_map.h"
#include "lighting/parameter_block.h"
#include "platform/checked_alloc.h"
#include "protocol/plugin_api.h"
#include "shell/thread_block.h"
#include "shell/tile_walk.h"
#include "shell/worker_threads.h"
#include "tests/support/script_fixture.h"
#include "tests/support/test_host.h"
#ifndef _WIN32
#include "ui/native_layout.h"
#endif

namespace {
std::vector<std::pair<int32_t, int32_t>> progressReports;
void recordProgress(int32_t done, int32_t total) {
    progressReports.emplace_back(done, total);
}

struct ThreadCount {
    explicit ThreadCount(int16_t count) { PIThreadsSetCount(count); }
    ~ThreadCount() { PIThreadsSetCount(0); }
};

// Every tile of a walk over `area`.
std::vector<Rect16> tilesOf(const Rect16& area, int size) {
    std::vector<Rect16> tiles;
    Rect16 tile = firstTile(area, size);
    do
        tiles.push_back(tile);
    while (advanceTile(tile, area, size));
    EXPECT_TRUE(tile.isEmpty()) << "the walk ends on an empty rectangle";
    return tiles;
}

bool operator==(const Rect16& a, const Rect16& b) {
    return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}
} // namespace

TEST(TileWalk, WholeAndPartTilesWithOneSpareStepEachWay) {
    const Rect16 square{0, 0, 64, 64};
    EXPECT_EQ(tilesOf(square, 64).size(), 1u);
    EXPECT_EQ(renderTileCount(square), 4);

    const Rect16 strip{0, 0, 1, 65};
    const std::vector<Rect16> tiles = tilesOf(strip, 64);
    ASSERT_EQ(tiles.size(), 2u);
    EXPECT_TRUE((tiles[0] == Rect16{0, 0, 1, 64}));
    EXPECT_TRUE((tiles[1] == Rect16{0, 64, 1, 65}));
    EXPECT_EQ(renderTileCount(strip), 2);

    // Left to right, then top to bottom, from an area that does not start at 0.
    const std::vector<Rect16> offset = tilesOf(Rect16{10, 20, 140, 150}, 64);
    ASSERT_EQ(offset.size(), 9u);
    EXPECT_TRUE((offset[1] == Rect16{10, 84, 74, 148}));
    EXPECT_TRUE((offset[8] == Rect16{138, 148, 140, 150}));
}

TEST(FilterRun, ThePreviewWalkUsesWholeStepsOfTheSampling) {
    // 400 x 300 in the 150 x 234 placeholder: step 3, so tiles of 63 pixels.
    TestHost host(400, 300);
    ASSERT_EQ(host.call(SelectorParameters), 0);
    ASSERT_EQ(host.call(SelectorPrepare), 0);
    ASSERT_EQ(host.call(SelectorStart), 0);
    EXPECT_EQ(host.state()->preview.step, 3);
    EXPECT_EQ(host.record.inputRect.width(), 63);
    EXPECT_EQ(host.record.inputRect.height(), 63);
    EXPECT_EQ(host.record.outputRect.height(), 1) << "one output row keeps the host calling";
}

TEST(FilterRun, ATexturedRunReportsOneStepPerTilePlusOne) {
    TestHost host(130, 70); // 3 x 2 tiles
    host.record.reportProgress = recordProgress;
    progressReports.clear();
    ASSERT_TRUE(host.session.playScript(
        Descriptor{{channelByEnumItem("Grn "), booleanItem("WhHi", true), integerItem("BmpA", 50)}},
        false));
    ASSERT_EQ(host.runFilter(), 0);
    // A report of none done when the render begins, then one step per tile
    // and one more: the texture pass of the end of the walk counts too.
    ASSERT_EQ(progressReports.size(), 1u + 6u + 1u);
    for (size_t i = 0; i < progressReports.size(); ++i)
        EXPECT_EQ(progressReports[i].first, int32_t(i));
    for (const auto& [done, total] : progressReports)
        EXPECT_EQ(total, renderTileCount(Rect16{0, 0, 70, 130}));
}

TEST(FilterRun, ATextureChannelBeyondTheDocumentIsDroppedAtAStartWithoutDialog) {
    TestHost host(70, 40);
    ASSERT_TRUE(host.session.playScript(
        Descriptor{{channelByEnumItem("Bl  "), booleanItem("WhHi", true), integerItem("BmpA", 50)}},
        false));
    ASSERT_EQ(host.runFilter(), 0);
    ASSERT_EQ(host.block()->textureChannel, 3u);
    host.session.takeRecordedDescriptor(); // the next start plays no script

    // The block a previous operation left names a channel this document lacks.
    host.block()->textureChannel = 9;
    const std::vector<uint8_t> before = host.rgb();
    EXPECT_EQ(host.runFilter(), 0);
    EXPECT_EQ(host.block()->textureChannel, 0u);
    EXPECT_NE(host.rgb(), before) << "the image is still lit, without relief";
}

namespace {
// How often each row of a band was handed to a worker.
std::vector<std::atomic<int>> rowVisits(1100);

void countRows(void* raw) {
    const auto& thread = *static_cast<ThreadBlock*>(raw);
    for (int r = 0; r < thread.runRows; ++r)
        ++rowVisits[size_t(thread.runRect.top + r)];
}

// Runs `countRows` over a band of `rows` x `columns` on `threads` threads.
std::vector<int> visitsOfBand(int16_t threads, int rows, int columns) {
    ThreadCount count(threads);
    TestHost host(8, 8);
    EXPECT_EQ(host.call(SelectorPrepare), 0);
    PluginState& state = *host.state();
    EXPECT_EQ(initThreads(state), 0);
    std::vector<uint8_t> pixels(size_t(rows) * size_t(columns) * 3);
    const Rect16 whole{0, 0, int16_t(rows), int16_t(columns)};
    const Band band{whole, whole, pixels.data(), columns * 3, pixels.data(), columns * 3};
    ParameterBlock block{};
    block.imageWidth = 1.0f;
    for (auto& visits : rowVisits)
        visits = 0;
    runBandOnThreads(band, state, block, nullptr, countRows);
    endThreads(state);
    std::vector<int> visits;
    for (int r = 0; r < rows; ++r)
        visits.push_back(rowVisits[size_t(r)]);
    return visits;
}
} // namespace

TEST(Bands, EveryRowGoesToExactlyOneThread) {
    EXPECT_EQ(visitsOfBand(3, 64, 64), std::vector<int>(64, 1)) << "64 rows on 3 threads";
    EXPECT_EQ(visitsOfBand(2, 1, 64), std::vector<int>(1, 1)) << "fewer rows than threads";
    EXPECT_EQ(visitsOfBand(7, 1024, 16), std::vector<int>(1024, 1));
    EXPECT_EQ(visitsOfBand(2, 10, 1025), std::vector<int>(10, 0)) << "wider than 1024: untouched";
}

// The texture pass builds each tile's heights on the worker threads, each its
// share of the rows: the map is the one built whole, for any number of
// threads, rows or columns, and so the lit image is the same on any number.
TEST(Bands, HeightsBuiltOnThreadsAreTheHeightsBuiltWhole) {
    std::vector<uint8_t> samples(70 * 75);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = uint8_t(i * 2654435761u >> 24);
    for (int16_t threads : {1, 2, 3, 7}) {
        ThreadCount count(threads);
        TestHost host(8, 8);
        ASSERT_EQ(host.call(SelectorPrepare), 0);
        PluginState& state = *host.state();
        ASSERT_EQ(initThreads(state), 0);
        for (const auto& [width, height] : {std::pair{70, 70}, {9, 75}, {70, 4}, {5, 3}}) {
            HeightMapRecord whole{}, shared{};
            whole.scale = shared.scale = 300;
            ASSERT_EQ(buildHeightMap(samples.data(), 70, width, height, whole), 0);
            ASSERT_EQ(buildHeightMapOnThreads(samples.data(), 70, width, height, state, shared), 0);
            const size_t elements = size_t(whole.width) * size_t(std::max(height - 2, 0));
            EXPECT_EQ(shared.width, whole.width);
            EXPECT_TRUE(std::equal(whole.map, whole.map + elements, shared.map))
                << threads << " threads, " << width << " x " << height << " samples";
            checkedFree(whole.map);
            checkedFree(shared.map);
        }
        endThreads(state);
    }
}

TEST(FilterRun, AReliefRunLightsTheSameImageOnAnyNumberOfThreads) {
    std::vector<uint8_t> first;
    for (int16_t threads : {1, 2, 3, 7}) {
        ThreadCount count(threads);
        TestHost host(150, 97); // tiles of 64, 64 and 22 columns, 64 and 33 rows
        const DescriptorValue light =
            lightValue({enumeratedItem("LghT", "LghT", "LghO"), pointItem("Pstn", 30, 40)});
        ASSERT_TRUE(host.session.playScript(
            Descriptor{{channelByEnumItem("Grn "), booleanItem("WhHi", true),
                        integerItem("BmpA", 80), lightListItem({light})}},
            false));
        ASSERT_EQ(host.runFilter(), 0);
        ASSERT_EQ(host.block()->lightCount, 1u);
        if (first.empty())
            first = host.rgb();
        EXPECT_EQ(host.rgb(), first) << threads << " threads";
    }
}

#ifndef _WIN32
namespace {
// Checks that every preview pixel of `image` (with `border` samples around it)
// holds the document's samples of `channels` at the matching image pixel.
void expectSampledFrom(const ImageRecord& image, int border, const Preview& preview,
                       const Document& document, std::initializer_list<int> channels) {
    const int bytesPerPixel = int(channels.size());
    int mismatches = 0;
    for (int r = 0; r < preview.height; ++r)
        for (int c = 0; c < preview.width; ++c) {
            const uint8_t* pixel = image.pixels + ptrdiff_t(image.rowBytes) * (border + r) +
                                   ptrdiff_t(border + c) * bytesPerPixel;
            int k = 0;
            for (int channel : channels)
                mismatches +=
                    pixel[k++] != document.sample(channel, c * preview.step, r * preview.step);
        }
    EXPECT_EQ(mismatches, 0);
}

// How many 64 x 64 tiles of the image the run left exactly as they were.
int untouchedTiles(const std::vector<uint8_t>& before, const std::vector<uint8_t>& after, int width,
                   int height) {
    int untouched = 0;
    for (int top = 0; top < height; top += 64)
        for (int left = 0; left < width; left += 64) {
            bool changed = false;
            for (int y = top; y < std::min(top + 64, height) && !changed; ++y)
                for (int x = left; x < std::min(left + 64, width) && !changed; ++x)
                    for (size_t k = 0; k < 3; ++k)
                        changed |= before[(size_t(y) * size_t(width) + size_t(x)) * 3 + k] !=
                                   after[(size_t(y) * size_t(width) + size_t(x)) * 3 + k];
            untouched += !changed;
        }
    return untouched;
}
} // namespace

// A wide panorama and a tall strip sample the image more coarsely than every
// 64th pixel: the preview is still collected whole (its texture too), and the
// render after the dialog lights every tile.
TEST(FilterRun, ImagesSampledBeyondStep64AreCollectedAndLitWithTheDialog) {
    for (const auto& [width, height] : {std::pair{10000, 300}, std::pair{200, 16000}})
        for (bool relief : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << width << " x " << height << (relief ? " relief" : ""));
            TestHost host(width, height);
            if (relief) {
                ASSERT_TRUE(host.session.playScript(
                    Descriptor{{channelByEnumItem("Grn "), integerItem("BmpA", 50)}}, true));
            }
            const std::vector<uint8_t> before = host.rgb();
            bool shown = false;
            setMainDialogStandIn([&](DialogSession& session) {
                shown = true;
                const Preview& preview = session.preview;
                EXPECT_GT(preview.step, 64);
                expectSampledFrom(preview.sourceImage, 0, preview, host.document, {0, 1, 2});
                if (relief) {
                    EXPECT_EQ(session.gatherTexturePreview(), 0);
                    expectSampledFrom(preview.textureImage, 3, preview, host.document, {1});
                }
                return int16_t(0);
            });
            EXPECT_EQ(host.session.runFilter(true), 0);
            setMainDialogStandIn({});
            EXPECT_TRUE(shown);
            EXPECT_EQ(untouchedTiles(before, host.rgb(), width, height), 0);
        }
}
#endif
