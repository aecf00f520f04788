// The dialog's pure geometry: the slider's track and thumb, the etched group
// frame with its title gap, the colour channels of the two pickers and the
// tick counter's wrap.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <utility>

#include "settings/parameter_table.h"
#include "ui/busy_wait.h"
#include "ui/colour_channels.h"
#include "ui/group_frame_geometry.h"
#include "ui/slider_geometry.h"

namespace {
constexpr SliderRange kSettingsRange{0, 256};

// A dialog slider: 138 dialog units wide at 6 pixels per 4 units, 50 pixels of label.
SliderGeometry dialogSlider() {
    return sliderGeometry(207, 19, 50);
}
} // namespace

TEST(SliderGeometry, ValuesAndPositionsMatchOverTheWholeTrackAndStopAtItsEnds) {
    const SliderGeometry g = dialogSlider();
    EXPECT_EQ(thumbXForValue(g, kSettingsRange, 0), g.trackLeft);
    EXPECT_EQ(thumbXForValue(g, kSettingsRange, 256), g.trackRight);
    EXPECT_EQ(valueForX(g, kSettingsRange, g.trackLeft - 40), 0);
    EXPECT_EQ(valueForX(g, kSettingsRange, g.trackRight + 40), 256);
    int16_t previous = -1;
    for (int x = g.trackLeft; x <= g.trackRight; ++x) {
        const int16_t value = valueForX(g, kSettingsRange, x);
        EXPECT_GE(value, previous) << "x " << x;
        previous = value;
        // The thumb drawn for the value taken under x stands on x or just left of it.
        const int16_t thumb = thumbXForValue(g, kSettingsRange, value);
        EXPECT_LE(thumb, x);
        EXPECT_GE(thumb, x - 1);
    }
    EXPECT_TRUE(isInThumbZone(g, g.trackLeft, g.trackY - 1));
    EXPECT_FALSE(isInThumbZone(g, g.trackLeft, g.trackY - 2));
    EXPECT_FALSE(isInThumbZone(g, g.trackLeft - 1, g.trackY + 3));
    EXPECT_FALSE(isInThumbZone(g, g.trackRight + 1, g.trackY + 3));
}

TEST(SliderGeometry, ANarrowWindowOrAnEmptyRangeStaysWellDefined) {
    const SliderGeometry narrow =
        sliderGeometry(40, 19, 50); // the track would end before it starts
    EXPECT_EQ(thumbXForValue(narrow, kSettingsRange, 200), narrow.trackLeft);
    EXPECT_EQ(valueForX(narrow, kSettingsRange, 60), 0);
    const SliderGeometry g = dialogSlider();
    const SliderRange empty{50, 50};
    EXPECT_EQ(thumbXForValue(g, empty, 50), g.trackLeft);
    EXPECT_EQ(valueForX(g, empty, g.trackRight), 50);
}

TEST(SliderGeometry, ShowsTheValueAsPercentOrAroundTheMiddle) {
    const std::pair<int16_t, int16_t> percent[] = {{0, 0}, {128, 50}, {256, 100}, {1, 0}};
    for (auto [value, shown] : percent)
        EXPECT_EQ(shownNumber(value, true), shown) << value;
    const std::pair<int16_t, int16_t> centred[] = {
        {0, -100}, {128, 0}, {256, 100}, {127, -1}, {129, 0}};
    for (auto [value, shown] : centred)
        EXPECT_EQ(shownNumber(value, false), shown) << value;
}

// The slider shows every setting as the number a script records for it.
TEST(SliderGeometry, ShowsWhatAScriptRecords) {
    for (const ParameterEntry& entry : sliderSettings())
        for (int32_t position = entry.sliderMinimum; position <= entry.sliderMaximum; ++position)
            EXPECT_EQ(shownNumber(int16_t(position), entry.showsPercent()),
                      entry.percentFromStored(entry.storedFromSlider(position)))
                << "key " << entry.scriptKey << ", position " << position;
}

// The thumb rests only on positions whose number reads back to them: the
// number shown is the one under the mouse, and every value the mouse can give
// on any track width is recorded by a script and read back unchanged, for
// every setting of the settings table.
TEST(SliderGeometry, EveryValueTheMouseGivesRecordsAndReadsBackToItself) {
    for (int16_t value = 0; value <= 256; ++value)
        for (bool percent : {false, true}) {
            const int16_t resting = restingValue(value, percent);
            EXPECT_EQ(shownNumber(resting, percent), shownNumber(value, percent));
            // A wide number spans one or two positions, a percent up to three.
            EXPECT_LE(std::abs(resting - value), percent ? 2 : 1) << value;
            EXPECT_EQ(restingValue(resting, percent), resting) << "a resting value stays";
        }
    EXPECT_EQ(restingValue(0, false), 0);
    EXPECT_EQ(restingValue(256, false), 256);
    EXPECT_EQ(restingValue(129, false), 128); // both show 0
    EXPECT_EQ(restingValue(27, false), 28);   // both show -79
    for (int16_t width = 120; width <= 420; width += 3) {
        const SliderGeometry g = sliderGeometry(width, 19, 50);
        for (int x = g.trackLeft - 2; x <= g.trackRight + 2; ++x)
            for (const ParameterEntry& entry : sliderSettings()) {
                const int16_t position =
                    restingValue(valueForX(g, kSettingsRange, x), entry.showsPercent());
                const int16_t stored = entry.storedFromSlider(position);
                ASSERT_EQ(entry.storedFromPercent(entry.percentFromStored(stored)), stored)
                    << "width " << width << ", x " << x << ", key " << entry.scriptKey;
            }
    }
}

TEST(GroupFrame, TwoPensNeverMeetAndTheTitleGapStaysOpen) {
    const FrameBounds client{0, 0, 60, 30};
    const int gapLeft = 8, gapRight = 30;
    const EtchedFrame frame = etchedFrame(client, gapLeft, gapRight);
    // Pixels each pen covers, end points included.
    auto cover = [](const std::vector<FrameStroke>& lines) {
        std::set<std::pair<int, int>> pixels;
        for (const FrameStroke& line : lines)
            for (size_t i = 1; i < line.size(); ++i) {
                const FramePoint a = line[i - 1], b = line[i];
                EXPECT_TRUE(a.x == b.x || a.y == b.y) << "the frame has only straight edges";
                for (int x = std::min(a.x, b.x); x <= std::max(a.x, b.x); ++x)
                    for (int y = std::min(a.y, b.y); y <= std::max(a.y, b.y); ++y)
                        pixels.insert({x, y});
            }
        return pixels;
    };
    const auto dark = cover(frame.dark), light = cover(frame.light);
    for (const auto& pixel : dark) {
        EXPECT_EQ(light.count(pixel), 0u) << pixel.first << "," << pixel.second;
        EXPECT_TRUE(pixel.first >= 0 && pixel.first < 60 && pixel.second >= 0 && pixel.second < 30);
    }
    for (int x = gapLeft + 1; x < gapRight; ++x)
        for (int y : {0, 1})
            EXPECT_TRUE(dark.count({x, y}) == 0 && light.count({x, y}) == 0) << x << "," << y;
    // All four sides are drawn: each pen turns every corner.
    for (auto corner : {std::pair{0, 0}, {0, 28}, {58, 28}, {58, 0}})
        EXPECT_EQ(dark.count(corner), 1u);
    for (auto corner : {std::pair{1, 1}, {0, 29}, {59, 29}, {59, 0}})
        EXPECT_EQ(light.count(corner), 1u);
}

TEST(ColourChannels, BothPickersReachTheEndsOfTheSixteenBitScale) {
    EXPECT_EQ(channelFromHostPick(255), 65535);
    EXPECT_EQ(channelFromHostPick(0), 0);
    EXPECT_EQ(channelFromSystemPick(255), 65535);
    EXPECT_EQ(channelFromSystemPick(0), 255);
    for (int c = 0; c < 256; ++c) {
        EXPECT_EQ(highByte(channelFromHostPick(uint8_t(c))), c);
        EXPECT_EQ(highByte(channelFromSystemPick(uint8_t(c))), c);
    }
}

TEST(TickCount, ElapsedTimeCountsAcrossTheWrap) {
    EXPECT_EQ(ticksBetween(0xFFFFFFF0u, 0x10u), 0x20u);
    EXPECT_EQ(ticksBetween(1000, 1100), 100u);
    EXPECT_EQ(ticksBetween(0xFFFFFFFFu, 0xFFFFFFFFu), 0u);
}
