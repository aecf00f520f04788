// What any display scaling changes, in pure geometry: the work area showing
// the preview's fixed layout scaled, and windows placed inside the screen.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/window_placement.h"
#include "ui/preview_layout.h"
#include "ui/slider_geometry.h"
#include "ui/work_area_scale.h"

namespace {
// Work area windows of the sizes the dialog font gives at 96, 120, 144 and
// 192 DPI (its 144 x 190 dialog units at base units of about 6 x 12, 8 x 15,
// 9 x 18 and 12 x 24).
struct Screen {
    int dpi, width, height;
};
constexpr Screen kScreens[] = {{96, 216, 285}, {120, 288, 356}, {144, 324, 428}, {192, 432, 570}};
} // namespace

TEST(WorkAreaScale, At96DpiTheWindowIsTheLayoutAndEveryPixelStaysPut) {
    const LayoutMeasure layout = referenceLayoutMeasure();
    const WorkAreaScale s = workAreaScale(layout.workAreaWidth, layout.workAreaHeight, 216, 285);
    EXPECT_EQ(s.numerator, s.denominator);
    EXPECT_EQ(s.offsetX, 0);
    EXPECT_EQ(s.offsetY, 0);
    for (int x = -3; x < 220; ++x)
        EXPECT_EQ(s.toLayout(PixelPoint{x, x + 40}), (PixelPoint{x, x + 40}));
    const PixelRect shown = s.shownLayout();
    EXPECT_EQ(shown.right, 216);
    EXPECT_EQ(shown.bottom, 285);
}

TEST(WorkAreaScale, EveryScalingShowsTheWholeLayoutCentredAndMapsTheMouseBack) {
    const LayoutMeasure layout = referenceLayoutMeasure();
    for (const Screen& screen : kScreens) {
        SCOPED_TRACE(screen.dpi);
        const WorkAreaScale s =
            workAreaScale(layout.workAreaWidth, layout.workAreaHeight, screen.width, screen.height);
        const PixelRect shown = s.shownLayout();
        // Inside the window, touching two opposite sides, centred on the other two.
        EXPECT_GE(shown.left, 0);
        EXPECT_GE(shown.top, 0);
        EXPECT_LE(shown.right, screen.width);
        EXPECT_LE(shown.bottom, screen.height);
        EXPECT_TRUE((shown.left == 0 && shown.right == screen.width) ||
                    (shown.top == 0 && shown.bottom == screen.height));
        EXPECT_LE(std::abs(shown.left - (screen.width - shown.right)), 1);
        EXPECT_LE(std::abs(shown.top - (screen.height - shown.bottom)), 1);
        // The shown layout's corners are the layout's corners.
        EXPECT_EQ(s.toLayout(PixelRect{shown.left, shown.top, shown.right, shown.bottom}),
                  (PixelRect{0, 0, layout.workAreaWidth, layout.workAreaHeight}));
        // Every layout pixel, drawn where the system rounds it to, comes back as itself; and
        // the mouse's layout pixel never moves backwards as it crosses the window.
        for (int x = 0; x < layout.workAreaWidth; ++x) {
            const int windowX =
                s.offsetX + (2 * x * s.numerator + s.denominator) / (2 * s.denominator);
            EXPECT_EQ(s.toLayout(PixelPoint{windowX, s.offsetY}).x, x);
        }
        int previous = s.toLayout(PixelPoint{-5, 0}).x;
        for (int x = -4; x < screen.width + 5; ++x) {
            const int now = s.toLayout(PixelPoint{x, 0}).x;
            EXPECT_TRUE(now == previous || now == previous + 1) << x;
            previous = now;
        }
    }
}

TEST(WorkAreaScale, AWindowWithoutSizeOrLayoutGivesTheIdentity) {
    for (const WorkAreaScale& s : {workAreaScale(0, 0, 300, 300), workAreaScale(216, 285, 0, 0)}) {
        EXPECT_EQ(s.toLayout(PixelPoint{17, -4}), (PixelPoint{17, -4}));
        EXPECT_EQ(s.numerator, s.denominator);
    }
}

TEST(WindowPlacement, CentredOverTheOwnerWhenItFitsOtherwiseMovedInsideTheWorkArea) {
    const ScreenRect workArea{0, 0, 1024, 738}; // a 1024 x 768 screen less a task bar
    const ScreenRect owner{300, 200, 700, 500};
    // It fits: centred over the owner, exactly as before.
    EXPECT_EQ(placeCentredInside(200, 100, owner, workArea), (ScreenRect{400, 300, 600, 400}));
    // Centred it would stick out on the left (the 144 DPI dialog over a small
    // owner near the edge) or at the bottom: moved just inside.
    const ScreenRect nearLeft{0, 300, 200, 400};
    EXPECT_EQ(placeCentredInside(762, 491, nearLeft, workArea), (ScreenRect{0, 105, 762, 596}));
    const ScreenRect nearBottom{800, 650, 1000, 738};
    EXPECT_EQ(placeCentredInside(400, 300, nearBottom, workArea),
              (ScreenRect{624, 438, 1024, 738}));
    // Larger than the work area: its left and top edges, and so its caption, stay inside.
    const ScreenRect huge = placeCentredInside(1100, 800, owner, workArea);
    EXPECT_EQ(huge.left, 0);
    EXPECT_EQ(huge.top, 0);
    EXPECT_EQ(huge.width(), 1100);
    // A second monitor to the right: kept inside that one's work area.
    const ScreenRect second{1024, 0, 2048, 768};
    EXPECT_EQ(keptInside(ScreenRect{1900, -20, 2100, 80}, second),
              (ScreenRect{1848, 0, 2048, 100}));
    // Inside already: unmoved.
    EXPECT_EQ(keptInside(owner, workArea), owner);
}

TEST(SliderLayout, TheTrackStaysUnderTheTextsOfAnyFontAndNoLowerAt96Dpi) {
    // At 96 DPI a slider is 18 pixels high and its font 13: the track at 13, as always.
    EXPECT_EQ(sliderGeometry(207, 18, 50, 13).trackY, sliderGeometry(207, 18, 50).trackY);
    EXPECT_EQ(sliderGeometry(207, 18, 50, 13).trackY, 13);
    // At 192 DPI the font (26) outgrows half the slider (36): the track goes under it,
    // and the thumb still fits below.
    const SliderGeometry tall = sliderGeometry(414, 36, 100, 26);
    EXPECT_EQ(tall.trackY, 26);
    EXPECT_LE(tall.thumbTop + 4, 36);
}
