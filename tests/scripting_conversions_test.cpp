// The conversions between script values and settings: percentages and slider
// positions, colour components and 16-bit channels, geometry bounds, and the
// comparison of channel names.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "scripting/channel_queries.h"
#include "scripting/script_values.h"
#include "settings/percent_scale.h"

TEST(PercentToPosition, WideScaleSearchesTheFirstPositionShowingTheValue) {
    struct Case {
        int32_t percent, position;
    };
    for (Case c : {Case{0, 128},
                   {1, 130},
                   {-1, 127},
                   {100, 256},
                   {-100, 0},
                   {-150, 0},
                   {250, 256},
                   {50, 192},
                   {-50, 65},
                   {std::numeric_limits<int32_t>::min(), 0},
                   {std::numeric_limits<int32_t>::max(), 256}})
        EXPECT_EQ(PercentToPosition(c.percent, PercentScale::Wide), c.position) << c.percent;
}

TEST(PercentToPosition, NarrowScaleStartsAtZero) {
    EXPECT_EQ(PercentToPosition(50, PercentScale::Narrow), 128);
    EXPECT_EQ(PercentToPosition(0, PercentScale::Narrow), 0);
    EXPECT_EQ(PercentToPosition(100, PercentScale::Narrow), 256);
    EXPECT_EQ(PercentToPosition(-5, PercentScale::Narrow), 0);
    EXPECT_EQ(PercentToPosition(101, PercentScale::Narrow), 256);
}

TEST(PositionToPercent, TruncatesTowardZero) {
    EXPECT_EQ(PositionToPercent(128, PercentScale::Wide), 0);
    EXPECT_EQ(PositionToPercent(129, PercentScale::Wide), 0); // 100.78 - 100
    EXPECT_EQ(PositionToPercent(0, PercentScale::Wide), -100);
    EXPECT_EQ(PositionToPercent(1, PercentScale::Wide), -100);
    EXPECT_EQ(PositionToPercent(256, PercentScale::Wide), 100);
    EXPECT_EQ(PositionToPercent(255, PercentScale::Narrow), 99);
    // An intensity of -127 is position 0; of 129 position 256.
    EXPECT_EQ(PositionToPercent(-127 + 127, PercentScale::Wide), -100);
}

TEST(PercentToPosition, EveryWholePercentageSurvivesTheRoundTrip) {
    for (int32_t percent = -100; percent <= 100; ++percent) {
        const int32_t position = PercentToPosition(percent, PercentScale::Wide);
        EXPECT_GE(position, 0);
        EXPECT_LE(position, 256);
        EXPECT_EQ(PositionToPercent(position, PercentScale::Wide), percent);
    }
    for (int32_t percent = 0; percent <= 100; ++percent)
        EXPECT_EQ(PositionToPercent(PercentToPosition(percent, PercentScale::Narrow),
                                    PercentScale::Narrow),
                  percent);
}

// 257 positions show 201 wide (101 narrow) percentages, so a recording keeps
// the percentage, not always the position: every position records a value
// that reads back to a position recording the same value, the positions a
// read gives come back exactly, and the slider's ends are kept.
TEST(PercentToPosition, RecordingAndReadingAgreeOnEverySliderPosition) {
    for (PercentScale scale : {PercentScale::Wide, PercentScale::Narrow})
        for (int32_t position = 0; position <= 256; ++position) {
            const int32_t recorded = PositionToPercent(position, scale);
            const int32_t read = PercentToPosition(recorded, scale);
            EXPECT_EQ(PositionToPercent(read, scale), recorded) << position;
            EXPECT_EQ(PercentToPosition(PositionToPercent(read, scale), scale), read) << position;
        }
    for (PercentScale scale : {PercentScale::Wide, PercentScale::Narrow}) {
        EXPECT_EQ(PercentToPosition(PositionToPercent(0, scale), scale), 0);
        EXPECT_EQ(PercentToPosition(PositionToPercent(256, scale), scale), 256);
    }
}

TEST(ColourComponents, MapOntoSixteenBitChannelsAndBack) {
    EXPECT_EQ(componentToChannel(255.0), 65535);
    EXPECT_EQ(componentToChannel(128.5), 33024); // 33024.5 truncated
    EXPECT_EQ(componentToChannel(0.0), 0);
    EXPECT_EQ(channelToComponent(65535), 255.0);
    EXPECT_EQ(channelToComponent(257), 1.0);
    // Whole components, as older recordings hold them, read as before.
    for (int component = 0; component <= 255; ++component)
        EXPECT_EQ(channelToComponent(componentToChannel(component)), component);
}

// Every channel a setting or a style file may hold is written as a component
// that reads back to it: the multiples of 257 as whole numbers, the others
// (the system colour dialog's c x 256 + 255 among them) with three decimals.
TEST(ColourComponents, EverySixteenBitChannelWritesAndReadsBackToItself) {
    EXPECT_EQ(channelToComponent(65534), 254.998);
    EXPECT_EQ(channelToComponent(32768), 127.504);
    EXPECT_EQ(channelToComponent(128 * 256 + 255), 128.496);
    for (int channel = 0; channel <= 65535; ++channel) {
        const double component = channelToComponent(uint16_t(channel));
        ASSERT_EQ(componentToChannel(component), channel) << component;
        ASSERT_GE(component, 0.0);
        ASSERT_LE(component, 255.0);
        ASSERT_NEAR(component * 1000, std::round(component * 1000), 1e-6) << "three decimals";
        if (channel % 257 == 0) {
            ASSERT_EQ(component, channel / 257) << "a whole number";
        }
    }
}

TEST(ColourComponents, OutsideTheRangeAreClampedInsteadOfWrapping) {
    // 256 x 257 kept to 16 bits would be 256: almost black.
    EXPECT_EQ(componentToChannel(256.0), 65535);
    EXPECT_EQ(componentToChannel(1.0e9), 65535);
    EXPECT_EQ(componentToChannel(-1.0), 0);
    EXPECT_EQ(componentToChannel(std::nan("")), 0);
    EXPECT_EQ(componentToChannel(std::numeric_limits<double>::infinity()), 65535);
}

TEST(Geometry, HugeOrUndefinedDoublesStayFinite) {
    const double infinity = std::numeric_limits<double>::infinity();
    EXPECT_EQ(boundedGeometry(55.5), 55.5);
    EXPECT_EQ(boundedGeometry(1.0e300), 1.0e6);
    EXPECT_EQ(boundedGeometry(-infinity), -1.0e6);
    EXPECT_EQ(boundedGeometry(std::nan("")), 0.0);
}

TEST(Geometry, PixelsAndFramePercent) {
    EXPECT_EQ(pixelsToFramePercent(10, 200), 5.0);
    EXPECT_EQ(pixelsToFramePercent(-100, 200), -50.0);
    EXPECT_EQ(pixelsToFramePercent(37, 0), 0.0); // a frame never measured
}

TEST(LengthPrefixedEqual, ComparesLengthAndBytesExactly) {
    const uint8_t alpha[] = {7, 'A', 'l', 'p', 'h', 'a', ' ', '1', 'x'};
    const uint8_t same[] = {7, 'A', 'l', 'p', 'h', 'a', ' ', '1', 'y'}; // past the length
    const uint8_t lower[] = {7, 'a', 'l', 'p', 'h', 'a', ' ', '1'};
    const uint8_t shorter[] = {5, 'A', 'l', 'p', 'h', 'a', ' ', '1'};
    const uint8_t empty[] = {0};
    EXPECT_TRUE(LengthPrefixedEqual(alpha, same));
    EXPECT_FALSE(LengthPrefixedEqual(alpha, lower));
    EXPECT_FALSE(LengthPrefixedEqual(alpha, shorter));
    EXPECT_FALSE(LengthPrefixedEqual(shorter, alpha));
    EXPECT_TRUE(LengthPrefixedEqual(empty, empty));
}
