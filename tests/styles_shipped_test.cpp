// The styles the build ships in "Lighting Styles": each one is listed under its
// name (in the system's code page) and loads as its description says.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "settings/parameter_table.h"
#include "styles/style_library.h"
#include "tests/support/styles_test_support.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {
// The shipped folder is beside the native host at the top of the build folder,
// and in dist/ beside the module in the Win32 build; the tests run in tests/.
fs::path shippedBase() {
    char program[platform::kMaxPath];
    EXPECT_TRUE(platform::pluginFilePath(program, sizeof program));
    const fs::path buildFolder = fs::path(program).parent_path().parent_path();
#ifdef _WIN32
    return buildFolder / "dist";
#else
    return buildFolder;
#endif
}

json shippedDescription() {
    std::ifstream input(ORVANE_SOURCE_DIR "/tools/stylegen/shipped_styles.json");
    return json::parse(input, nullptr, true, /*ignore_comments=*/true);
}

class ShippedStylesTest : public testing::Test {
  protected:
    void SetUp() override { setStyleFolderBaseForTesting(shippedBase().string().c_str()); }
    void TearDown() override { setStyleFolderBaseForTesting(nullptr); }

    std::vector<std::string> listedNames() {
        std::vector<std::string> names;
        for (int16_t i = 0; std::optional<std::string> name = GetStyleName(i); ++i)
            names.push_back(*name);
        return names;
    }

    // Loads at the frame the styles were made for, so geometry comes back as written.
    std::unique_ptr<Settings> load(const std::string& utf8Name) {
        auto state = makeState(126);
        std::string name = systemName(utf8Name.c_str());
        EXPECT_EQ(LoadStyle(name.data(), *state), 1) << utf8Name;
        return state;
    }
};

TEST_F(ShippedStylesTest, TheDefaultStyleIsListedInTheSystemCodePage) {
    const std::vector<std::string> names = listedNames();
#ifdef _WIN32
    const std::string expected = "Par d\xE9"
                                 "faut"; // Windows-1252
#else
    const std::string expected = "Par d\xC3\xA9"
                                 "faut"; // UTF-8
#endif
    EXPECT_NE(std::find(names.begin(), names.end(), expected), names.end());
    EXPECT_GE(names.size(), 13u + 1);
}

TEST_F(ShippedStylesTest, TheDefaultStyleIsExactlyTheResetSettings) {
    auto loaded = load("Par défaut");
    auto reset = makeState(126);
    reset->resetToDefaultStyle();
    for (int i = 1; i < kMaxLights; ++i) // lights not in use stay as they were
        loaded->lights[i] = reset->lights[i];
    expectSameStyleSettings(*reset, *loaded);
}

TEST_F(ShippedStylesTest, EveryDescribedStyleIsListedAndLoadsAsDescribed) {
    const json description = shippedDescription();
    ASSERT_EQ(description.at("halfFrame").get<int>(), 126);
    const std::vector<std::string> names = listedNames();
    for (const json& style : description.at("styles")) {
        const std::string name = style.at("name").get<std::string>();
        SCOPED_TRACE(name);
        EXPECT_NE(std::find(names.begin(), names.end(), systemName(name.c_str())), names.end());
        auto state = load(name);
        const json& lights = style.at("lights");
        ASSERT_EQ(state->lightCount, lights.size());
        EXPECT_EQ(state->textureChannel, style.value("texture", 0));
        EXPECT_EQ(state->gloss, style.value("gloss", 128));
        EXPECT_EQ(state->ambience, style.value("ambience", 16));
        for (size_t i = 0; i < lights.size(); ++i) {
            const LightSource& light = state->lights[i];
            EXPECT_EQ(light.intensity, lights[i].value("intensity", 65));
            if (lights[i].contains("position")) {
                EXPECT_EQ(light.position.x, lights[i]["position"][0].get<int>());
                EXPECT_EQ(light.position.y, lights[i]["position"][1].get<int>());
            }
            if (light.type != Spot)
                continue;
            // A spot's second axis is perpendicular to the first and never
            // longer, as the light handles keep it.
            const int dot = light.vector0.x * light.vector1.x + light.vector0.y * light.vector1.y;
            EXPECT_EQ(dot, 0) << "light " << i;
            EXPECT_LE(std::hypot(light.vector1.x, light.vector1.y),
                      std::hypot(light.vector0.x, light.vector0.y));
        }
    }
}

// A style applied in the dialog and confirmed is recorded as a script; its
// slider settings must be positions whose recorded percentage reads back to
// them, or the recording would replay to another image.
TEST_F(ShippedStylesTest, EverySliderSettingIsAPositionThatRecordsExactly) {
    for (const std::string& name : listedNames()) {
        SCOPED_TRACE(name);
        auto state = makeState(126);
        std::string stored = name;
        ASSERT_EQ(LoadStyle(stored.data(), *state), 1);
        for (const ParameterEntry& entry : sliderSettings()) {
            auto expectRecordedExactly = [&](int16_t value, int light) {
                EXPECT_EQ(entry.storedFromPercent(entry.percentFromStored(value)), value)
                    << "key " << entry.scriptKey << ", light " << light;
            };
            const Settings& settings = *state;
            if (entry.setting)
                expectRecordedExactly(settings.*entry.setting, -1);
            else
                for (int i = 0; i < settings.lightCount; ++i)
                    expectRecordedExactly(settings.lights[i].*entry.lightSetting, i);
        }
    }
}

TEST_F(ShippedStylesTest, TheStylesHaveFrenchNamesThatNeedNoCut) {
    const json description = shippedDescription();
    EXPECT_GE(description.at("styles").size(), 13u + 1);
    for (const json& style : description.at("styles")) {
        const std::string name = style.at("name").get<std::string>();
        const std::string system = systemName(name.c_str());
        EXPECT_FALSE(system.empty()) << name << " has no Windows-1252 form";
        EXPECT_EQ(system[platform::bytesOfFirstCharacters(system.c_str(), 31)], '\0') << name;
    }
}
} // namespace
