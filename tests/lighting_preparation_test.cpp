// Turning the user's lights into prepared lights: packing, strengths, the
// geometry of each type, spot placement, and the percent variant.
#include <cmath>
#include <memory>
#include <numbers>

#include <gtest/gtest.h>

#include "lighting/render_preparation.h"
#include "lighting/shade_batch.h"
#include "settings/settings.h"
#include "tests/support/lighting_scene.h"

namespace {
// A state with a measured frame: centre (100, 100), half frame 60 pixels.
std::unique_ptr<Settings> framedState() {
    auto state = std::make_unique<Settings>();
    state->frameCenter = {100, 100};
    state->frameCorner = {40, 40};
    return state;
}

bool allFinite(const RenderLight& light) {
    for (int i = 0; i < 3; ++i)
        if (!std::isfinite(light.point[i]) || !std::isfinite(light.direction[i]))
            return false;
    return true;
}

// The light a prepared light throws on untextured samples across the image.
int64_t totalDiffuse(const RenderLight& light) {
    auto block = neutralBlock();
    block->lights[0] = light;
    block->lightCount = 1;
    FacetArrays samples(81);
    const float up[3] = {0, 0, 1};
    for (int i = 0; i < 81; ++i)
        samples.setFacet(i, (i % 9 - 4) * 0.25f, (i / 9 - 4) * 0.25f, up, 255, 255, 255);
    shadeBatch(*block, samples.untexturedBatch(), false);
    int64_t total = 0;
    for (int i = 0; i < 81; ++i)
        total += int64_t(samples.diffuse[4 * i]) + samples.specular[4 * i];
    return total;
}
} // namespace

TEST(RenderPreparation, DisabledLightsLeaveNoGap) {
    auto state = framedState();
    auto block = neutralBlock();
    state->lightCount = 4;
    const uint32_t types[] = {Omni, Spot, Directional, Directional};
    const bool enabled[] = {true, false, false, true};
    for (int i = 0; i < 4; ++i) {
        state->lights[i].type = types[i];
        state->lights[i].enabled = enabled[i];
        state->lights[i].intensity = int16_t(i + 1);
    }
    preparePreview(*state, *block, 0);
    ASSERT_EQ(block->lightCount, 2);
    EXPECT_EQ(block->lights[0].type, Omni);
    EXPECT_EQ(block->lights[1].type, Directional);
    EXPECT_EQ(block->lights[1].strength[0], 65535 * 4 / 32);

    state->lightCount = 0;
    preparePreview(*state, *block, 0);
    EXPECT_EQ(block->lightCount, 0);
}

TEST(RenderPreparation, StrengthsTruncateTowardZero) {
    LightSource light;
    RenderLight prepared;
    light.color[0] = 65535;
    light.color[1] = 31;
    light.color[2] = 31;
    light.intensity = -127;
    prepareLightPreview(light, prepared, 60, 0);
    EXPECT_EQ(prepared.strength[0], -260092);
    EXPECT_EQ(prepared.strength[1], -123); // -123.03
    light.intensity = 129;
    prepareLightPreview(light, prepared, 60, 0);
    EXPECT_EQ(prepared.strength[0], 264187);
    light.intensity = -1;
    prepareLightPreview(light, prepared, 60, 0);
    EXPECT_EQ(prepared.strength[2], 0); // -0.97 goes to 0, not -1
}

TEST(RenderPreparation, OmniHangsAboveItsPosition) {
    LightSource light;
    RenderLight prepared;
    light.type = Omni;
    light.position = {-30, 15};
    light.radius = 30;
    prepareLightPreview(light, prepared, 60, 0);
    EXPECT_FLOAT_EQ(prepared.point[0], -0.5f);
    EXPECT_FLOAT_EQ(prepared.point[1], 0.25f);
    EXPECT_FLOAT_EQ(prepared.point[2], 0.5f * 0.57735026f);
    light.radius = 0;
    prepareLightPreview(light, prepared, 60, 0);
    EXPECT_EQ(prepared.point[2], 0.0f) << "in the image plane";
}

TEST(RenderPreparation, DirectionalSteepensWithAShortHandle) {
    LightSource light;
    RenderLight prepared;
    light.type = Directional;
    light.vector0 = {0, 0};
    prepareLightPreview(light, prepared, 60, 0);
    EXPECT_EQ(prepared.direction[0], 0.0f);
    EXPECT_EQ(prepared.direction[1], 0.0f);
    EXPECT_EQ(prepared.direction[2], 1.0f);

    for (Point16 handle : {Point16{99, 0}, Point16{0, -99}, Point16{120, 50}}) {
        light.vector0 = handle;
        prepareLightPreview(light, prepared, 60, 0);
        const float length = float(std::sqrt(handle.x * handle.x + handle.y * handle.y + 1.0));
        EXPECT_FLOAT_EQ(prepared.direction[2], 1.0f / length) << "grazing: z = 1";
        EXPECT_FLOAT_EQ(prepared.direction[0], handle.x / length);
    }
    light.vector0 = {30, 40}; // |v| = 50, z = 50
    prepareLightPreview(light, prepared, 60, 0);
    EXPECT_FLOAT_EQ(prepared.direction[2], float(50 / std::sqrt(5000.0)));
}

TEST(RenderPreparation, SpotOverACircleHangsStraightAboveAndLooksDown) {
    LightSource light;
    RenderLight prepared;
    light.position = {12, -6};
    light.vector0 = {0, -30};
    light.vector1 = {30, 0};
    prepareLightPreview(light, prepared, 60, 0);
    EXPECT_NEAR(prepared.point[0], 0.2f, 1e-6);
    EXPECT_NEAR(prepared.point[1], -0.1f, 1e-6);
    EXPECT_NEAR(prepared.point[2], 0.5f, 1e-6); // at the height of the radius
    EXPECT_NEAR(prepared.direction[0], 0.0f, 1e-6);
    EXPECT_NEAR(prepared.direction[1], 0.0f, 1e-6);
    EXPECT_NEAR(prepared.direction[2], -1.0f, 1e-6);
    EXPECT_EQ(prepared.coneCosine, 0.707f);
}

TEST(RenderPreparation, DefaultSpotLeansOutAlongItsFirstAxis) {
    // vector0 (30, 30), vector1 (-15, 15): ratio = sqrt(1.25) x sqrt(2) / 2 = 0.79.
    auto state = framedState();
    state->resetToDefaultStyle();
    auto block = neutralBlock();
    preparePreview(*state, *block, 1);
    const RenderLight& spot = block->lights[0];
    const double length = std::sqrt(0.5 * 0.5 * 2);
    const double twoAlpha =
        2 * (std::asin(std::sqrt(1.25) * std::sqrt(0.5)) - std::numbers::pi / 4);
    EXPECT_NEAR(std::sqrt(1.25) * std::sqrt(0.5), 0.79, 0.001);
    EXPECT_NEAR(spot.point[2], length * std::sin(twoAlpha), 1e-6);
    // Out along vector0: to the right and, y growing downwards, down.
    const double out = length * std::cos(twoAlpha) * std::sqrt(0.5);
    EXPECT_NEAR(spot.point[0], out, 1e-6);
    EXPECT_NEAR(spot.point[1], out, 1e-6);
    // Aimed back across the ellipse and down.
    EXPECT_LT(spot.direction[0], 0.0f);
    EXPECT_LT(spot.direction[1], 0.0f);
    EXPECT_LT(spot.direction[2], 0.0f);
    EXPECT_EQ(spot.falloffScale, float(2 * 255 / (2 - std::sqrt(2.0))));
    EXPECT_EQ(spot.falloffStart, 0.70710677f);
}

TEST(RenderPreparation, SpotTableSizeFollowsTheFlag) {
    LightSource light;
    RenderLight preview{}, final{};
    fillSpotTable(light, preview, 1);
    fillSpotTable(light, final, 0);
    EXPECT_FLOAT_EQ(preview.falloffScale * (2 - std::sqrt(2.0f)) / 2, 255.0f);
    EXPECT_FLOAT_EQ(final.falloffScale * (2 - std::sqrt(2.0f)) / 2, 1023.0f);
    EXPECT_FLOAT_EQ(preview.falloff[255], 1.0f);
    EXPECT_NEAR(preview.falloff[128], final.falloff[4 * 128 + 2], 1e-3);
}

TEST(RenderPreparation, SpotWithoutFirstAxisAddsNothing) {
    LightSource light;
    RenderLight prepared;
    for (Point16 second : {Point16{0, 0}, Point16{-15, 15}}) {
        light.vector0 = {0, 0};
        light.vector1 = second;
        prepareLightPreview(light, prepared, 60, 0);
        EXPECT_TRUE(allFinite(prepared));
        EXPECT_EQ(totalDiffuse(prepared), 0);
    }
    light.vector0 = {30, 30};
    prepareLightPreview(light, prepared, 60, 0);
    EXPECT_GT(totalDiffuse(prepared), 0);
}

TEST(RenderPreparation, AngleOfCoversEveryQuadrantAndAxis) {
    const double pi = double(3.1415927f);
    EXPECT_EQ(angleOf(0, 0), pi / 2);
    EXPECT_EQ(angleOf(2, 0), pi / 2);
    EXPECT_EQ(angleOf(-2, 0), -pi / 2);
    EXPECT_EQ(angleOf(0, 3), 0.0);
    EXPECT_EQ(angleOf(0, -3), pi);
    EXPECT_NEAR(angleOf(1, 1), std::numbers::pi / 4, 1e-15);
    EXPECT_NEAR(angleOf(1, -1), pi - std::numbers::pi / 4, 1e-15);
    EXPECT_NEAR(angleOf(-1, -1), -pi + std::numbers::pi / 4, 1e-15);
    EXPECT_NEAR(angleOf(-1, 1), -std::numbers::pi / 4, 1e-15);
}

TEST(RenderPreparation, PercentVariantPreparesAndRefreshesThePixels) {
    auto state = framedState(); // frame 120 pixels
    auto block = neutralBlock();
    state->lightCount = 2;
    LightSource& omni = state->lights[0];
    omni.type = Omni;
    omni.positionPct = {25.0f, -12.5f};
    omni.radiusPct = 10.2f;
    LightSource& directional = state->lights[1];
    directional.type = Directional;
    directional.vector0Pct = {82.5f, 0.0f}; // 99 pixels
    directional.vector1Pct = {-0.4f, 0.42f};
    prepareFromPercent(*state, *block, 0);

    EXPECT_FLOAT_EQ(block->lights[0].point[0], 0.5f);
    EXPECT_FLOAT_EQ(block->lights[0].point[1], -0.25f);
    EXPECT_FLOAT_EQ(block->lights[1].direction[2], float(1 / std::sqrt(99.0 * 99 + 1)));
    EXPECT_EQ(omni.position.x, 30);
    EXPECT_EQ(omni.position.y, -15);
    EXPECT_EQ(omni.radius, 12); // trunc(12.24 + 0.5)
    EXPECT_EQ(directional.vector0.x, 99);
    EXPECT_EQ(directional.vector1.x, 0); // -0.48 rounds to 0
    EXPECT_EQ(directional.vector1.y, 1); // 0.504 rounds away from zero
}

TEST(RenderPreparation, PercentGeometryOfAnySizeStaysDefined) {
    auto state = framedState();
    auto block = neutralBlock();
    state->lightCount = 3;
    const float huge = 1e30f, inf = INFINITY, nan = NAN;
    const uint32_t types[] = {Omni, Directional, Spot};
    for (int i = 0; i < 3; ++i) {
        LightSource& light = state->lights[i];
        light.type = types[i];
        light.positionPct = {huge, nan};
        light.vector0Pct = {-inf, huge};
        light.vector1Pct = {nan, -huge};
        light.radiusPct = inf;
    }
    prepareFromPercent(*state, *block, 0);
    ASSERT_EQ(block->lightCount, 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(allFinite(block->lights[i])) << i;
        totalDiffuse(block->lights[i]); // shades without undefined behaviour
        const LightSource& light = state->lights[i];
        EXPECT_EQ(light.position.x, 32767);
        EXPECT_EQ(light.position.y, 0);
        EXPECT_EQ(light.vector0.x, -32768);
        EXPECT_EQ(light.vector1.y, -32768);
        EXPECT_EQ(light.radius, 32767);
    }
}
