// Reading the settings from a scripting descriptor through the host's reader
// table: every key and conversion, the texture channel forms, the mended
// bounds, and what a host error does to the read and to the start.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/checked_alloc.h"
#include "protocol/four_cc.h"
#include "protocol/plugin_api.h"
#include "tests/support/script_fixture.h"
#include "tests/support/test_host.h"

namespace {
DescriptorValue spot(double positionX) {
    return lightValue({enumeratedItem("LghT", "LghT", "LghS"), pointItem("Pstn", positionX, 50)});
}

void attachCacheBuffers(PluginState& state) {
    state.preview.summedCaches[CacheDiffuse].buffer = CheckedBuffer(16);
    state.preview.summedCaches[CacheDiffuse].valid = 1;
    state.preview.lightCaches[0][0] = {CheckedBuffer(16), 1};
}
} // namespace

TEST(ReadScript, MaterialPercentagesBecomeSliderPositions) {
    ScriptFixture fixture;
    int16_t cell = 99;
    ASSERT_TRUE(
        fixture.read({{integerItem("Glos", 0), integerItem("Mtrl", 100), integerItem("Exps", -100),
                       integerItem("AmbB", 0), integerItem("BmpA", 50)}},
                     cell));
    EXPECT_EQ(cell, 0);
    EXPECT_EQ(fixture.state.settings.gloss, 128);
    EXPECT_EQ(fixture.state.settings.material, 256);
    EXPECT_EQ(fixture.state.settings.exposure, 0);
    EXPECT_EQ(fixture.state.settings.ambience, 1); // position 128 - 127
    EXPECT_EQ(fixture.state.settings.reliefAmount, 128);

    ASSERT_TRUE(fixture.read({{integerItem("Glos", -150), integerItem("Mtrl", 250),
                               integerItem("BmpA", -5), booleanItem("WhHi", false)}},
                             cell));
    EXPECT_EQ(fixture.state.settings.gloss, 0);
    EXPECT_EQ(fixture.state.settings.material, 256);
    EXPECT_EQ(fixture.state.settings.reliefAmount, 0);
    EXPECT_FALSE(fixture.state.settings.whiteIsHigh);
}

TEST(ReadScript, EmptyDescriptorDropsTextureAndCachesAndFollowsPlayMode) {
    for (int16_t playMode : {int16_t(0), int16_t(1)}) {
        ScriptFixture fixture;
        fixture.state.settings.textureChannel = 4;
        fixture.state.settings.gloss = 77;
        fixture.state.run.showDialog = playMode == 0;
        attachCacheBuffers(fixture.state);
        int16_t cell = 99;
        ASSERT_TRUE(fixture.read(Descriptor{}, cell, playMode));
        EXPECT_EQ(cell, 0);
        EXPECT_EQ(fixture.state.settings.textureChannel, 0);
        EXPECT_EQ(fixture.state.settings.gloss, 77);
        EXPECT_EQ(fixture.state.preview.summedCaches[CacheDiffuse].buffer.get(), nullptr);
        EXPECT_EQ(fixture.state.preview.lightCaches[0][0].buffer.get(), nullptr);
        EXPECT_EQ(fixture.state.run.showDialog, playMode == 1);
    }
}

TEST(ReadScript, NoDescriptorLeavesTheStateAlone) {
    ScriptFixture fixture;
    fixture.state.settings.textureChannel = 2;
    fixture.state.run.showDialog = true;
    int16_t cell = 99;
    EXPECT_FALSE(UtilReadDescriptors(&fixture.state, fixture.record.handleTable, &fixture.script,
                                     nullptr, &cell));
    EXPECT_EQ(cell, 0);
    EXPECT_EQ(fixture.state.settings.textureChannel, 2);
    EXPECT_TRUE(fixture.state.run.showDialog);
}

TEST(ReadScript, ColoursAreScaledAndClamped) {
    ScriptFixture fixture;
    int16_t cell = 0;
    ASSERT_TRUE(fixture.read({{colourItem("AmbC", 255.0, 128.5, 0.0)}}, cell));
    EXPECT_EQ(fixture.state.settings.ambientColor[0], 65535);
    EXPECT_EQ(fixture.state.settings.ambientColor[1], 33024);
    EXPECT_EQ(fixture.state.settings.ambientColor[2], 0);

    // 256 would wrap to almost black when kept to 16 bits.
    ASSERT_TRUE(fixture.read({{colourItem("AmbC", 256.0, -3.0, std::nan(""))}}, cell));
    EXPECT_EQ(fixture.state.settings.ambientColor[0], 65535);
    EXPECT_EQ(fixture.state.settings.ambientColor[1], 0);
    EXPECT_EQ(fixture.state.settings.ambientColor[2], 0);

    // Components the object leaves out are 0.
    Descriptor onlyRed{{floatItem("Rd  ", 10.0)}};
    ASSERT_TRUE(fixture.read(
        {{{fourCC("AmbC"), DescriptorValue::makeObject(fourCC("RGBC"), onlyRed)}}}, cell));
    EXPECT_EQ(fixture.state.settings.ambientColor[0], 2570);
    EXPECT_EQ(fixture.state.settings.ambientColor[1], 0);
}

TEST(ReadScript, ColourWithoutObjectSetsOutOfMemoryAndKeepsTheColour) {
    ScriptFixture fixture;
    int16_t cell = 0;
    EXPECT_FALSE(fixture.read({{integerItem("AmbC", 5), integerItem("Glos", 100)}}, cell));
    EXPECT_EQ(cell, -108);
    EXPECT_EQ(fixture.state.settings.ambientColor[0], 65535);
    EXPECT_EQ(fixture.state.settings.gloss, 128); // the read stopped at the next key
}

TEST(ReadScript, LightsTakeEveryProperty) {
    ScriptFixture fixture(200);
    const DescriptorValue light = lightValue({
        colourItem("Clr ", 255, 0, 128.5),
        integerItem("Intn", 0),
        integerItem("Fcs ", 50),
        booleanItem("On  ", true),
        enumeratedItem("LghT", "LghT", "LghD"),
        pointItem("Pstn", 50, 50),
        pointItem("Vct0", 0, 50),
        pointItem("Vct1", 60, 45),
        floatItem("Rds ", 15.0),
    });
    int16_t cell = 0;
    ASSERT_TRUE(fixture.read({{lightListItem({light}), integerItem("CrnL", 1)}}, cell));
    ASSERT_EQ(fixture.state.settings.lightCount, 1);
    const LightSource& read = fixture.state.settings.lights[0];
    EXPECT_EQ(read.color[0], 65535);
    EXPECT_EQ(read.color[1], 0);
    EXPECT_EQ(read.color[2], 33024);
    EXPECT_EQ(read.intensity, 1); // position 128 - 127
    EXPECT_EQ(read.focus, 192);
    EXPECT_TRUE(read.enabled);
    EXPECT_EQ(read.type, Directional);
    // (50, 50) is the frame centre; (0, 50) half a frame to its left.
    EXPECT_EQ(read.positionPct.x, 0.0f);
    EXPECT_EQ(read.positionPct.y, 0.0f);
    EXPECT_EQ(read.vector0Pct.x, -50.0f);
    EXPECT_EQ(read.vector0.x, -100);
    EXPECT_EQ(read.vector0.y, 0);
    EXPECT_EQ(read.vector1.x, 20);
    EXPECT_EQ(read.vector1.y, -10);
    EXPECT_EQ(read.radiusPct, 15.0f);
    EXPECT_EQ(read.radius, 30);
    EXPECT_EQ(fixture.state.settings.currentLight, 0);
}

TEST(ReadScript, LightTypesAndSwitchingOff) {
    ScriptFixture fixture;
    fixture.state.preview.lightCaches[2][0].buffer = CheckedBuffer(16);
    int16_t cell = 0;
    ASSERT_TRUE(fixture.read({{lightListItem({
                                   lightValue({enumeratedItem("LghT", "LghT", "LghO")}),
                                   lightValue({enumeratedItem("LghT", "LghT", "XXXX")}),
                                   lightValue({booleanItem("On  ", false)}),
                               }),
                               integerItem("CrnL", 3)}},
                             cell));
    EXPECT_EQ(fixture.state.settings.lights[0].type, Omni);
    EXPECT_EQ(fixture.state.settings.lights[1].type, Spot);
    EXPECT_FALSE(fixture.state.settings.lights[2].enabled);
    EXPECT_EQ(fixture.state.preview.lightCaches[2][0].buffer.get(), nullptr);
    EXPECT_EQ(fixture.state.settings.currentLight, 2);
}

// A light given by its type alone: one the settings already held keeps its
// other values; one they did not hold is the dialog's new light, which lights
// the image (neither an omni light lying on the surface nor a spot without
// extent).
TEST(ReadScript, ALightTheSettingsDidNotHoldStartsAsANewLight) {
    ScriptFixture fixture(200);
    int16_t cell = 0;
    const DescriptorValue held = lightValue({colourItem("Clr ", 255, 0, 0), integerItem("Intn", 10),
                                             enumeratedItem("LghT", "LghT", "LghO"),
                                             pointItem("Pstn", 60, 40), floatItem("Rds ", 20.0)});
    ASSERT_TRUE(fixture.read({{lightListItem({held})}}, cell));
    const LightSource before = fixture.state.settings.lights[0];

    ASSERT_TRUE(fixture.read({{lightListItem({
                                 lightValue({enumeratedItem("LghT", "LghT", "LghO")}),
                                 lightValue({enumeratedItem("LghT", "LghT", "LghO")}),
                                 lightValue({enumeratedItem("LghT", "LghT", "LghD")}),
                             })}},
                             cell));
    const Settings& settings = fixture.state.settings;
    ASSERT_EQ(settings.lightCount, 3);
    EXPECT_EQ(settings.lights[0].color[1], before.color[1]);
    EXPECT_EQ(settings.lights[0].intensity, before.intensity);
    EXPECT_EQ(settings.lights[0].position.x, before.position.x);
    EXPECT_EQ(settings.lights[0].radius, 40); // 20 percent of 200
    const LightSource newLight;
    for (int i : {1, 2}) {
        const LightSource& light = settings.lights[i];
        EXPECT_EQ(light.color[0], 65535) << i;
        EXPECT_EQ(light.color[2], 65535) << i;
        EXPECT_EQ(light.intensity, newLight.intensity) << i;
        EXPECT_EQ(light.focus, newLight.focus) << i;
        EXPECT_TRUE(light.enabled) << i;
        EXPECT_EQ(light.position.x, 0) << i;
        EXPECT_EQ(light.position.y, 0) << i;
        EXPECT_EQ(light.vector0.x, newLight.vector0.x) << i;
        EXPECT_EQ(light.vector0.y, newLight.vector0.y) << i;
        EXPECT_EQ(light.vector1.x, newLight.vector1.x) << i;
        EXPECT_EQ(light.vector1.y, newLight.vector1.y) << i;
        EXPECT_EQ(light.radius, newLight.radius) << i;
        EXPECT_EQ(light.origin.x, settings.frameCenter.x) << i;
        // The percent geometry agrees, since the render is prepared from it.
        EXPECT_FLOAT_EQ(light.radiusPct, 100.0f * newLight.radius / 200) << i;
        EXPECT_FLOAT_EQ(light.vector0Pct.x, 100.0f * newLight.vector0.x / 200) << i;
    }
    EXPECT_EQ(settings.lights[1].type, Omni);
    EXPECT_EQ(settings.lights[2].type, Directional);
}

TEST(ReadScript, LongLightListKeepsTheFirstSixteen) {
    ScriptFixture fixture(200);
    std::vector<DescriptorValue> lights;
    for (int i = 0; i < 20; ++i)
        lights.push_back(spot(50 + i));
    int16_t cell = 0;
    ASSERT_TRUE(fixture.read(
        {{lightListItem(lights), integerItem("CrnL", 20), integerItem("Glos", 100)}}, cell));
    EXPECT_EQ(cell, 0);
    EXPECT_EQ(fixture.state.settings.lightCount, 16);
    EXPECT_EQ(fixture.state.settings.lights[15].position.x, 30); // 15 percent of 200
    EXPECT_EQ(fixture.state.settings.currentLight, 15);
    EXPECT_EQ(fixture.state.settings.gloss, 256); // reading went on after the list
}

TEST(ReadScript, CurrentLightIsKeptAmongTheLightsInUse) {
    struct Case {
        int32_t currentLight;
        int lights;
        uint16_t expected;
    };
    for (Case c : {Case{2, 3, 1},
                   {99, 2, 1},
                   {0, 2, 0},
                   {-5, 2, 0},
                   {std::numeric_limits<int32_t>::min(), 2, 0},
                   {65537, 4, 3},
                   {3, 0, 0}}) {
        ScriptFixture fixture;
        int16_t cell = 0;
        // 'CrnL' first: the list that follows decides the bound.
        ASSERT_TRUE(fixture.read(
            {{integerItem("CrnL", c.currentLight),
              lightListItem(std::vector<DescriptorValue>(size_t(c.lights), spot(50)))}},
            cell));
        EXPECT_EQ(fixture.state.settings.currentLight, c.expected) << c.currentLight;
    }
}

TEST(ReadScript, HugeAndUndefinedGeometryIsBounded) {
    ScriptFixture fixture(200);
    const double infinity = std::numeric_limits<double>::infinity();
    int16_t cell = 0;
    ASSERT_TRUE(fixture.read({{lightListItem({lightValue({pointItem("Pstn", 1.0e300, -infinity),
                                                          pointItem("Vct0", std::nan(""), 50),
                                                          floatItem("Rds ", infinity)})}),
                               floatItem("FrmW", 1.0e308)}},
                             cell));
    const LightSource& light = fixture.state.settings.lights[0];
    EXPECT_TRUE(std::isfinite(light.positionPct.x));
    EXPECT_TRUE(std::isfinite(light.positionPct.y));
    EXPECT_EQ(light.position.x, 32767);
    EXPECT_EQ(light.position.y, -32768);
    EXPECT_EQ(light.vector0Pct.x, -50.0f); // not-a-number reads as 0 percent
    EXPECT_EQ(light.radiusPct, 1.0e6f);
    EXPECT_EQ(light.radius, 32767);
    EXPECT_TRUE(std::isfinite(fixture.state.settings.imageWidthRatio));
    EXPECT_EQ(fixture.state.settings.imageWidthRatio, 1.0e4f);
}

TEST(ReadScript, ImageWidthComesInPercent) {
    ScriptFixture fixture;
    int16_t cell = 0;
    ASSERT_TRUE(fixture.read({{floatItem("FrmW", 75.0)}}, cell));
    EXPECT_EQ(fixture.state.settings.imageWidthRatio, 0.75f);
    EXPECT_TRUE(fixture.state.settings.imageWidthRatioSet);
}

TEST(ReadScript, TextureChannelByEnumeratedValueIndexOrName) {
    struct Case {
        DescriptorItem reference;
        uint16_t channel;
    };
    const std::vector<Case> cases = {
        {channelByEnumItem("Rd  "), 1},     {channelByEnumItem("Grn "), 2},
        {channelByEnumItem("Bl  "), 3},     {channelByEnumItem("Gren"), 0},
        {channelByIndexItem(5), 5},         {channelByIndexItem(6), 0},
        {channelByIndexItem(65537), 0},     {channelByIndexItem(-1), 0},
        {channelByNameItem("Alpha 1"), 4},  {channelByNameItem("Alpha 2"), 5},
        {channelByNameItem("alpha 1"), 0},  {channelByNameItem("Alpha"), 0},
        {channelByNameItem("Alpha 1 "), 0}, {channelByNameItem(""), 0},
    };
    for (const Case& c : cases) {
        ScriptFixture fixture;
        int16_t cell = 0;
        ASSERT_TRUE(fixture.read({{c.reference}}, cell));
        EXPECT_EQ(fixture.state.settings.textureChannel, c.channel)
            << std::string(reinterpret_cast<const char*>(c.reference.value.reference.name + 1),
                           c.reference.value.reference.name[0])
            << " index " << c.reference.value.reference.index;
    }
}

TEST(ReadScript, TextureByNameWithoutChannelListGivesNoTexture) {
    ScriptFixture fixture;
    fixture.withoutPropertyServices();
    fixture.state.settings.textureChannel = 2;
    int16_t cell = 0;
    ASSERT_TRUE(fixture.read({{channelByNameItem("Alpha 1")}}, cell));
    EXPECT_EQ(cell, 0);
    EXPECT_EQ(fixture.state.settings.textureChannel, 0);
}

TEST(ReadScript, UnknownKeysAreSkipped) {
    ScriptFixture other;
    int16_t cell = 0;
    ASSERT_TRUE(other.read(
        {{integerItem("Xtra", 5),
          lightListItem({lightValue({integerItem("Wxyz", 1), integerItem("Intn", 100)})}),
          integerItem("Glos", 100)}},
        cell));
    EXPECT_EQ(other.state.settings.lights[0].intensity, 129);
    EXPECT_EQ(other.state.settings.gloss, 256);
}

TEST(ReadScript, HostErrorStopsAtTheNextKeyAndAsksForTheDialog) {
    ScriptFixture fixture;
    int16_t cell = 0;
    // 'Mtrl' holds a double: the host's integer read fails.
    EXPECT_FALSE(fixture.read({{integerItem("Glos", 100), floatItem("Mtrl", 3.0),
                                integerItem("Exps", 100), channelByEnumItem("Rd  ")}},
                              cell, 0));
    EXPECT_EQ(cell, descriptorError::wrongType);
    EXPECT_EQ(fixture.state.settings.gloss, 256);
    EXPECT_EQ(fixture.state.settings.material, 0);
    EXPECT_EQ(fixture.state.settings.exposure, 128);
    EXPECT_EQ(fixture.state.settings.textureChannel, 0);
    EXPECT_TRUE(fixture.state.run.showDialog);
}

TEST(ReadScript, ErrorInOneLightEndsThatLightOnly) {
    ScriptFixture fixture;
    const DescriptorValue broken =
        lightValue({integerItem("Intn", 100), floatItem("Fcs ", 1.0), integerItem("Fcs ", 0)});
    const DescriptorValue fine = lightValue({integerItem("Intn", -100)});
    int16_t cell = 0;
    ASSERT_TRUE(fixture.read({{lightListItem({broken, DescriptorValue::makeInteger(3), fine}),
                               integerItem("Glos", 100)}},
                             cell));
    EXPECT_EQ(fixture.state.settings.lightCount, 3);
    EXPECT_EQ(fixture.state.settings.lights[0].intensity, 129);
    EXPECT_EQ(fixture.state.settings.lights[0].focus, 128); // the light ended at the bad value
    EXPECT_EQ(fixture.state.settings.lights[2].intensity, -127);
    EXPECT_EQ(fixture.state.settings.gloss, 256);

    // An error still in the cell when the list ends stops the whole read.
    ScriptFixture last;
    EXPECT_FALSE(last.read({{lightListItem({fine, broken}), integerItem("Glos", 100)}}, cell));
    EXPECT_EQ(cell, descriptorError::wrongType);
    EXPECT_EQ(last.state.settings.gloss, 128);
    EXPECT_TRUE(last.state.run.showDialog);
}

TEST(ReadScript, HostErrorFailsTheStartWithItsCode) {
    ScriptFixture scripting; // outlives the host, whose last finish writes into it
    TestHost host(32, 24);
    host.record.scriptRecord = &scripting.script;
    scripting.play({{integerItem("Glos", 10), booleanItem("Exps", true)}});
    ASSERT_EQ(host.call(SelectorPrepare), 0);
    EXPECT_EQ(host.call(SelectorStart), descriptorError::wrongType);
    EXPECT_EQ(host.state()->settings.gloss, 141);    // read before the failing key
    EXPECT_FALSE(host.state()->run.showDialog);      // a failed start clears it again
    EXPECT_EQ(scripting.script.descriptor, nullptr); // consumed
}

TEST(ReadScript, WithoutImageWidthTheFreshStateTakesThePreviewsRatio) {
    ScriptFixture scripting;
    TestHost host(300, 100);
    host.record.scriptRecord = &scripting.script;
    scripting.play({{integerItem("Glos", 10)}});
    ASSERT_EQ(host.call(SelectorPrepare), 0);
    ASSERT_EQ(host.call(SelectorStart), 0);
    const PluginState& state = *host.state();
    ASSERT_GT(state.settings.frameSize(), 0);
    EXPECT_FALSE(state.settings.imageWidthRatioSet);
    EXPECT_EQ(state.settings.imageWidthRatio,
              float(state.preview.width) / float(state.settings.frameSize()));
    EXPECT_TRUE(state.run.settingsValid);
    EXPECT_FALSE(state.run.showDialog);
}
