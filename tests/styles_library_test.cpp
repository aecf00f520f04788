// The style folder: where it is, what is listed, and what saving, loading and
// deleting by name do to the files, odd and hostile names included.
#include <algorithm>
#include <cstring>
#include <filesystem>

#include "styles/style_library.h"
#include "tests/support/styles_test_support.h"

namespace fs = std::filesystem;

namespace {
class StyleLibraryTest : public StyleFolderTest {
  protected:
    std::unique_ptr<Settings> defaultState() {
        auto state = makeState(126);
        state->resetToDefaultStyle();
        return state;
    }

    void save(const std::string& name, const Settings& state) {
        std::vector<char> buffer(name.begin(), name.end());
        buffer.push_back('\0');
        ASSERT_EQ(SaveStyle(buffer.data(), state), 1) << name;
    }

    std::vector<std::string> listedNames() {
        std::vector<std::string> names;
        for (int16_t i = 0; std::optional<std::string> name = GetStyleName(i); ++i)
            names.push_back(*name);
        return names;
    }
};

TEST_F(StyleLibraryTest, TheFolderIsMadeBesideThePluginOnFirstUse) {
    const fs::path expected = base / "Lighting Styles";
    ASSERT_FALSE(fs::exists(expected));
    EXPECT_EQ(GetStyleName(0), std::nullopt);
    EXPECT_TRUE(fs::is_directory(expected));

    char folder[platform::kMaxPath];
    ASSERT_EQ(GetStyleFolder(folder), 1);
    const std::string path = folder;
    EXPECT_EQ(path, base.string() + platform::kPathSeparator + "Lighting Styles" +
                        platform::kPathSeparator);
}

TEST_F(StyleLibraryTest, WithoutATestBaseTheFolderIsBesideTheRunningProgram) {
    char program[platform::kMaxPath];
    ASSERT_TRUE(platform::pluginFilePath(program, sizeof program));
    const fs::path beside = fs::path(program).parent_path() / "Lighting Styles";
    const bool existed = fs::exists(beside);
    setStyleFolderBaseForTesting(nullptr);
    char folder[platform::kMaxPath];
    ASSERT_EQ(GetStyleFolder(folder), 1);
    EXPECT_EQ(std::string(folder), beside.string() + platform::kPathSeparator);
    EXPECT_TRUE(fs::is_directory(beside));
    if (!existed)
        fs::remove(beside);
}

TEST_F(StyleLibraryTest, APluginDirectoryOfMoreThan212CharactersGivesNoFolder) {
    // The directory and the 15-character folder name may take 227 characters.
    const std::string deepest = base.string() + platform::kPathSeparator;
    const std::string fits = deepest + std::string(212 - deepest.size(), 'd');
    const std::string tooLong = fits + "e";
    fs::create_directories(fits);
    fs::create_directories(tooLong);

    setStyleFolderBaseForTesting(tooLong.c_str());
    char folder[platform::kMaxPath];
    EXPECT_EQ(GetStyleFolder(folder), 0);
    auto state = defaultState();
    char name[] = "Essai";
    EXPECT_EQ(SaveStyle(name, *state), 0);
    EXPECT_EQ(StyleExists(name), 0);
    EXPECT_FALSE(fs::exists(tooLong + platform::kPathSeparator + "Lighting Styles"));

    setStyleFolderBaseForTesting(fits.c_str());
    EXPECT_EQ(GetStyleFolder(folder), 1);
    EXPECT_EQ(std::strlen(folder), 212u + 1 + 15 + 1);
    EXPECT_EQ(SaveStyle(name, *state), 1);
}

TEST_F(StyleLibraryTest, AFileInTheFoldersPlaceMakesEveryOperationFail) {
    writeWholeFile(base.string() + platform::kPathSeparator + "Lighting Styles", {1, 2, 3});
    auto state = defaultState();
    char name[] = "Essai";
    char folder[platform::kMaxPath];
    EXPECT_EQ(GetStyleFolder(folder), 0);
    EXPECT_EQ(SaveStyle(name, *state), 0);
    EXPECT_EQ(LoadStyle(name, *state), 0);
    EXPECT_EQ(GetStyleName(0), std::nullopt);
}

TEST_F(StyleLibraryTest, OnlyStyleFilesAreListedInTheFoldersOrder) {
    auto state = defaultState();
    const std::string defaultName = systemName("Par défaut");
    save(defaultName, *state);
    writeWholeFile(stylePath("notes.txt"), {'B', 'B', 'Z', 'F'});
    writeWholeFile(stylePath("vide"), {});
    fs::create_directory(fs::path(folder()) / "dossier");
    EXPECT_EQ(listedNames(), std::vector<std::string>{defaultName});

    save("Bleu", *state);
    save("Rouge", *state);
    save("Vert", *state);
    std::vector<std::string> inListingOrder;
    for (const auto& entry : fs::directory_iterator(folder())) {
        const std::string name = entry.path().filename().string();
        if (name == "Bleu" || name == "Rouge" || name == "Vert")
            inListingOrder.push_back(name);
    }
    std::vector<std::string> listed = listedNames();
    ASSERT_EQ(listed.size(), 4u);
    listed.erase(std::find(listed.begin(), listed.end(), defaultName));
    EXPECT_EQ(listed, inListingOrder);

    EXPECT_EQ(GetStyleName(4), std::nullopt);
    EXPECT_EQ(GetStyleName(-1), std::nullopt);
}

// The list offers only names that load themselves: a whole style under a name
// the name rule would cut or refuse, or a file that ends after its header,
// is left out, and every name listed loads.
TEST_F(StyleLibraryTest, OnlyNamesThatLoadThemselvesAreListed) {
    auto state = defaultState();
    save("Bleu", *state);
    const std::vector<uint8_t> style = readWholeFile(stylePath("Bleu"));
    std::vector<const char*> names = {"Un nom de style bien plus long que trente et un"};
#ifndef _WIN32
    // Names Windows itself never gives a file (it drops the trailing dot or
    // space, and the others are devices) but other systems do.
    names.insert(names.end(), {"Fin.", "Fin ", "CON", "AUX.txt"});
#endif
    for (const char* name : names)
        writeWholeFile(stylePath(name), style);
    writeWholeFile(stylePath("Entête"), std::vector<uint8_t>(style.begin(), style.begin() + 6));
    writeWholeFile(stylePath("Tronqué"), std::vector<uint8_t>(style.begin(), style.end() - 1));
    const std::vector<std::string> listed = listedNames();
    EXPECT_EQ(listed, std::vector<std::string>{"Bleu"});
    for (const std::string& name : listed) {
        std::vector<char> buffer(name.begin(), name.end());
        buffer.push_back('\0');
        EXPECT_EQ(LoadStyle(buffer.data(), *state), 1) << name;
    }
}

// Readers share a style; one being written is neither listed, loaded nor
// replaced until its writer is done.
TEST_F(StyleLibraryTest, AStyleReadElsewhereIsSharedAndOneBeingWrittenIsLeftAlone) {
    auto state = defaultState();
    save("Occupé", *state);
    char name[] = "Occupé";
    StyleFile reader;
    ASSERT_EQ(OpenStyleForReading(reader, name), 1);
    EXPECT_EQ(listedNames(), std::vector<std::string>{"Occupé"});
    EXPECT_EQ(LoadStyle(name, *state), 1);
    CloseStyleFile(reader);
    StyleFile writer;
    ASSERT_EQ(OpenStyleForWriting(writer, name), 1);
    EXPECT_TRUE(listedNames().empty());
    EXPECT_EQ(LoadStyle(name, *state), 0);
    EXPECT_EQ(SaveStyle(name, *state), 0);
    CloseStyleFile(writer);
}

TEST_F(StyleLibraryTest, NamesLongerThan31CharactersAreCutTo30) {
    auto state = defaultState();
    const std::string full = "Quarante caracteres pour ce nom"; // 31: kept whole
    char whole[64];
    std::strcpy(whole, full.c_str());
    ASSERT_EQ(SaveStyle(whole, *state), 1);
    EXPECT_EQ(std::string(whole), full);

    const std::string forty = "0123456789012345678901234567890123456789";
    const std::string cut = "012345678901234567890123456789";
    EXPECT_EQ(storedStyleName(forty), cut);
    EXPECT_EQ(storedStyleName(full), full);
    ASSERT_EQ(SaveStyle(forty, *state), 1);
    EXPECT_TRUE(fs::exists(stylePath(cut)));
    EXPECT_EQ(StyleExists(forty), 0) << "existence looks for the whole name";
    EXPECT_EQ(StyleExists(cut), 1);
    EXPECT_EQ(LoadStyle(forty, *state), 1);
    EXPECT_EQ(IsStyleWriteProtected(forty), 0);
    EXPECT_EQ(DeleteStyle(forty), 1);
    EXPECT_FALSE(fs::exists(stylePath(cut)));
}

TEST_F(StyleLibraryTest, TheCutCountsCharactersNotBytes) {
    auto state = defaultState();
    std::string accented; // 40 characters, each two bytes in UTF-8
    for (int i = 0; i < 40; ++i)
        accented += "é";
    std::string name = systemName(accented.c_str());
    ASSERT_EQ(SaveStyle(name, *state), 1);
    const std::string thirty = systemName(accented.substr(0, 60).c_str());
    EXPECT_EQ(storedStyleName(name), thirty);
    EXPECT_EQ(listedNames(), std::vector<std::string>{thirty});
}

TEST_F(StyleLibraryTest, SavingOverAStyleReplacesIt) {
    auto state = defaultState();
    while (state->lightCount < 5)
        state->addLightAt(1, 2);
    save("Remplacé", *state);
    ASSERT_EQ(readWholeFile(stylePath("Remplacé")).size(), 36u + 5 * 28);
    auto smaller = defaultState();
    save("Remplacé", *smaller);
    EXPECT_EQ(readWholeFile(stylePath("Remplacé")).size(), 64u);
    char name[] = "Remplacé";
    EXPECT_EQ(LoadStyle(name, *state), 1);
    EXPECT_EQ(state->lightCount, 1);
}

TEST_F(StyleLibraryTest, AWriteProtectedStyleLoadsButIsNeitherReplacedNorDeleted) {
    auto state = makeState(126);
    state->resetToDefaultStyle();
    state->gloss = 33;
    save("Protégé", *state);
    const std::string path = stylePath("Protégé");
    setWriteProtected(path, true);
    const std::vector<uint8_t> before = readWholeFile(path);

    char name[] = "Protégé";
    EXPECT_EQ(IsStyleWriteProtected(name), 1);
    auto loaded = defaultState();
    EXPECT_EQ(LoadStyle(name, *loaded), 1);
    EXPECT_EQ(loaded->gloss, 33);
    loaded->addLightAt(5, 5);
    EXPECT_EQ(SaveStyle(name, *loaded), 0);
    EXPECT_EQ(DeleteStyle(name), 0);
    EXPECT_EQ(StyleExists(name), 1);
    EXPECT_EQ(readWholeFile(path), before);

    setWriteProtected(path, false);
    EXPECT_EQ(IsStyleWriteProtected(name), 0);
    EXPECT_EQ(DeleteStyle(name), 1);
    EXPECT_EQ(StyleExists(name), 0);
    EXPECT_EQ(IsStyleWriteProtected(name), 0) << "a missing style is not protected";
}

TEST_F(StyleLibraryTest, OrdinaryPunctuationIsAllowedInNames) {
    auto state = defaultState();
    for (const char* name : {"Soirée d'été", "Nuit (bleue) #2", "50% + 50%", "a.b", "É"})
        save(systemName(name), *state);
    EXPECT_EQ(listedNames().size(), 5u);
}

// Names that would reach outside the folder or that the file system reserves
// are refused by every operation, and nothing outside the folder is touched.
TEST_F(StyleLibraryTest, HostileNamesAreRefused) {
    auto state = defaultState();
    const std::string outside = base.string() + platform::kPathSeparator + "dehors";
    save("dehors", *state);
    fs::rename(stylePath("dehors"), outside); // a valid style just outside the folder
    const std::vector<uint8_t> outsideBytes = readWholeFile(outside);
    auto before = makeState(126);
    *before = *state;

    const char* hostile[] = {"",           ".",         "..",       "...",       "../dehors",
                             "..\\dehors", "a/../../b", "sous/nom", "sous\\nom", "C:dehors",
                             "C:\\dehors", "/tmp/x",    "a..b",     "fin.",      "fin ",
                             "CON",        "con.txt",   "Nul",      "LPT1",      "com9.style",
                             "CON .x",     "a*b",       "a?b",      "a<b",       "a>b",
                             "a|b",        "a\"b",      "a:b",      "tab\there", "ligne\n"};
    for (const char* text : hostile) {
        SCOPED_TRACE(std::string("name \"") + text + "\"");
        char name[64];
        std::strcpy(name, text);
        EXPECT_EQ(SaveStyle(name, *state), 0);
        std::strcpy(name, text);
        EXPECT_EQ(LoadStyle(name, *state), 0);
        std::strcpy(name, text);
        EXPECT_EQ(DeleteStyle(name), 0);
        std::strcpy(name, text);
        EXPECT_EQ(IsStyleWriteProtected(name), 0);
        EXPECT_EQ(StyleExists(text), 0);
        StyleFile file;
        std::strcpy(name, text);
        EXPECT_EQ(OpenStyleForWriting(file, name), 0);
        std::strcpy(name, text);
        EXPECT_EQ(OpenStyleForReading(file, name), 0);
    }
    expectSameStyleSettings(*before, *state);
    EXPECT_EQ(readWholeFile(outside), outsideBytes);
    std::vector<std::string> baseEntries;
    for (const auto& entry : fs::directory_iterator(base))
        baseEntries.push_back(entry.path().filename().string());
    std::sort(baseEntries.begin(), baseEntries.end());
    EXPECT_EQ(baseEntries, (std::vector<std::string>{"Lighting Styles", "dehors"}));
    EXPECT_TRUE(listedNames().empty());
}
} // namespace
