// The preview's place in the work area: the step arithmetic, and the layout
// pass laying it out in the same reference layout in both builds.
#include <gtest/gtest.h>

#include "shell/filter_run.h"
#include "tests/support/test_host.h"
#include "ui/preview_layout.h"
#include "ui/ui_services.h"

TEST(PreviewGeometry, PicksTheSmallestStepAtWhichThePreviewFits) {
    const LayoutMeasure typical{150, 253, 216, 309};
    const PreviewGeometry wide = computePreviewGeometry(1000, 500, typical);
    EXPECT_EQ(wide.step, 7);
    EXPECT_EQ(wide.width, 143);
    EXPECT_EQ(wide.height, 72);
    EXPECT_EQ(wide.left, 108 - 71);
    EXPECT_EQ(wide.top, 154 - 36);

    const PreviewGeometry exact = computePreviewGeometry(150, 253, typical);
    EXPECT_EQ(exact.step, 1);
    const PreviewGeometry oneTooTall = computePreviewGeometry(150, 254, typical);
    EXPECT_EQ(oneTooTall.step, 2);
    EXPECT_EQ(oneTooTall.height, 127);
}

TEST(PreviewGeometry, TinyImagesAndDegenerateMeasuresStillGiveOnePixel) {
    const PreviewGeometry tiny = computePreviewGeometry(1, 1, {150, 253, 216, 309});
    EXPECT_EQ(tiny.step, 1);
    EXPECT_EQ(tiny.width, 1);
    EXPECT_EQ(tiny.height, 1);
    const PreviewGeometry noPlaceholder = computePreviewGeometry(40, 30, {0, 0, 0, 0});
    EXPECT_GE(noPlaceholder.step, 1);
    EXPECT_GE(noPlaceholder.width, 1);
}

TEST(PreviewGeometry, DialogUnitsBecomePixelsAsTheSystemRoundsThem) {
    // Control 1010 is 100 x 156 dialog units.
    EXPECT_EQ(dialogUnitsToPixelsX(100, 6), 150);
    EXPECT_EQ(dialogUnitsToPixelsY(156, 13), 254);
    EXPECT_EQ(dialogUnitsToPixelsX(100, 7), 175);
}

namespace {
// The preview geometry the layout pass gives for an area of width x height.
struct Laid {
    int16_t result;
    int step, width, height, left, top, frameX, frameY;
};

Laid layOut(int width, int height) {
    TestHost host(4, 4);
    EXPECT_EQ(host.call(SelectorPrepare), 0);
    host.record.areaRect = Rect16{0, 0, int16_t(height), int16_t(width)};
    PluginState& state = *host.state();
    registerWindowClasses();
    Laid laid{runLayoutPass(host.record, state.settings, state.preview)};
    unregisterWindowClasses();
    laid.step = state.preview.step;
    laid.width = state.preview.width;
    laid.height = state.preview.height;
    laid.left = state.preview.left;
    laid.top = state.preview.top;
    laid.frameX = state.settings.frameCenter.x;
    laid.frameY = state.settings.frameCenter.y;
    releaseRunBuffers(state);
    return laid;
}
} // namespace

// Directional lights and script geometry depend on the frame, so every build
// and every screen must lay the preview out alike: in the main dialog's
// template at base units 6 x 12, a work area of 216 x 285 pixels and a
// placeholder of 150 x 234.
TEST(LayoutPass, EveryBuildAndScreenLaysThePreviewOutInTheReferenceLayout) {
    const LayoutMeasure reference = referenceLayoutMeasure();
    EXPECT_EQ(reference.workAreaWidth, 216);
    EXPECT_EQ(reference.workAreaHeight, 285);
    EXPECT_EQ(reference.placeholderWidth, 150);
    EXPECT_EQ(reference.placeholderHeight, 234);

    const Laid fits = layOut(150, 234);
    ASSERT_EQ(fits.result, 0);
    EXPECT_EQ(fits.step, 1);
    EXPECT_EQ(fits.frameX, 108);
    EXPECT_EQ(fits.frameY, 142);
    EXPECT_EQ(fits.left, 108 - 75);
    EXPECT_EQ(fits.top, 142 - 117);
    EXPECT_EQ(layOut(151, 234).step, 2) << "one pixel wider than the placeholder";
    EXPECT_EQ(layOut(150, 235).step, 2) << "one pixel taller than the placeholder";
}
