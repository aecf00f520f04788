// The host's styles: the folder beside the module, the listing, and a style
// turned into the script that applies it without the dialog.
#include <gtest/gtest.h>

#include <filesystem>

#include "host/zerafin/commands/host_styles.h"
#include "host/zerafin/plugin_services/host_session.h"
#include "platform/files.h"
#include "protocol/four_cc.h"
#include "shell/entry_point.h"
#include "styles/style_library.h"
#include "tests/support/script_fixture.h"
#include "tests/support/styles_test_support.h"

namespace {
class HostStyles : public StyleFolderTest {
  protected:
    HostStyles() : session(ENTRYPOINT1, nullptr) {
        document = documentFromRgb(8, 8, std::vector<uint8_t>(8 * 8 * 3, 100));
        document.channels.push_back(Channel{"Relief", std::vector<uint8_t>(64, 50)});
        session.setDocument(&document);
    }

    // Saves a style of one spot light whose geometry is given in pixels of a
    // frame with the given half size.
    void saveSpot(const char* name, uint16_t halfFrame, int16_t scale) {
        std::unique_ptr<Settings> state = makeState(halfFrame);
        state->resetToDefaultStyle();
        state->lights[0].type = Spot;
        state->lights[0].position = {int16_t(10 * scale), int16_t(-5 * scale)};
        state->lights[0].vector0 = {int16_t(20 * scale), int16_t(20 * scale)};
        state->lights[0].vector1 = {int16_t(-10 * scale), int16_t(10 * scale)};
        state->lights[0].radius = int16_t(20 * scale);
        state->textureChannel = 4;
        std::string styleName = systemName(name);
        ASSERT_EQ(SaveStyle(styleName.data(), *state), 1);
    }

    std::optional<Descriptor> convert(const char* name, std::string& error) {
        return styleDescriptor(folder(), systemName(name), session, error);
    }

    Document document;
    HostSession session;
};

std::vector<double> pointOf(const Descriptor& light, const char (&key)[5]) {
    const DescriptorValue* point = find(light, key);
    if (!point || point->kind != ValueKind::Object || point->object.items.size() != 2)
        return {};
    return {point->object.items[0].value.number, point->object.items[1].value.number};
}
} // namespace

TEST_F(HostStyles, GeometryComesOutInPercentOfTheSavedFrame) {
    saveSpot("Projecteur", 50, 1);
    std::string error;
    const std::optional<Descriptor> script = convert("Projecteur", error);
    ASSERT_TRUE(script) << error;
    const DescriptorValue* lights = find(*script, "LghS");
    ASSERT_TRUE(lights && lights->kind == ValueKind::List && lights->list.size() == 1);
    const Descriptor& light = lights->list[0].object;
    // A frame of 100 pixels: each pixel is one percent, the centre is (50, 50).
    EXPECT_EQ(pointOf(light, "Pstn"), (std::vector<double>{60, 45}));
    EXPECT_EQ(pointOf(light, "Vct0"), (std::vector<double>{70, 70}));
    EXPECT_EQ(pointOf(light, "Vct1"), (std::vector<double>{40, 60}));
    ASSERT_NE(find(light, "Rds "), nullptr);
    EXPECT_EQ(find(light, "Rds ")->number, 20);
    // The texture by the document's name for channel 4; no image width, which
    // the plug-in measures itself.
    ASSERT_NE(find(*script, "BmpC"), nullptr);
    EXPECT_EQ(find(*script, "BmpC")->reference.form, fourCC("name"));
    EXPECT_EQ(find(*script, "FrmW"), nullptr);
}

TEST_F(HostStyles, TheSameLookSavedAtAnyPreviewSizeGivesTheSameScript) {
    saveSpot("Petit", 50, 1);
    saveSpot("Grand", 100, 2);
    std::string error;
    const std::optional<Descriptor> small = convert("Petit", error);
    const std::optional<Descriptor> large = convert("Grand", error);
    ASSERT_TRUE(small && large) << error;
    EXPECT_EQ(*small, *large);
}

TEST_F(HostStyles, ListingShowsOnlyStyleFiles) {
    saveSpot("Par défaut", 50, 1);
    writeWholeFile(stylePath("notes.txt"), {'B', 'B', 'n', 'o'});
    std::filesystem::create_directory(std::filesystem::path(stylePath("dossier")));
    EXPECT_EQ(listStyles(folder()), std::vector<std::string>{systemName("Par défaut")});
    EXPECT_EQ(systemTextToUtf8(listStyles(folder()).at(0)), "Par défaut");
}

TEST_F(HostStyles, UnknownDamagedAndEscapingNamesAreRefused) {
    saveSpot("Bon", 50, 1);
    writeWholeFile(stylePath("Court"), {'B', 'B', 'Z', 'F', 'V', 'R', 0, 0, 0, 0x90});
    std::string error;
    for (const char* name : {"Absent", "Court", "../Bon", "", ".."}) {
        error.clear();
        EXPECT_FALSE(convert(name, error)) << name;
        EXPECT_FALSE(error.empty()) << name;
    }
    // A name the style library would cut names another file: refused, never
    // applied as the style of its first 30 characters.
    saveSpot("Un nom de style bien trop long", 50, 1);
    EXPECT_FALSE(convert("Un nom de style bien trop long pour lui", error));
    EXPECT_TRUE(convert("Un nom de style bien trop long", error)) << error;
}

TEST_F(HostStyles, ReadersShareAStyleAndAStyleBeingWrittenIsInUse) {
    saveSpot("Bougie", 50, 1);
    const std::string path = stylePath(systemName("Bougie"));
    std::string error;
    {
        const platform::FileHandle reader = platform::openFileForReading(path.c_str());
        ASSERT_NE(reader, platform::kNoFile);
        EXPECT_TRUE(convert("Bougie", error)) << "another reader holds it: " << error;
        EXPECT_EQ(listStyles(folder()).size(), 1u) << "and the listing still shows it";
        platform::closeFile(reader);
    }
    const platform::FileHandle writer = platform::openFileForWriting(path.c_str());
    ASSERT_NE(writer, platform::kNoFile);
    EXPECT_FALSE(convert("Bougie", error));
    EXPECT_NE(error.find("is in use"), std::string::npos) << error;
    platform::closeFile(writer);
    EXPECT_FALSE(convert("Absent", error));
    EXPECT_NE(error.find("no style named"), std::string::npos) << error;
}
