// The settings table walked whole: every setting at every value a slider can
// show goes through a script write and read, and through a style save and
// load, and comes back unchanged.
#include <gtest/gtest.h>

#include "settings/parameter_table.h"
#include "styles/style_library.h"
#include "tests/support/script_fixture.h"
#include "tests/support/styles_test_support.h"

namespace {
// The entry's value: a material setting, or one of the first light's.
int16_t& valueOf(Settings& settings, const ParameterEntry& entry) {
    return entry.setting ? settings.*entry.setting : settings.lights[0].*entry.lightSetting;
}

// Settings that carry every table setting: one spot (focus is written for
// spots only) and a texture channel (the relief only with one).
void carryEverything(Settings& settings) {
    settings.lightCount = 1;
    settings.lights[0].type = Spot;
    settings.textureChannel = 1;
}

class SettingsTable : public StyleFolderTest {};
} // namespace

TEST_F(SettingsTable, EveryEntryComesBackFromAScriptAndAStyle) {
    for (const ParameterEntry& entry : sliderSettings()) {
        SCOPED_TRACE(std::string(reinterpret_cast<const char*>(&entry.scriptKey), 4));
        const int16_t low = entry.storedFromSlider(entry.sliderMinimum);
        const int16_t high = entry.storedFromSlider(entry.sliderMaximum);
        EXPECT_EQ(entry.clampStored(int16_t(low - 1)), low);
        EXPECT_EQ(entry.clampStored(int16_t(high + 1)), high);
        EXPECT_GE(entry.defaultValue, low);
        EXPECT_LE(entry.defaultValue, high);

        // A script carries percentages: every percentage the slider shows
        // comes back as the same stored value.
        for (int32_t position = entry.sliderMinimum; position <= entry.sliderMaximum; ++position) {
            const int16_t stored =
                entry.storedFromPercent(entry.percentFromStored(entry.storedFromSlider(position)));
            ScriptFixture writer;
            carryEverything(writer.state.settings);
            valueOf(writer.state.settings, entry) = stored;
            ScriptFixture reader;
            int16_t cell = 0;
            ASSERT_TRUE(reader.read(writer.write(), cell)) << position;
            EXPECT_EQ(valueOf(reader.state.settings, entry), stored) << position;
        }

        // A style stores the value itself.
        for (int16_t stored : {low, entry.defaultValue, high}) {
            auto saved = makeState(50);
            carryEverything(*saved);
            valueOf(*saved, entry) = stored;
            char name[] = "Table";
            ASSERT_EQ(SaveStyle(name, *saved), 1);
            auto loaded = makeState(50);
            ASSERT_EQ(LoadStyle(name, *loaded), 1);
            EXPECT_EQ(valueOf(*loaded, entry), stored);
        }
    }
}
