// The settings: defaults, the sixteen-light list, the spot axis rule, copies,
// the geometry in pixels and in percent; and what a change of the settings does to the preview's
// caches.
#include <cmath>

#include <gtest/gtest.h>

#include "platform/checked_alloc.h"
#include "settings/geometry_conversion.h"
#include "settings/settings.h"
#include "ui/preview.h"

namespace {
Settings settingsWithFrame() {
    Settings settings;
    settings.frameCenter = {150, 120};
    settings.frameCorner = {50, 20};
    return settings;
}

double length(Point16 v) {
    return std::sqrt(double(v.x) * v.x + double(v.y) * v.y);
}
} // namespace

TEST(Settings, ConstructedLightHasTheNewLightValues) {
    LightSource light;
    EXPECT_EQ(light.type, uint32_t(Spot));
    EXPECT_EQ(light.vector0.x, 30);
    EXPECT_EQ(light.vector1.x, -15);
    EXPECT_EQ(light.radius, 30);
    EXPECT_EQ(light.color[2], 65535);
    EXPECT_EQ(light.intensity, 65);
    EXPECT_EQ(light.focus, 128);
    EXPECT_TRUE(light.enabled);
    EXPECT_EQ(light.radiusPct, 0.0f);
}

TEST(Settings, DefaultStyleIsOneYellowSpotAndNewLightsAreWhite) {
    Settings settings = settingsWithFrame();
    settings.gloss = 3;
    settings.resetToDefaultStyle();
    EXPECT_EQ(settings.gloss, 128);
    EXPECT_EQ(settings.ambience, 16);
    ASSERT_EQ(settings.lightCount, 1);
    const LightSource& yellow = settings.lights[0];
    EXPECT_EQ(yellow.color[0], 65535);
    EXPECT_EQ(yellow.color[1], 65535);
    EXPECT_EQ(yellow.color[2], 0);
    EXPECT_EQ(yellow.intensity, 127);
    EXPECT_EQ(yellow.origin.x, 150);

    EXPECT_TRUE(settings.addLightAt(160, 100));
    ASSERT_EQ(settings.lightCount, 2);
    EXPECT_EQ(settings.currentLight, 1);
    const LightSource& white = settings.lights[1];
    EXPECT_EQ(white.color[2], 65535);
    EXPECT_EQ(white.intensity, 65);
    EXPECT_EQ(white.position.x, 10);
    EXPECT_EQ(white.position.y, -20);
}

TEST(Settings, NoSeventeenthLight) {
    Settings settings = settingsWithFrame();
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(settings.addLightAt(int16_t(i), 0), i < 16) << i;
    EXPECT_EQ(settings.lightCount, 16);
    EXPECT_EQ(settings.currentLight, 15);
    EXPECT_EQ(settings.lights[15].position.x, 15 - 150);
}

TEST(Settings, DuplicatesCopyTheSelectedLightAndDeletionsKeepTheOrder) {
    Settings settings = settingsWithFrame();
    settings.resetToDefaultStyle();
    LightSource& first = settings.lights[0];
    first.type = Directional;
    first.vector0 = {40, -7};
    first.intensity = -20;
    first.enabled = false;
    EXPECT_TRUE(settings.DuplicateLight(170, 130));
    const LightSource& copy = settings.lights[1];
    EXPECT_EQ(settings.currentLight, 1);
    EXPECT_EQ(copy.type, uint32_t(Directional));
    EXPECT_EQ(copy.vector0.x, 40);
    EXPECT_EQ(copy.intensity, -20);
    EXPECT_EQ(copy.color[2], 0) << "the default style's yellow";
    EXPECT_TRUE(copy.enabled) << "a duplicate is switched on";
    EXPECT_EQ(copy.position.x, 20);
    EXPECT_EQ(copy.position.y, 10);

    settings.addLightAt(0, 0);
    settings.currentLight = 1;
    EXPECT_TRUE(settings.DeleteSelectedLight());
    EXPECT_EQ(settings.lightCount, 2);
    EXPECT_EQ(settings.currentLight, 0);
    EXPECT_EQ(settings.lights[0].type, uint32_t(Directional));
    EXPECT_EQ(settings.lights[1].position.x, -150) << "the later light moved down";
    EXPECT_TRUE(settings.DeleteSelectedLight());
    EXPECT_FALSE(settings.DeleteSelectedLight()) << "the only light stays";
    EXPECT_EQ(settings.lightCount, 1);
    EXPECT_EQ(settings.lights[0].position.x, -150);
}

TEST(Settings, ACopyIsIndependentOfItsOriginal) {
    Settings original = settingsWithFrame();
    original.resetToDefaultStyle();
    original.addLightAt(10, 10);
    const Settings copy = original;
    original.lights[1].position.x = 99;
    original.gloss = 7;
    EXPECT_EQ(copy.lightCount, 2);
    EXPECT_EQ(copy.lights[1].position.x, 10 - 150);
    EXPECT_EQ(copy.gloss, 128);
    EXPECT_EQ(copy.frameCenter.x, 150);
}

TEST(Settings, SpotAxesMakeTheSecondAxisPerpendicularAndNeverLonger) {
    LightSource light;
    light.setSpotAxes(); // (30, 30) and (-15, 15): already perpendicular, ratio 0.5
    EXPECT_EQ(light.vector1.x, -15);
    EXPECT_EQ(light.vector1.y, 15);

    light.vector0 = {30, 0};
    light.vector1 = {0, 50};
    light.setSpotAxes();
    EXPECT_EQ(light.vector1.x, 0);
    EXPECT_EQ(light.vector1.y, 30);

    light.vector0 = {40, 9};
    light.vector1 = {-90, 3};
    light.setSpotAxes();
    EXPECT_NEAR(length(light.vector1), length(light.vector0), 0.8);
    EXPECT_EQ(light.vector1.x * light.vector0.x + light.vector1.y * light.vector0.y, 0);

    light.vector0 = {-5, 3};
    light.vector1 = {1, 1};
    light.setSpotAxes(); // r = 0.2425: (-0.728, -1.213) -> (-1, -1)
    EXPECT_EQ(light.vector1.x, -1);
    EXPECT_EQ(light.vector1.y, -1);

    light.vector0 = {0, -32768}; // the perpendicular (32768, 0) would leave 16 bits
    light.vector1 = {32767, 32767};
    light.setSpotAxes();
    EXPECT_EQ(light.vector1.x, 32767);
    EXPECT_EQ(light.vector1.y, 0);

    light.vector0 = {0, 0};
    light.vector1 = {-15, 15};
    light.setSpotAxes();
    EXPECT_EQ(light.vector1.x, 0);
    EXPECT_EQ(light.vector1.y, 0);

    light.type = Omni;
    light.vector0 = {30, 0};
    light.vector1 = {0, 50};
    light.setSpotAxes();
    EXPECT_EQ(light.vector1.y, 50) << "only spots";
}

TEST(Settings, PercentGeometryGivesBackThePixelsItWasTakenFrom) {
    // Scripts and styles keep a light's geometry in percent of the frame; the
    // dialog works in pixels. A light taken to percent and back is unchanged,
    // whatever the frame's size, and a frame never measured gives 0 percent.
    for (uint16_t frameSize : {uint16_t(1), uint16_t(97), uint16_t(256), uint16_t(1000)}) {
        LightSource light;
        light.position = {-41, 133};
        light.vector0 = {77, -12};
        light.vector1 = {-3, 250};
        light.radius = 61;
        const LightSource original = light;
        refreshPercentGeometry(light, frameSize);
        refreshPixelGeometry(light, frameSize);
        EXPECT_EQ(light.position.x, original.position.x) << frameSize;
        EXPECT_EQ(light.position.y, original.position.y) << frameSize;
        EXPECT_EQ(light.vector0.x, original.vector0.x) << frameSize;
        EXPECT_EQ(light.vector0.y, original.vector0.y) << frameSize;
        EXPECT_EQ(light.vector1.x, original.vector1.x) << frameSize;
        EXPECT_EQ(light.vector1.y, original.vector1.y) << frameSize;
        EXPECT_EQ(light.radius, original.radius) << frameSize;
    }
    LightSource unmeasured;
    refreshPercentGeometry(unmeasured, 0);
    EXPECT_EQ(unmeasured.positionPct.x, 0.0f);
    EXPECT_EQ(unmeasured.vector1Pct.y, 0.0f);
    EXPECT_EQ(unmeasured.radiusPct, 0.0f);
}

namespace {
// Gives every cache slot of the preview a buffer and marks it valid.
void fillCaches(Preview& preview) {
    for (CacheSlot& slot : preview.summedCaches)
        slot = {CheckedBuffer(16), 1};
    preview.lightCaches[0][0] = {CheckedBuffer(16), 1};
    preview.lightCaches[1][0] = {CheckedBuffer(16), 1};
}
} // namespace

TEST(PreviewCaches, ChangesMakeTheCachesStaleOrFreeThem) {
    Preview preview;
    fillCaches(preview);
    preview.lightChanged(1); // the sums and that light's own caches
    EXPECT_TRUE(preview.summedCaches[CachePositions].valid) << "positions do not change";
    EXPECT_FALSE(preview.summedCaches[CacheDiffuse].valid);
    EXPECT_TRUE(preview.lightCaches[0][0].valid);
    EXPECT_FALSE(preview.lightCaches[1][0].valid);

    preview.textureChannelChanged(1, 1); // no change at all
    EXPECT_TRUE(preview.summedCaches[CachePositions].valid);
    preview.textureChannelChanged(1, 2); // between two channels: stale, kept
    EXPECT_NE(preview.summedCaches[CachePositions].buffer.get(), nullptr);
    EXPECT_FALSE(preview.summedCaches[CachePositions].valid);
    EXPECT_FALSE(preview.lightCaches[0][0].valid);
    preview.textureChannelChanged(2, 0); // relief off: the sample count changes
    EXPECT_EQ(preview.summedCaches[CachePositions].buffer.get(), nullptr);
    EXPECT_EQ(preview.lightCaches[0][0].buffer.get(), nullptr);
}

TEST(PreviewCaches, ARemovedLightsCachesGoAndTheLaterOnesMoveDown) {
    Preview preview;
    fillCaches(preview);
    void* second = preview.lightCaches[1][0].buffer.get();
    preview.lightRemoved(0, 3);
    EXPECT_EQ(preview.lightCaches[0][0].buffer.get(), second);
    EXPECT_TRUE(preview.lightCaches[0][0].valid);
    EXPECT_FALSE(preview.lightCaches[1][0].buffer);
    EXPECT_FALSE(preview.lightCaches[2][0].buffer);
    EXPECT_FALSE(preview.summedCaches[CacheDiffuse].valid);
}

TEST(PreviewCaches, TheEllipseTableHoldsCosinesThenSines) {
    const Preview preview;
    // cos and sin of 0, 9, ... 351 degrees.
    EXPECT_EQ(preview.ellipseTable[0], 1.0f);
    EXPECT_NEAR(preview.ellipseTable[10], 0.0f, 1e-7);
    EXPECT_FLOAT_EQ(preview.ellipseTable[40 + 10], 1.0f);
    EXPECT_FLOAT_EQ(preview.ellipseTable[40 + 5], std::sin(45 * 3.1415927f / 180));
}
