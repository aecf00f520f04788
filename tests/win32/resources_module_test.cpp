// The built module carries every resource: the same property list and
// terminology bytes as the generated data, every string with its accents, the
// version block, and all of it in French (language 1036).
#include <windows.h>

#include <gtest/gtest.h>

#include "host/zerafin/module/module_resources.h"
#include "resources/resource_data.h"
#include "resources/string_table.h"
#include "resources/text_encoding.h"
#include "resources/version_table.h"
#include "tests/support/resources_under_test.h"
#include "tests/support/win32_module.h"

namespace {
constexpr WORD kFrench = MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH);
static_assert(kFrench == 1036);

std::vector<uint8_t> toVector(std::span<const uint8_t> bytes) {
    return {bytes.begin(), bytes.end()};
}

// Every (type, name, language) of the module, types and names as text.
struct ResourceEntry {
    std::string type, name;
    WORD language;
};

std::string resourceName(LPCSTR name) {
    return IS_INTRESOURCE(name) ? "#" + std::to_string(uintptr_t(name)) : std::string(name);
}

BOOL CALLBACK collectLanguage(HMODULE, LPCSTR type, LPCSTR name, WORD language, LONG_PTR list) {
    reinterpret_cast<std::vector<ResourceEntry>*>(list)->push_back(
        {resourceName(type), resourceName(name), language});
    return TRUE;
}

BOOL CALLBACK collectName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR list) {
    EnumResourceLanguagesA(module, type, name, collectLanguage, list);
    return TRUE;
}

BOOL CALLBACK collectType(HMODULE module, LPSTR type, LONG_PTR list) {
    EnumResourceNamesA(module, type, collectName, list);
    return TRUE;
}

std::vector<ResourceEntry> allResources() {
    std::vector<ResourceEntry> list;
    EnumResourceTypesA(loadedModule(), collectType, reinterpret_cast<LONG_PTR>(&list));
    return list;
}

bool hasResource(const std::vector<ResourceEntry>& list, const std::string& type,
                 const std::string& name) {
    for (const ResourceEntry& entry : list)
        if (entry.type == type && entry.name == name)
            return true;
    return false;
}
} // namespace

TEST(ModuleResources, CarryTheGeneratedPropertyListAndTerminologyBytes) {
    ASSERT_NE(loadedModule(), nullptr) << builtModulePath();
    EXPECT_EQ(propertyListUnderTest(), toVector(propertyListBytes()));
    EXPECT_EQ(terminologyUnderTest(), toVector(terminologyBytes()));
}

TEST(ModuleResources, AreAllFrenchAndComplete) {
    const std::vector<ResourceEntry> list = allResources();
    ASSERT_FALSE(list.empty());
    for (const ResourceEntry& entry : list)
        EXPECT_EQ(entry.language, kFrench) << entry.type << " " << entry.name;
    const std::pair<std::string, std::string> expected[] = {
        {"PIPL", "#16000"}, {"AETE", "#128"}, {"#16", "#1"},                   // version
        {"#5", "#101"},     {"#5", "#102"},   {"#5", "#106"},  {"#5", "#107"}, // dialogs
        {"#2", "#113"},     {"#2", "#114"},   {"#2", "#115"},  {"#2", "#116"},  {"#2", "#117"},
        {"#14", "#108"},    {"#14", "#110"},  {"#14", "#111"}, {"#14", "#112"}, {"#14", "#113"},
        {"#14", "#114"},    {"#12", "#109"},  {"#12", "#110"},
    };
    for (const auto& [type, name] : expected)
        EXPECT_TRUE(hasResource(list, type, name)) << type << " " << name;
}

// LoadStringA gives the text in the ANSI code page, Windows-1252 here.
TEST(ModuleResources, LoadEveryStringWithItsExactText) {
    ASSERT_EQ(GetACP(), 1252u) << "run the tests with a Western European ANSI code page";
    ASSERT_NE(loadedModule(), nullptr);
    for (const StringTableEntry* entry = kStringTable; entry->text; ++entry) {
        char loaded[512] = "";
        const int length = LoadStringA(loadedModule(), UINT(entry->id), loaded, sizeof loaded);
        EXPECT_EQ(std::string(loaded, size_t(std::max(length, 0))),
                  utf8ToWindows1252(entry->text).value_or("?"))
            << entry->id;
    }
    char missing[16] = "";
    EXPECT_EQ(LoadStringA(loadedModule(), 43, missing, sizeof missing), 0);
}

TEST(ModuleResources, LoadAccentedStringsAsWindows1252) {
    ASSERT_EQ(GetACP(), 1252u);
    char text[256] = "";
    LoadStringA(loadedModule(), 2, text, sizeof text);
    EXPECT_STREQ(text, "Ce module requiert Zerafin 3.0 ou version ult\xE9rieure.");
    LoadStringA(loadedModule(), 36, text, sizeof text);
    EXPECT_STREQ(text, "Couleur de la lumi\xE8re :");
    LoadStringA(loadedModule(), 31, text, sizeof text);
    EXPECT_STREQ(text, " existe d\xE9j\xE0. Souhaitez-vous le remplacer ?");
}

TEST(ModuleResources, CarryTheVersionBlock) {
    std::string error;
    const std::optional<VersionBlock> block = readModuleVersionBlock(builtModulePath(), error);
    ASSERT_TRUE(block) << error;
    EXPECT_EQ(block->fileVersion, (std::array<uint16_t, 4>{5, 0, 128, 0}));
    EXPECT_EQ(block->productVersion, (std::array<uint16_t, 4>{5, 0, 6, 0}));
    EXPECT_EQ(block->fileFlags, 0x1u);
    EXPECT_EQ(block->fileFlagsMask, 0x3Fu);
    EXPECT_EQ(block->fileType, 2u);
    EXPECT_EQ(block->fileOs, 4u);
    EXPECT_EQ(block->languageCodePage, "040904E4");
    const std::pair<std::string, std::string> fixedStrings[] = {
        {"FileDescription", "Module externe Orvane de Zerafin"},
        {"FileVersion", "5.0"},
        {"InternalName", "Orvane"},
        {"OriginalFilename", "Orvane.9ZF"},
        {"ProductName", "Halvorn Zerafin"},
        {"ProductVersion", "5.0"},
    };
    for (const auto& string : fixedStrings)
        EXPECT_NE(std::find(block->strings.begin(), block->strings.end(), string),
                  block->strings.end())
            << string.first;
    EXPECT_EQ(block->strings, orvaneVersionBlock().strings);
}

TEST(ModuleResources, DescribeTheModuleToTheHost) {
    ModuleDescription description;
    std::string error;
    ASSERT_TRUE(readModuleDescription(builtModulePath(), description, error)) << error;
    EXPECT_EQ(description.propertyList, toVector(propertyListBytes()));
    EXPECT_EQ(description.terminology, toVector(terminologyBytes()));
    ASSERT_TRUE(description.version);
    EXPECT_EQ(description.version->fileVersion, orvaneVersionBlock().fileVersion);
    EXPECT_FALSE(readModuleDescription(builtModulePath() + ".missing", description, error));
    EXPECT_NE(error.find(".missing"), std::string::npos) << error;
}
