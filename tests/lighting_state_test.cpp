// The light and material operations of the state: defaults, the spot axis
// rule, cache invalidation and release, copying.
#include <cmath>
#include <memory>

#include <gtest/gtest.h>

#include "shell/checked_alloc.h"
#include "shell/plugin_state.h"

namespace {
std::unique_ptr<PluginState> stateWithFrame() {
    auto state = std::make_unique<PluginState>();
    state->frameCenter = {150, 120};
    state->frameCorner = {50, 20};
    return state;
}

// Gives every cache slot a buffer and marks it valid.
void fillCaches(PluginState& state) {
    for (CacheSlot& slot : state.summedCaches) {
        slot.buffer = checkedAlloc(16);
        slot.valid = 1;
    }
    state.lights[0].diffuseCache = {checkedAlloc(16), 1};
}

bool everyCacheValid(const PluginState& state) {
    for (const CacheSlot& slot : state.summedCaches)
        if (!slot.valid)
            return false;
    return state.lights[0].diffuseCache.valid == 1;
}

double length(Point16 v) {
    return std::sqrt(double(v.x) * v.x + double(v.y) * v.y);
}
} // namespace

TEST(LightState, ConstructedLightHasTheNewLightValues) {
    LightSource light;
    EXPECT_EQ(light.type, uint32_t(Spot));
    EXPECT_EQ(light.vector0.x, 30);
    EXPECT_EQ(light.vector1.x, -15);
    EXPECT_EQ(light.radius, 30);
    EXPECT_EQ(light.color[2], 65535);
    EXPECT_EQ(light.intensity, 65);
    EXPECT_EQ(light.focus, 128);
    EXPECT_EQ(light.enabled, 1u);
    EXPECT_EQ(light.radiusPct, 0.0f);
    EXPECT_EQ(light.diffuseCache.buffer, nullptr);
}

TEST(LightState, DefaultStyleIsOneYellowSpotAndNewLightsAreWhite) {
    auto state = stateWithFrame();
    state->gloss = 3;
    state->resetToDefaultStyle();
    EXPECT_EQ(state->gloss, 128);
    EXPECT_EQ(state->ambience, 16);
    ASSERT_EQ(state->lightCount, 1);
    const LightSource& yellow = state->lights[0];
    EXPECT_EQ(yellow.color[0], 65535);
    EXPECT_EQ(yellow.color[1], 65535);
    EXPECT_EQ(yellow.color[2], 0);
    EXPECT_EQ(yellow.intensity, 127);
    EXPECT_EQ(yellow.origin.x, 150);

    state->addLightAt(160, 100);
    ASSERT_EQ(state->lightCount, 2);
    EXPECT_EQ(state->currentLight, 1);
    const LightSource& white = state->lights[1];
    EXPECT_EQ(white.color[2], 65535);
    EXPECT_EQ(white.intensity, 65);
    EXPECT_EQ(white.position.x, 10);
    EXPECT_EQ(white.position.y, -20);
    // The ellipse table: cos and sin of 0, 9, ... 351 degrees.
    EXPECT_EQ(state->ellipseTable[0], 1.0f);
    EXPECT_NEAR(state->ellipseTable[10], 0.0f, 1e-7);
    EXPECT_FLOAT_EQ(state->ellipseTable[40 + 10], 1.0f);
    EXPECT_FLOAT_EQ(state->ellipseTable[40 + 5], std::sin(45 * 3.1415927f / 180));
}

TEST(LightState, NoSeventeenthLight) {
    auto state = stateWithFrame();
    for (int i = 0; i < 20; ++i)
        state->addLightAt(int16_t(i), 0);
    EXPECT_EQ(state->lightCount, 16);
    EXPECT_EQ(state->currentLight, 15);
    EXPECT_EQ(state->lights[15].position.x, 15 - 150);
}

TEST(LightState, SpotAxesMakeTheSecondAxisPerpendicularAndNeverLonger) {
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

TEST(LightState, UnchangedReliefSettingsKeepTheCaches) {
    auto state = stateWithFrame();
    fillCaches(*state);
    state->setReliefAmount(state->reliefAmount);
    state->setWhiteIsHigh(state->whiteIsHigh);
    state->setTextureChannel(state->textureChannel);
    EXPECT_TRUE(everyCacheValid(*state));
    state->setReliefAmount(7);
    EXPECT_EQ(state->reliefAmount, 7);
    for (const CacheSlot& slot : state->summedCaches)
        EXPECT_EQ(slot.valid, 0u);
    EXPECT_EQ(state->lights[0].diffuseCache.valid, 0u);
}

TEST(LightState, TextureChannelSwitchesKeepOrFreeTheBuffers) {
    auto state = stateWithFrame();
    state->textureChannel = 1;
    fillCaches(*state);
    state->setTextureChannel(2); // between two channels: stale, kept
    EXPECT_NE(state->summedCaches[CacheDiffuse].buffer, nullptr);
    EXPECT_EQ(state->summedCaches[CacheDiffuse].valid, 0u);
    EXPECT_NE(state->lights[0].diffuseCache.buffer, nullptr);
    state->setTextureChannel(0); // relief off: the sample count changes
    EXPECT_EQ(state->summedCaches[CacheDiffuse].buffer, nullptr);
    EXPECT_EQ(state->lights[0].diffuseCache.buffer, nullptr);
    EXPECT_EQ(state->textureChannel, 0);
}

TEST(LightState, CopiedSettingsShareNoCaches) {
    auto from = stateWithFrame();
    from->resetToDefaultStyle();
    from->addLightAt(10, 10);
    from->lights[1].diffuseCache = {checkedAlloc(16), 1};
    auto to = std::make_unique<PluginState>();
    to->copySettings(*from);
    EXPECT_EQ(to->lightCount, 2);
    EXPECT_EQ(to->lights[1].position.x, from->lights[1].position.x);
    EXPECT_EQ(to->lights[1].owner, to.get());
    EXPECT_EQ(to->lights[1].diffuseCache.buffer, nullptr);
    EXPECT_EQ(to->frameCenter.x, 150);
    EXPECT_EQ(to->ellipseTable[0], 1.0f);
}
