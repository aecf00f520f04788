// Relief heights from the texture channel: the smoothing kernel and its scale,
// the bounds of the supplied rectangle, and the growing buffer.
#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "lighting/height_map.h"
#include "platform/checked_alloc.h"
#include "shell/plugin_state.h"
#include "tests/support/lighting_scene.h"

namespace {
// A height-map record that frees its buffer.
struct OwnedMap : HeightMapRecord {
    explicit OwnedMap(int32_t scaleValue) { scale = scaleValue; }
    ~OwnedMap() { checkedFree(map); }
    int32_t at(int i, int j) const { return map[i * int(width) + j]; }
};
} // namespace

TEST(Relief, UniformChannelGivesTheScaledPlateau) {
    const std::vector<uint8_t> white(70 * 70, 255);
    for (int32_t scale : {512, -512}) {
        OwnedMap map(scale);
        ASSERT_EQ(buildHeightMap(white.data(), 70, 70, 70, map), 0);
        EXPECT_EQ(map.width, 68u);
        EXPECT_EQ(map.rowBytes, 272u);
        for (int i = 0; i < 68; ++i)
            for (int j = 0; j < 68; ++j)
                ASSERT_EQ(map.at(i, j), scale > 0 ? 138240 : -138240);
    }
    const std::vector<uint8_t> noise = randomBytes(20 * 9, 2);
    OwnedMap level(0);
    ASSERT_EQ(buildHeightMap(noise.data(), 20, 20, 9, level), 0);
    for (int i = 0; i < 7 * 18; ++i)
        ASSERT_EQ(level.map[i], 0) << "zero relief is a level surface";
}

TEST(Relief, KernelWeighsTheThreeByThreeSamplesAroundTheElement) {
    // One bright sample at (5, 5): element (i, j) is centred on sample
    // (i + 2, j + 2), so the kernel's imprint lies around element (3, 3).
    std::vector<uint8_t> samples(10 * 10, 0);
    samples[5 * 10 + 5] = 1;
    OwnedMap map(68); // scale / 68 = 1
    ASSERT_EQ(buildHeightMap(samples.data(), 10, 10, 10, map), 0);
    EXPECT_EQ(map.at(3, 3), 32);
    EXPECT_EQ(map.at(2, 3), 8);
    EXPECT_EQ(map.at(3, 4), 8);
    EXPECT_EQ(map.at(2, 2), 2);
    EXPECT_EQ(map.at(4, 4), 2);
    EXPECT_EQ(map.at(1, 3), 0);
    // Division by 68 although the weights sum to 72, truncated toward zero.
    OwnedMap negative(-1);
    ASSERT_EQ(buildHeightMap(samples.data(), 10, 10, 10, negative), 0);
    EXPECT_EQ(negative.at(3, 3), 0); // -32 / 68
}

TEST(Relief, WhiteLowIsTheMirrorImage) {
    const std::vector<uint8_t> noise = randomBytes(30 * 30, 7);
    OwnedMap high(256), low(-256);
    ASSERT_EQ(buildHeightMap(noise.data(), 30, 30, 30, high), 0);
    ASSERT_EQ(buildHeightMap(noise.data(), 30, 30, 30, low), 0);
    for (int i = 0; i < 28 * 28; ++i)
        ASSERT_EQ(high.map[i], -low.map[i]);
}

TEST(Relief, NeverReadsOutsideTheSuppliedRectangle) {
    // The last row and column take the nearest samples inside: with only the
    // bottom-right sample set, the last element sees it in four of its places.
    std::vector<uint8_t> samples(3 * 4, 0);
    samples[2 * 4 + 3] = 1; // row 2, column 3; the rectangle is 4 wide, 3 high
    OwnedMap map(68);
    ASSERT_EQ(buildHeightMap(samples.data(), 4, 4, 3, map), 0);
    EXPECT_EQ(map.at(0, 1), 32 + 8 + 8 + 2);
    EXPECT_EQ(map.at(0, 0), 8 + 2);
    // A rectangle too small for any element gives an empty map.
    OwnedMap empty(68);
    EXPECT_EQ(buildHeightMap(samples.data(), 4, 2, 2, empty), 0);
    EXPECT_EQ(empty.width, 0u);
}

TEST(Relief, BufferGrowsExactlyAndIsReused) {
    OwnedMap map(100);
    map.capacity = kInitialHeightMapBytes;
    map.map = static_cast<int32_t*>(checkedAlloc(kInitialHeightMapBytes));
    const std::vector<uint8_t> samples(70 * 70, 9);
    int32_t* initial = map.map;
    ASSERT_EQ(buildHeightMap(samples.data(), 70, 68, 68, map), 0); // 66 x 66 fits
    EXPECT_EQ(map.map, initial);
    ASSERT_EQ(buildHeightMap(samples.data(), 70, 70, 70, map), 0); // a full tile
    EXPECT_EQ(map.capacity, 18496u);
    int32_t* grown = map.map;
    ASSERT_EQ(buildHeightMap(samples.data(), 70, 10, 40, map), 0);
    EXPECT_EQ(map.map, grown);
    EXPECT_EQ(map.capacity, 18496u);
}

TEST(Relief, RefusedBufferLeavesNoMap) {
    OwnedMap map(100);
    const std::vector<uint8_t> samples(70 * 70, 9);
    setCheckedAllocLimitForTesting(0);
    EXPECT_EQ(buildHeightMap(samples.data(), 70, 70, 70, map), 1);
    setCheckedAllocLimitForTesting(-1);
    EXPECT_EQ(map.map, nullptr);
    EXPECT_EQ(map.capacity, 0u);
    EXPECT_EQ(buildHeightMap(samples.data(), 70, 70, 70, map), 0);
    EXPECT_NE(map.map, nullptr);
}

TEST(Relief, PreviewScaleFollowsTheSamplingStep) {
    EXPECT_EQ(previewHeightScale(256, 4), 32);
    EXPECT_EQ(previewHeightScale(-256, 4), -32);
    EXPECT_EQ(previewHeightScale(-257, 3), -42); // toward zero
    EXPECT_EQ(previewHeightScale(512, 1), 256);
}

TEST(Relief, HeightsOfAnyScaleStayWithinTheSlopeRange) {
    const std::vector<uint8_t> samples(8 * 8, 255);
    OwnedMap map(INT32_MAX);
    ASSERT_EQ(buildHeightMap(samples.data(), 8, 8, 8, map), 0);
    EXPECT_EQ(map.at(0, 0), 1 << 28);
}

// Each element is the integer quotient sum x scale / 68, truncated toward zero,
// for every sum the kernel can form and scales from the slider's to any value
// a block may hold.
TEST(Relief, HeightsAreTheIntegerQuotientForAnyScale) {
    const std::vector<uint8_t> samples = randomBytes(40 * 40, 9);
    for (int32_t scale : {1, -1, 7, 512, -512, 99991, -123457, 1 << 20, INT32_MIN + 1}) {
        OwnedMap map(scale);
        ASSERT_EQ(buildHeightMap(samples.data(), 40, 40, 40, map), 0);
        for (int i = 0; i < 37; ++i)
            for (int j = 0; j < 37; ++j) {
                const auto s = [&](int r, int c) { return int64_t(samples[size_t(r * 40 + c)]); };
                const int64_t sum =
                    2 * (s(i + 1, j + 1) + s(i + 1, j + 3) + s(i + 3, j + 1) + s(i + 3, j + 3)) +
                    8 * (s(i + 1, j + 2) + s(i + 2, j + 1) + s(i + 2, j + 3) + s(i + 3, j + 2)) +
                    32 * s(i + 2, j + 2);
                const int64_t limit = int64_t(1) << 28;
                ASSERT_EQ(map.at(i, j), std::clamp(sum * scale / 68, -limit, limit))
                    << "scale " << scale << " at " << i << ", " << j;
            }
    }
}

// Every element of rectangles of every small size, rows padded beyond their
// width with samples that must never be read: the rows are built four
// elements at a time where they can be, one by one near the right edge, and
// the last row and column take the nearest samples inside.
TEST(Relief, EveryElementOfAnyRectangleIsTheIntegerQuotientOfItsSamples) {
    const int64_t limit = int64_t(1) << 28;
    for (int width = 1; width <= 23; ++width)
        for (int height : {1, 3, 4, 7}) {
            const int rowBytes = width + 5;
            std::vector<uint8_t> samples = randomBytes(size_t(rowBytes * height), uint32_t(width));
            for (int r = 0; r < height; ++r)
                std::fill_n(samples.begin() + r * rowBytes + width, 5, uint8_t(255));
            const auto s = [&](int r, int c) {
                return int64_t(
                    samples[size_t(std::min(r, height - 1) * rowBytes + std::min(c, width - 1))]);
            };
            for (int32_t scale : {68, -300, 1 << 22}) {
                OwnedMap map(scale);
                ASSERT_EQ(buildHeightMap(samples.data(), rowBytes, width, height, map), 0);
                for (int i = 0; i < height - 2; ++i)
                    for (int j = 0; j < width - 2; ++j) {
                        const int64_t sum = 2 * (s(i + 1, j + 1) + s(i + 1, j + 3) +
                                                 s(i + 3, j + 1) + s(i + 3, j + 3)) +
                                            8 * (s(i + 1, j + 2) + s(i + 2, j + 1) +
                                                 s(i + 2, j + 3) + s(i + 3, j + 2)) +
                                            32 * s(i + 2, j + 2);
                        ASSERT_EQ(map.at(i, j), std::clamp(sum * scale / 68, -limit, limit))
                            << width << " x " << height << ", scale " << scale << " at " << i
                            << ", " << j;
                    }
            }
        }
}
