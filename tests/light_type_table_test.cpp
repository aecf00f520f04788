// The light type table and the parameter table as the one description of their
// concepts: every encoding of a light type leads back to the type, every type
// survives a script and a style, and the parameter table's keys and rows say
// what the readers and the reference rely on.
#include <gtest/gtest.h>

#include <set>

#include "settings/light_type.h"
#include "settings/parameter_table.h"
#include "styles/style_library.h"
#include "tests/support/script_fixture.h"
#include "tests/support/styles_test_support.h"

namespace {
std::string keyName(uint32_t key) {
    return {char(key >> 24), char(key >> 16), char(key >> 8), char(key)};
}

class LightTypeTable : public StyleFolderTest {};
} // namespace

TEST_F(LightTypeTable, EveryEncodingOfATypeLeadsBackToIt) {
    std::set<uint32_t> types, scriptCodes;
    std::set<uint16_t> styleCodes;
    std::set<int> strings;
    for (int row = 0; row < kLightTypeCount; ++row) {
        const LightTypeEntry& entry = kLightTypes[row];
        SCOPED_TRACE(entry.terminologyName);
        EXPECT_TRUE(types.insert(entry.type).second);
        EXPECT_TRUE(styleCodes.insert(entry.styleCode).second);
        EXPECT_TRUE(scriptCodes.insert(entry.scriptCode).second);
        EXPECT_TRUE(strings.insert(entry.nameStringId).second);
        EXPECT_EQ(&lightTypeEntry(entry.type), &entry);
        EXPECT_EQ(lightTypeOfStyleCode(entry.styleCode), entry.type);
        EXPECT_EQ(lightTypeOfScriptCode(entry.scriptCode), entry.type);
        EXPECT_EQ(lightTypeOfRow(row), entry.type);
        EXPECT_EQ(rowOfLightType(entry.type), row);
    }
    EXPECT_EQ(types, (std::set<uint32_t>{Omni, Directional, Spot}));
    // What no entry names: a stored file's or a script's unknown code is a
    // spot, a list without a selected row answers omni.
    EXPECT_EQ(lightTypeOfStyleCode(0), Spot);
    EXPECT_EQ(lightTypeOfScriptCode(fourCC("Xxxx")), Spot);
    EXPECT_EQ(lightTypeOfRow(-1), Omni);
    EXPECT_EQ(lightTypeOfRow(kLightTypeCount), Omni);
    EXPECT_EQ(lightTypeEntry(7).type, Spot);
}

TEST_F(LightTypeTable, EveryTypeComesBackFromAScriptAndAStyle) {
    for (const LightTypeEntry& entry : kLightTypes) {
        SCOPED_TRACE(entry.terminologyName);
        ScriptFixture writer;
        writer.state.settings.lightCount = 1;
        writer.state.settings.lights[0].type = entry.type;
        ScriptFixture reader;
        int16_t cell = 0;
        ASSERT_TRUE(reader.read(writer.write(), cell));
        EXPECT_EQ(reader.state.settings.lights[0].type, entry.type);

        auto saved = makeState(50);
        saved->lightCount = 1;
        saved->lights[0].type = entry.type;
        char name[] = "Types";
        ASSERT_EQ(SaveStyle(name, *saved), 1);
        auto loaded = makeState(50);
        ASSERT_EQ(LoadStyle(name, *loaded), 1);
        EXPECT_EQ(loaded->lights[0].type, entry.type);
    }
}

// The readers and the reference find a row by its key in its own scope.
TEST(ParameterTable, KeysAreUniqueInTheirScope) {
    std::set<uint32_t> filterKeys, lightKeys;
    for (const ParameterEntry& entry : parameterTable()) {
        SCOPED_TRACE(keyName(entry.scriptKey));
        EXPECT_TRUE((entry.perLight() ? lightKeys : filterKeys).insert(entry.scriptKey).second);
        EXPECT_NE(std::string(entry.meaning), "");
        EXPECT_NE(std::string(entry.frenchName), "");
        // A slider setting is kept in exactly one place, which its scope names.
        if (entry.isSlider()) {
            EXPECT_EQ(entry.lightSetting != nullptr, entry.perLight());
        }
    }
}
