// The module's scripting terminology, parsed back (from the module file itself
// in the Win32 build) and compared with the table it is built from, how its
// bytes are stored, and the parser's refusals.
#include <algorithm>
#include <set>

#include <gtest/gtest.h>

#include "host/zerafin/module/property_list.h"
#include "host/zerafin/module/terminology.h"
#include "protocol/descriptor_tables.h"
#include "resources/terminology_table.h"
#include "tests/support/resources_under_test.h"

namespace {
Terminology parsedModuleTerminology() {
    std::string error;
    std::optional<Terminology> terminology = parseTerminology(terminologyUnderTest(), error);
    EXPECT_TRUE(terminology) << error;
    return terminology.value_or(Terminology{});
}

void expectSameItems(const std::vector<TerminologyItem>& items,
                     const std::vector<TerminologyItem>& source) {
    ASSERT_EQ(items.size(), source.size());
    for (size_t index = 0; index < source.size(); ++index) {
        SCOPED_TRACE(source[index].name);
        EXPECT_EQ(items[index].name, source[index].name);
        EXPECT_EQ(codeText(items[index].key), codeText(source[index].key));
        EXPECT_EQ(codeText(items[index].type), codeText(source[index].type));
        EXPECT_EQ(items[index].flags, source[index].flags);
    }
}

bool contains(const std::vector<uint8_t>& bytes, std::string_view text) {
    return std::search(bytes.begin(), bytes.end(), text.begin(), text.end(),
                       [](uint8_t byte, char character) { return byte == uint8_t(character); }) !=
           bytes.end();
}
} // namespace

// Item by item first, so that a difference names its item; then whole.
TEST(ModuleTerminology, IsTheTerminologyTheModuleIsBuiltFrom) {
    const Terminology terminology = parsedModuleTerminology();
    const Terminology source = orvaneTerminology();
    expectSameItems(terminology.parameters, source.parameters);
    expectSameItems(terminology.classProperties, source.classProperties);
    ASSERT_EQ(terminology.enumerators.size(), source.enumerators.size());
    for (size_t index = 0; index < source.enumerators.size(); ++index) {
        EXPECT_EQ(terminology.enumerators[index].name, source.enumerators[index].name);
        EXPECT_EQ(codeText(terminology.enumerators[index].code),
                  codeText(source.enumerators[index].code));
    }
    EXPECT_TRUE(terminology == source) << "the suite, event, class or enumeration differs";
}

// The event's parameters and the light's properties are each named once, and
// every type the host converts is one it knows.
TEST(ModuleTerminology, KeysAreUniqueAndTypesAreTheHostsOwn) {
    const Terminology terminology = parsedModuleTerminology();
    const uint32_t knownTypes[] = {descriptorType::integer,   descriptorType::real,
                                   descriptorType::boolean,   descriptorType::channelReference,
                                   descriptorClass::rgbColor, descriptorClass::point,
                                   terminology.classCode,     terminology.enumerationCode};
    for (const std::vector<TerminologyItem>* items :
         {&terminology.parameters, &terminology.classProperties}) {
        std::set<uint32_t> keys;
        for (const TerminologyItem& item : *items) {
            EXPECT_TRUE(keys.insert(item.key).second) << item.name;
            EXPECT_NE(std::find(std::begin(knownTypes), std::end(knownTypes), item.type),
                      std::end(knownTypes))
                << item.name << " " << codeText(item.type);
        }
    }
}

TEST(ModuleTerminology, StoresHeaderCodesAndNamesAsTheHostReadsThem) {
    const std::vector<uint8_t> bytes = terminologyUnderTest();
    ASSERT_GE(bytes.size(), 10u);
    // 16-bit 1, version 1.0, language 0, script 0, one suite.
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 12),
              (std::vector<uint8_t>{1, 0, 1, 0, 0, 0, 0, 0, 1, 0, 7, 'Z'}));
    EXPECT_TRUE(contains(bytes, "NFRZ"));
    EXPECT_TRUE(contains(bytes, "rtlFEhgL")); // event class and code
    EXPECT_TRUE(contains(bytes, " rlC"));     // trailing blanks are kept
    // Length-prefixed Windows-1252: è 0xE8, é 0xE9, ô 0xF4.
    EXPECT_TRUE(contains(bytes, "\x07mati\xE8re"));
    EXPECT_TRUE(contains(bytes, "\x09intensit\xE9"));
    EXPECT_TRUE(contains(bytes, "\x04"
                                "c\xF4ne"));
}

TEST(TerminologyParser, RefusesEveryCutAndAnyTrailingBytes) {
    const std::vector<uint8_t> bytes = terminologyUnderTest();
    for (size_t size = 0; size < bytes.size(); ++size) {
        std::string error;
        EXPECT_FALSE(parseTerminology(std::span(bytes).first(size), error)) << size;
        EXPECT_FALSE(error.empty()) << size;
    }
    std::vector<uint8_t> longer = bytes;
    longer.push_back(0);
    std::string error;
    EXPECT_FALSE(parseTerminology(longer, error));
    EXPECT_NE(error.find("1 bytes follow"), std::string::npos) << error;
}

TEST(TerminologyParser, RefusesASecondSuiteOrAnUnknownFormat) {
    std::vector<uint8_t> bytes = terminologyUnderTest();
    ASSERT_GE(bytes.size(), 10u);
    bytes[8] = 2; // suite count
    std::string error;
    EXPECT_FALSE(parseTerminology(bytes, error));
    EXPECT_NE(error.find("2 suites"), std::string::npos) << error;
    bytes[8] = 1;
    bytes[2] = 2; // major version
    EXPECT_FALSE(parseTerminology(bytes, error));
    EXPECT_NE(error.find("version 2"), std::string::npos) << error;
}
