// Writing the settings as a scripting descriptor: the key order, which keys
// appear when, every conversion, the error rule, and the round trip through a
// fresh state.
#include <gtest/gtest.h>

#include "protocol/four_cc.h"
#include "protocol/plugin_api.h"
#include "scripting/script_parameters.h"
#include "settings/percent_scale.h"
#include "tests/support/script_fixture.h"

namespace {
using Keys = std::vector<std::string>;

void setLight(PluginState& state, int index, uint32_t type, Point16 position) {
    LightSource& light = state.settings.lights[index];
    light.type = type;
    light.position = position;
    light.vector0 = {30, -20};
    light.vector1 = {-10, -15};
    light.radius = 25;
    light.color[0] = 65535;
    light.color[1] = 32768;
    light.color[2] = 257;
    light.intensity = int16_t(40 * index - 60);
    light.focus = int16_t(200 - 50 * index);
    light.enabled = index != 1;
}

// A state as the dialog leaves it: three lights of every type, a texture.
void setDialogSettings(PluginState& state) {
    state.settings.lightCount = 3;
    state.settings.currentLight = 1;
    setLight(state, 0, Spot, {10, 0});
    setLight(state, 1, Omni, {-37, 81});
    setLight(state, 2, Directional, {0, -100});
    state.settings.gloss = 200;
    state.settings.material = 3;
    state.settings.exposure = 129;
    state.settings.ambience = -40;
    state.settings.ambientColor[0] = 1000;
    state.settings.ambientColor[1] = 65534;
    state.settings.ambientColor[2] = 0;
    state.settings.textureChannel = 5;
    state.settings.whiteIsHigh = false;
    state.settings.reliefAmount = 77;
}

const DescriptorValue& light(const Descriptor& written, size_t index) {
    return find(written, "LghS")->list.at(index);
}

std::pair<double, double> pointOf(const DescriptorValue& point) {
    return {point.object.items.at(0).value.number, point.object.items.at(1).value.number};
}

// Settings as a script shows them: positions that show the same percentage
// (the scale has 257 positions for 201 percentages) are the same setting.
int32_t shown(int32_t position) {
    return PositionToPercent(position, PercentScale::Wide);
}

int32_t integerOf(const Descriptor& descriptor, const char (&key)[5]) {
    const DescriptorValue* value = find(descriptor, key);
    return value ? value->integer : -99999;
}
} // namespace

TEST(WriteScript, KeysComeInTheirFixedOrder) {
    ScriptFixture fixture;
    fixture.state.settings.lightCount = 0;
    fixture.script.recordMode = 1;
    int16_t cell = 99;
    const Descriptor plain = fixture.write(cell);
    EXPECT_EQ(cell, 0);
    EXPECT_EQ(fixture.script.recordMode, 0);
    EXPECT_EQ(keysOf(plain),
              (Keys{"LghS", "CrnL", "Glos", "Mtrl", "Exps", "AmbB", "AmbC", "FrmW"}));
    EXPECT_TRUE(find(plain, "LghS")->list.empty());

    setDialogSettings(fixture.state);
    const Descriptor textured = fixture.write();
    EXPECT_EQ(keysOf(textured), (Keys{"LghS", "CrnL", "Glos", "Mtrl", "Exps", "AmbB", "AmbC",
                                      "BmpC", "WhHi", "BmpA", "FrmW"}));
    ASSERT_EQ(find(textured, "LghS")->list.size(), 3u);
    // Only spots write 'Fcs '.
    EXPECT_EQ(keysOf(light(textured, 0).object),
              (Keys{"Clr ", "On  ", "Fcs ", "Intn", "LghT", "Pstn", "Vct0", "Vct1", "Rds "}));
    EXPECT_EQ(keysOf(light(textured, 1).object),
              (Keys{"Clr ", "On  ", "Intn", "LghT", "Pstn", "Vct0", "Vct1", "Rds "}));
    EXPECT_EQ(keysOf(light(textured, 2).object),
              (Keys{"Clr ", "On  ", "Intn", "LghT", "Pstn", "Vct0", "Vct1", "Rds "}));
}

TEST(WriteScript, ValuesAreConvertedForTheScript) {
    ScriptFixture fixture(200);
    setDialogSettings(fixture.state);
    const Descriptor written = fixture.write();
    EXPECT_EQ(integerOf(written, "CrnL"), 2);
    EXPECT_EQ(integerOf(written, "Glos"), 56); // 200 x 200 / 256 - 100
    EXPECT_EQ(integerOf(written, "Mtrl"), -98);
    EXPECT_EQ(integerOf(written, "Exps"), 0);
    EXPECT_EQ(integerOf(written, "AmbB"), -33); // position 87
    EXPECT_EQ(integerOf(written, "BmpA"), 30);
    EXPECT_FALSE(find(written, "WhHi")->boolean);
    const Descriptor& ambient = find(written, "AmbC")->object;
    EXPECT_EQ(find(written, "AmbC")->objectClass, fourCC("RGBC"));
    // Whole components for multiples of 257, otherwise the channel's span to
    // three decimals.
    EXPECT_EQ(find(ambient, "Rd  ")->number, 3.893);
    EXPECT_EQ(find(ambient, "Grn ")->number, 254.998);
    EXPECT_EQ(find(ambient, "Bl  ")->number, 0.0);
    // 150 preview pixels of a 200-pixel frame.
    EXPECT_EQ(find(written, "FrmW")->number, 75.0);

    const Descriptor& spot = light(written, 0).object;
    EXPECT_EQ(light(written, 0).objectClass, fourCC("LghS"));
    EXPECT_EQ(find(spot, "Clr ")->objectClass, fourCC("RGBC"));
    EXPECT_EQ(find(find(spot, "Clr ")->object, "Rd  ")->number, 255.0);
    EXPECT_EQ(find(find(spot, "Clr ")->object, "Grn ")->number, 127.504);
    EXPECT_EQ(find(find(spot, "Clr ")->object, "Bl  ")->number, 1.0);
    EXPECT_TRUE(find(spot, "On  ")->boolean);
    EXPECT_EQ(integerOf(spot, "Fcs "), 56);
    EXPECT_EQ(integerOf(spot, "Intn"), -48); // position -60 + 127 = 67
    EXPECT_EQ(find(spot, "LghT")->enumType, fourCC("LghT"));
    EXPECT_EQ(find(spot, "LghT")->enumValue, fourCC("LghS"));
    // 10 pixels right of the centre in a 200-pixel frame.
    EXPECT_EQ(pointOf(*find(spot, "Pstn")), std::make_pair(55.0, 50.0));
    EXPECT_EQ(pointOf(*find(spot, "Vct0")), std::make_pair(65.0, 40.0));
    EXPECT_EQ(find(spot, "Rds ")->number, 12.5);

    EXPECT_FALSE(find(light(written, 1).object, "On  ")->boolean);
    EXPECT_EQ(find(light(written, 1).object, "LghT")->enumValue, fourCC("LghO"));
    EXPECT_EQ(find(light(written, 2).object, "LghT")->enumValue, fourCC("LghD"));
}

TEST(WriteScript, IntensityZeroPercentIsPositionOne) {
    ScriptFixture fixture;
    fixture.state.settings.lightCount = 1;
    fixture.state.settings.lights[0].intensity = 1;
    EXPECT_EQ(integerOf(light(fixture.write(), 0).object, "Intn"), 0);
}

TEST(WriteScript, TextureChannelForms) {
    ScriptFixture fixture;
    fixture.state.settings.textureChannel = 2;
    ChannelReference reference = find(fixture.write(), "BmpC")->reference;
    EXPECT_EQ(reference.desiredClass, fourCC("Chnl"));
    EXPECT_EQ(reference.form, fourCC("Enmr"));
    EXPECT_EQ(reference.type, fourCC("Chnl"));
    EXPECT_EQ(reference.value, fourCC("Grn "));

    fixture.state.settings.textureChannel = 5;
    reference = find(fixture.write(), "BmpC")->reference;
    EXPECT_EQ(reference.form, fourCC("name"));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(reference.name + 1), reference.name[0]),
              "Alpha 2");

    fixture.withoutPropertyServices();
    reference = find(fixture.write(), "BmpC")->reference;
    EXPECT_EQ(reference.form, fourCC("indx"));
    EXPECT_EQ(reference.index, 5);
    EXPECT_EQ(reference.name[0], 0);
}

TEST(WriteScript, FrameNeverMeasuredWritesNoUndefinedNumbers) {
    ScriptFixture fixture(0);
    fixture.state.settings.lightCount = 1;
    fixture.state.settings.lights[0].position = {10, 10};
    const Descriptor written = fixture.write();
    EXPECT_EQ(find(written, "FrmW")->number, 0.0);
    EXPECT_EQ(pointOf(*find(light(written, 0).object, "Pstn")), std::make_pair(50.0, 50.0));
}

TEST(WriteScript, EveryWholePercentageSurvivesReadAndWrite) {
    ScriptFixture fixture;
    for (int32_t percent = -100; percent <= 100; ++percent) {
        int16_t cell = 0;
        const int32_t narrow = std::max(percent, 0);
        ASSERT_TRUE(fixture.read({{integerItem("Glos", percent), integerItem("Mtrl", percent),
                                   integerItem("Exps", percent), integerItem("AmbB", percent),
                                   channelByEnumItem("Rd  "), integerItem("BmpA", narrow),
                                   lightListItem({lightValue({integerItem("Intn", percent),
                                                              integerItem("Fcs ", percent)})})}},
                                 cell));
        const Descriptor written = fixture.write();
        EXPECT_EQ(integerOf(written, "Glos"), percent);
        EXPECT_EQ(integerOf(written, "Mtrl"), percent);
        EXPECT_EQ(integerOf(written, "Exps"), percent);
        EXPECT_EQ(integerOf(written, "AmbB"), percent);
        EXPECT_EQ(integerOf(written, "BmpA"), narrow);
        EXPECT_EQ(integerOf(light(written, 0).object, "Intn"), percent);
        EXPECT_EQ(integerOf(light(written, 0).object, "Fcs "), percent);
    }
}

namespace {
std::vector<uint32_t> integerKeysTried;
} // namespace

TEST(WriteScript, FirstErrorMakesLaterWritesNoOps) {
    // A writer table whose integer write of 'Exps' fails.
    static DescriptorWriterTable failing;
    failing = *hostWriterTable();
    failing.writeInteger = [](DescriptorWriteToken* writer, uint32_t key, int32_t value) {
        integerKeysTried.push_back(key);
        if (key == fourCC("Exps"))
            return int16_t(-4242);
        return hostWriterTable()->writeInteger(writer, key, value);
    };
    integerKeysTried.clear();
    ScriptFixture fixture;
    setDialogSettings(fixture.state);
    fixture.script.writerTable = &failing;
    int16_t cell = 0;
    ScriptContext context{fixture.state.settings, &fixture.record};
    EXPECT_FALSE(UtilWriteDescriptors(&context, fixture.record.handleTable, &fixture.script,
                                      WriteScriptParameters, &cell));
    EXPECT_EQ(cell, -4242);
    ASSERT_GE(integerKeysTried.size(), 2u);
    EXPECT_EQ(integerKeysTried.back(), fourCC("Exps")); // neither 'AmbB' nor 'BmpA' followed
    EXPECT_EQ(fixture.script.descriptor, nullptr);      // nothing is handed over
}

TEST(WriteScript, RecordingReplaysIntoTheSameSettingsAndDescriptor) {
    ScriptFixture dialog(240);
    setDialogSettings(dialog.state);
    const Descriptor recorded = dialog.write();

    ScriptFixture fresh(240);
    int16_t cell = 0;
    ASSERT_TRUE(fresh.read(recorded, cell));
    const Settings& a = dialog.state.settings;
    const Settings& b = fresh.state.settings;
    EXPECT_EQ(b.lightCount, a.lightCount);
    EXPECT_EQ(b.currentLight, a.currentLight);
    EXPECT_EQ(shown(b.gloss), shown(a.gloss));
    EXPECT_EQ(shown(b.material), shown(a.material));
    EXPECT_EQ(shown(b.exposure), shown(a.exposure));
    EXPECT_EQ(shown(b.ambience + 127), shown(a.ambience + 127));
    EXPECT_EQ(PositionToPercent(b.reliefAmount, PercentScale::Narrow),
              PositionToPercent(a.reliefAmount, PercentScale::Narrow));
    EXPECT_EQ(b.whiteIsHigh, a.whiteIsHigh);
    EXPECT_EQ(b.textureChannel, a.textureChannel);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(b.ambientColor[c], a.ambientColor[c]) << "every channel comes back";
    for (int i = 0; i < a.lightCount; ++i) {
        const LightSource &x = a.lights[i], &y = b.lights[i];
        EXPECT_EQ(y.type, x.type) << i;
        EXPECT_EQ(y.enabled, x.enabled) << i;
        EXPECT_EQ(shown(y.intensity + 127), shown(x.intensity + 127)) << i;
        if (x.type == Spot) {
            EXPECT_EQ(shown(y.focus), shown(x.focus)) << i;
        }
        EXPECT_EQ(y.position.x, x.position.x) << i;
        EXPECT_EQ(y.position.y, x.position.y) << i;
        EXPECT_EQ(y.vector0.x, x.vector0.x) << i;
        EXPECT_EQ(y.vector1.y, x.vector1.y) << i;
        EXPECT_EQ(y.radius, x.radius) << i;
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(y.color[c], x.color[c]) << i;
    }
    EXPECT_EQ(fresh.write(), recorded);

    // Read back once more, the settings themselves no longer move.
    ScriptFixture again(240);
    ASSERT_TRUE(again.read(recorded, cell));
    EXPECT_EQ(again.state.settings.exposure, b.exposure);
    EXPECT_EQ(again.state.settings.lights[1].intensity, b.lights[1].intensity);
}
