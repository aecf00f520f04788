// The style file's bytes: what a save writes, and how every stored field,
// every odd value and every cut-off file is read back.
#include <array>

#include "platform/checked_alloc.h"
#include "styles/style_body.h"
#include "styles/style_library.h"
#include "styles/style_record_of_settings.h"
#include "tests/support/styles_test_support.h"

namespace {
// One light as stored: red, green, blue, intensity, focus, on, type code,
// position x, y, vector 0 x, y, vector 1 x, y, radius.
using StoredLight = std::array<int, 14>;
constexpr StoredLight kYellowSpot = {65535, 65535, 0, 127, 128, 1, 3, -5, 3, 30, 30, -15, 15, 30};

// A style file made byte by byte, independently of the writer.
struct CraftedStyle {
    uint32_t version = 144;
    int texture = 0, whiteIsHigh = 1, relief = 128;
    int ambient[3] = {65535, 65535, 65535};
    int material = 0, gloss = 128, exposure = 128, ambience = 16;
    int storedCount = -1; // -1: the number of lights below
    int currentLight = 0;
    int halfFrame = 50;
    std::vector<StoredLight> lights = {kYellowSpot};

    std::vector<uint8_t> bytes() const {
        std::vector<uint8_t> out = {'B', 'B', 'Z', 'F', 'V', 'R'};
        auto put16 = [&](int v) {
            out.push_back(uint8_t(v >> 8));
            out.push_back(uint8_t(v));
        };
        put16(int(version >> 16));
        put16(int(version));
        for (int v : {texture, whiteIsHigh, relief, ambient[0], ambient[1], ambient[2], material,
                      gloss, exposure, ambience, storedCount < 0 ? int(lights.size()) : storedCount,
                      currentLight, halfFrame})
            put16(v);
        for (const StoredLight& light : lights)
            for (int v : light)
                put16(v);
        return out;
    }
};

class StyleFormatTest : public StyleFolderTest {
  protected:
    // Loads the bytes as a style file of the folder, and checks that the host's
    // way (the bytes in memory) gives the same result and the same settings.
    int load(const std::vector<uint8_t>& bytes, Settings& state) {
        writeWholeFile(stylePath("Essai"), bytes);
        auto twin = makeState(state.halfFrame());
        *twin = state;
        char name[] = "Essai";
        const int loaded = LoadStyle(name, state);
        EXPECT_EQ(loadStyleFromBytes(bytes, int16_t(state.halfFrame()), *twin), loaded);
        expectSameStyleSettings(*twin, state);
        return loaded;
    }

    std::vector<uint8_t> saved(const Settings& state) {
        char name[] = "Essai";
        EXPECT_EQ(SaveStyle(name, state), 1);
        return readWholeFile(stylePath("Essai"));
    }
};

uint16_t at16(const std::vector<uint8_t>& bytes, size_t offset) {
    return uint16_t(bytes[offset] << 8 | bytes[offset + 1]);
}

TEST(StyleRescaleTest, RoundsHalfAwayFromZeroAndTruncatesTo16Bits) {
    EXPECT_EQ(RescaleToFrame(-5, 50, 75), -8); // -7.5
    EXPECT_EQ(RescaleToFrame(3, 50, 75), 5);   // 4.5
    EXPECT_EQ(RescaleToFrame(-7, 2, 1), -4);   // -3.5
    EXPECT_EQ(RescaleToFrame(7, 2, 1), 4);
    EXPECT_EQ(RescaleToFrame(100, 126, 63), 50);
    EXPECT_EQ(RescaleToFrame(30, 126, 126), 30);
    EXPECT_EQ(RescaleToFrame(1234, 0, 75), 0);
    EXPECT_EQ(RescaleToFrame(-32768, 1, -1), -32768); // 32768 wraps in 16 bits
    EXPECT_EQ(RescaleToFrame(32767, 1, 2), -2);       // 65534 wraps in 16 bits
}

TEST_F(StyleFormatTest, OneLightIs64BytesAndSixteenAre484) {
    auto state = makeState(126);
    state->resetToDefaultStyle();
    EXPECT_EQ(saved(*state).size(), 64u);
    while (state->lightCount < kMaxLights)
        state->addLightAt(10, 10);
    EXPECT_EQ(saved(*state).size(), 484u);
}

TEST_F(StyleFormatTest, WritesEveryFieldBigEndianAtItsOffset) {
    auto state = makeState(50);
    state->resetToDefaultStyle();
    state->textureChannel = 3;
    state->whiteIsHigh = false;
    state->reliefAmount = 200;
    state->ambientColor[0] = 0x1234;
    state->material = 256;
    state->gloss = 7;
    state->exposure = 129;
    state->ambience = -5;
    state->addLightAt(state->frameCenter.x - 5, state->frameCenter.y + 3);
    LightSource& omni = state->lights[1];
    omni.type = Omni;
    omni.enabled = false;
    omni.radius = 44;
    omni.intensity = -127;

    const std::vector<uint8_t> bytes = saved(*state);
    ASSERT_EQ(bytes.size(), 36u + 2 * 28);
    const std::vector<uint8_t> head = {'B', 'B', 'Z', 'F', 'V', 'R', 0, 0, 0, 0x90};
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 10), head);
    EXPECT_EQ(at16(bytes, 10), 3);
    EXPECT_EQ(at16(bytes, 12), 0);
    EXPECT_EQ(at16(bytes, 14), 200);
    EXPECT_EQ(at16(bytes, 16), 0x1234);
    EXPECT_EQ(at16(bytes, 18), 65535);
    EXPECT_EQ(at16(bytes, 22), 256);
    EXPECT_EQ(at16(bytes, 24), 7);
    EXPECT_EQ(at16(bytes, 26), 129);
    EXPECT_EQ(at16(bytes, 28), 0xFFFB); // -5
    EXPECT_EQ(at16(bytes, 30), 2);
    EXPECT_EQ(at16(bytes, 32), 1); // the added light is current
    EXPECT_EQ(at16(bytes, 34), 50);
    // Light 0, the default spot: yellow, 127, focus 128, on, type code 3.
    const std::vector<int> spot = {65535, 65535, 0, 127, 128, 1, 3, 0, 0, 30, 30, 0xFFF1, 15, 30};
    for (size_t i = 0; i < spot.size(); ++i)
        EXPECT_EQ(at16(bytes, 36 + 2 * i), spot[i]) << "light 0 field " << i;
    EXPECT_EQ(at16(bytes, 64 + 6), 0xFF81); // -127
    EXPECT_EQ(at16(bytes, 64 + 10), 0);     // enabled 7 is written as off
    EXPECT_EQ(at16(bytes, 64 + 12), 2);     // omni
    EXPECT_EQ(at16(bytes, 64 + 14), 0xFFFB);
    EXPECT_EQ(at16(bytes, 64 + 16), 3);
    EXPECT_EQ(at16(bytes, 64 + 26), 44);
}

TEST_F(StyleFormatTest, SavedSettingsLoadBackUnchangedAtTheSameFrame) {
    auto written = makeState(126);
    written->resetToDefaultStyle();
    written->ambientColor[1] = 999;
    written->gloss = 250;
    written->ambience = 129;
    written->textureChannel = 2;
    written->reliefAmount = 0;
    for (int i = 1; i < 5; ++i)
        written->addLightAt(int16_t(written->frameCenter.x + 20 * i), int16_t(5 * i));
    written->lights[1].type = Directional;
    written->lights[2].type = Omni;
    written->lights[3].enabled = false;
    written->lights[4].focus = 0;
    written->currentLight = 3;
    const std::vector<uint8_t> bytes = saved(*written);

    auto read = makeState(126);
    read->resetToDefaultStyle();
    ASSERT_EQ(load(bytes, *read), 1);
    // Lights beyond the five keep what the reader had, like the original.
    for (int i = 5; i < kMaxLights; ++i)
        read->lights[i] = written->lights[i];
    expectSameStyleSettings(*written, *read);
}

TEST_F(StyleFormatTest, GeometryIsRescaledToTheReadersFrame) {
    CraftedStyle style; // position (-5, 3) saved with half frame 50
    style.lights[0] = {65535, 65535, 0, 127, 128, 1, 3, -5, 3, 30, -30, -15, 15, 31};
    auto state = makeState(75);
    ASSERT_EQ(load(style.bytes(), *state), 1);
    const LightSource& light = state->lights[0];
    EXPECT_EQ(light.position.x, -8);
    EXPECT_EQ(light.position.y, 5);
    EXPECT_EQ(light.vector0.x, 45);
    EXPECT_EQ(light.vector0.y, -45);
    EXPECT_EQ(light.vector1.x, -23); // -22.5
    EXPECT_EQ(light.vector1.y, 23);
    EXPECT_EQ(light.radius, 47); // 46.5
    EXPECT_EQ(light.origin.x, state->frameCenter.x);
    EXPECT_EQ(light.origin.y, state->frameCenter.y);

    style.halfFrame = 0;
    ASSERT_EQ(load(style.bytes(), *state), 1);
    EXPECT_EQ(state->lights[0].position.x, 0);
    EXPECT_EQ(state->lights[0].position.y, 0);
    EXPECT_EQ(state->lights[0].vector0.x, 0);
    EXPECT_EQ(state->lights[0].vector1.y, 0);
    EXPECT_EQ(state->lights[0].radius, 0);
}

TEST_F(StyleFormatTest, OddStoredValuesLoadAsTheDialogKnowsThem) {
    CraftedStyle style;
    style.whiteIsHigh = 2;
    style.currentLight = 3;
    StoredLight light = kYellowSpot;
    light[5] = 2; // on
    light[6] = 0; // type code
    style.lights = {light, light};
    style.lights[1][5] = 1;
    style.lights[1][6] = 7;
    auto state = makeState(50);
    ASSERT_EQ(load(style.bytes(), *state), 1);
    EXPECT_TRUE(state->whiteIsHigh);
    EXPECT_EQ(state->currentLight, 0); // 3 is not below the two lights read
    EXPECT_FALSE(state->lights[0].enabled);
    EXPECT_TRUE(state->lights[1].enabled);
    EXPECT_EQ(state->lights[0].type, Spot);
    EXPECT_EQ(state->lights[1].type, Spot);

    style.whiteIsHigh = 0;
    style.currentLight = 1;
    style.lights[0][6] = 1;
    style.lights[1][6] = 2;
    ASSERT_EQ(load(style.bytes(), *state), 1);
    EXPECT_FALSE(state->whiteIsHigh);
    EXPECT_EQ(state->currentLight, 1);
    EXPECT_EQ(state->lights[0].type, Directional);
    EXPECT_EQ(state->lights[1].type, Omni);
}

// Values no dialog can make are brought into the sliders' ranges.
TEST_F(StyleFormatTest, SettingsOutsideTheSliderRangesAreBroughtIntoThem) {
    CraftedStyle style;
    style.material = 0x7FFF;
    style.gloss = 300;
    style.exposure = 0x8000;
    style.ambience = -200;
    style.relief = 0xFFFF;
    style.lights[0][3] = 500;    // intensity
    style.lights[0][4] = 0xFFFD; // focus -3
    auto state = makeState(50);
    ASSERT_EQ(load(style.bytes(), *state), 1);
    EXPECT_EQ(state->material, 256);
    EXPECT_EQ(state->gloss, 256);
    EXPECT_EQ(state->exposure, 0);
    EXPECT_EQ(state->ambience, -127);
    EXPECT_EQ(state->reliefAmount, 0);
    EXPECT_EQ(state->lights[0].intensity, 129);
    EXPECT_EQ(state->lights[0].focus, 0);
}

TEST_F(StyleFormatTest, RefusedFilesLeaveTheStateAsItWas) {
    auto state = makeState(50);
    state->resetToDefaultStyle();
    state->addLightAt(3, 4);
    state->gloss = 77;
    auto before = makeState(50);
    *before = *state;

    CraftedStyle style;
    style.lights.push_back(kYellowSpot);
    for (uint32_t version : {143u, 145u, 0u, 144u << 16}) {
        style.version = version;
        EXPECT_EQ(load(style.bytes(), *state), 0) << "version " << version;
    }
    style.version = 144;
    style.storedCount = 0;
    EXPECT_EQ(load(style.bytes(), *state), 0) << "no lights";
    style.storedCount = -1;
    std::vector<uint8_t> badMark = style.bytes();
    badMark[1] = 'C';
    EXPECT_EQ(load(badMark, *state), 0);
    std::vector<uint8_t> badMagic = style.bytes();
    badMagic[5] = 'S';
    EXPECT_EQ(load(badMagic, *state), 0);
    expectSameStyleSettings(*before, *state);
}

TEST_F(StyleFormatTest, ACutFileKeepsOnlyItsWholeLights) {
    CraftedStyle style;
    style.lights = {kYellowSpot, kYellowSpot, kYellowSpot};
    style.lights[1][0] = 1;
    style.lights[2][0] = 2;
    const std::vector<uint8_t> whole = style.bytes();
    auto state = makeState(50);
    state->resetToDefaultStyle();
    auto before = makeState(50);
    *before = *state;
    for (size_t length = 0; length <= whole.size(); ++length) {
        SCOPED_TRACE("length " + std::to_string(length));
        auto reader = makeState(50);
        *reader = *before;
        const std::vector<uint8_t> cut(whole.begin(), whole.begin() + length);
        if (length < 64) {
            EXPECT_EQ(load(cut, *reader), 0);
            expectSameStyleSettings(*before, *reader);
            continue;
        }
        ASSERT_EQ(load(cut, *reader), 1);
        const uint16_t wholeLights = uint16_t((length - 36) / 28);
        EXPECT_EQ(reader->lightCount, wholeLights);
        EXPECT_EQ(reader->lights[wholeLights - 1].color[0],
                  wholeLights - 1 == 0 ? 65535 : wholeLights - 1);
    }
}

TEST_F(StyleFormatTest, ACountAboveSixteenReadsSixteenLights) {
    CraftedStyle style;
    style.storedCount = 40;
    style.lights.assign(17, kYellowSpot);
    style.lights[15][0] = 15;
    style.lights[16][0] = 16;
    auto state = makeState(50);
    ASSERT_EQ(load(style.bytes(), *state), 1);
    EXPECT_EQ(state->lightCount, 16);
    EXPECT_EQ(state->lights[15].color[0], 15);
}

TEST_F(StyleFormatTest, AFileObjectOpensOnceAndFailsWhenNotOpen) {
    StyleFile file;
    uint16_t value = 0;
    EXPECT_EQ(file.read16(value), 0);
    EXPECT_EQ(file.write16(1), 0);
    EXPECT_EQ(file.readBytes(1, &value), -1);
    EXPECT_EQ(CloseStyleFile(file), 0);

    auto state = makeState(50);
    state->resetToDefaultStyle();
    char name[] = "Essai";
    ASSERT_EQ(SaveStyle(name, *state), 1);
    ASSERT_EQ(OpenStyleForReading(file, name), 1);
    EXPECT_EQ(OpenStyleForReading(file, name), 0) << "already open";
    EXPECT_EQ(OpenStyleForWriting(file, name), 0) << "already open";
    EXPECT_EQ(WriteStyleBody(*state, file), 0) << "a file open for reading takes no writes";
    EXPECT_EQ(CloseStyleFile(file), 1);
    EXPECT_EQ(CloseStyleFile(file), 0);
}
} // namespace

// A style file keeps every slider setting of the parameter table, each once and
// in a field of its own scope, so a new slider setting cannot be left out of
// the styles, and every field the file keeps is distinct.
TEST(StyleSliderFields, EverySliderSettingHasOneFieldOfItsScope) {
    for (const ParameterEntry& entry : parameterTable()) {
        if (!entry.isSlider())
            continue;
        int fields = 0;
        for (const StyleSliderField& slider : styleSliderFields()) {
            if (slider.which != entry.which)
                continue;
            ++fields;
            EXPECT_EQ(slider.lightField != nullptr, entry.perLight()) << entry.frenchName;
            EXPECT_EQ(slider.field != nullptr, !entry.perLight()) << entry.frenchName;
        }
        EXPECT_EQ(fields, 1) << entry.frenchName;
    }
    const auto sliders = styleSliderFields();
    for (size_t i = 0; i < sliders.size(); ++i)
        for (size_t j = i + 1; j < sliders.size(); ++j) {
            EXPECT_NE(sliders[i].which, sliders[j].which);
            if (sliders[i].field) {
                EXPECT_NE(sliders[i].field, sliders[j].field);
            }
            if (sliders[i].lightField) {
                EXPECT_NE(sliders[i].lightField, sliders[j].lightField);
            }
        }
}
