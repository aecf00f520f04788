// The module's scripting terminology, parsed back field by field (from the
// module file itself in the Win32 build), and the parser's refusals.
#include <algorithm>

#include <gtest/gtest.h>

#include "host/zerafin/module/terminology.h"
#include "protocol/four_cc.h"
#include "tests/support/resources_under_test.h"

namespace {
constexpr size_t kTerminologySize = 584;

Terminology parsedModuleTerminology() {
    std::string error;
    std::optional<Terminology> terminology = parseTerminology(terminologyUnderTest(), error);
    EXPECT_TRUE(terminology) << error;
    return terminology.value_or(Terminology{});
}

struct ExpectedItem {
    const char* name;
    const char key[5];
    const char type[5];
    uint16_t flags;
};

void expectItems(const std::vector<TerminologyItem>& items,
                 std::span<const ExpectedItem> expected) {
    ASSERT_EQ(items.size(), expected.size());
    for (size_t index = 0; index < expected.size(); ++index) {
        SCOPED_TRACE(expected[index].name);
        EXPECT_EQ(items[index].name, expected[index].name);
        EXPECT_EQ(items[index].key, fourCC(expected[index].key));
        EXPECT_EQ(items[index].type, fourCC(expected[index].type));
        EXPECT_EQ(items[index].flags, expected[index].flags);
    }
}

bool contains(const std::vector<uint8_t>& bytes, std::string_view text) {
    return std::search(bytes.begin(), bytes.end(), text.begin(), text.end(),
                       [](uint8_t byte, char character) { return byte == uint8_t(character); }) !=
           bytes.end();
}
} // namespace

TEST(ModuleTerminology, HasTheSuiteAndTheEvent) {
    EXPECT_EQ(terminologyUnderTest().size(), kTerminologySize);
    const Terminology terminology = parsedModuleTerminology();
    EXPECT_EQ(terminology.suiteName, "Zerafin");
    EXPECT_EQ(terminology.suiteCode, fourCC("ZRFN"));
    EXPECT_EQ(terminology.suiteLevel, 0);
    EXPECT_EQ(terminology.suiteVersion, 0);
    EXPECT_EQ(terminology.eventName, "orvane");
    EXPECT_EQ(terminology.eventClass, fourCC("Fltr"));
    EXPECT_EQ(terminology.eventCode, fourCC("LghE"));
    EXPECT_EQ(terminology.replyType, fourCC("null"));
    EXPECT_EQ(terminology.replyFlags, 0x0000);
    EXPECT_EQ(terminology.directParameterType, fourCC("#ImR"));
    EXPECT_EQ(terminology.directParameterFlags, 0xB000);
}

TEST(ModuleTerminology, HasTheElevenEventParametersInOrder) {
    const ExpectedItem parameters[] = {
        {"brillance", "Glos", "long", 0x0000},        {"matière", "Mtrl", "long", 0x0000},
        {"exposition", "Exps", "long", 0x0000},       {"ambiance", "AmbB", "long", 0x0000},
        {"couleur ambiante", "AmbC", "RGBC", 0x0000}, {"texture", "BmpC", "#ChR", 0x0000},
        {"blanc = haut", "WhHi", "bool", 0x0000},     {"relief", "BmpA", "long", 0x0000},
        {"largeur d'image", "FrmW", "doub", 0x0000},  {"lumière courante", "CrnL", "long", 0x0000},
        {"source d'orvane", "LghS", "LghS", 0x4000},
    };
    expectItems(parsedModuleTerminology().parameters, parameters);
}

TEST(ModuleTerminology, HasTheLightClassWithItsNineProperties) {
    const Terminology terminology = parsedModuleTerminology();
    EXPECT_EQ(terminology.className, "source d'orvane");
    EXPECT_EQ(terminology.classCode, fourCC("LghS"));
    const ExpectedItem properties[] = {
        {"couleur", "Clr ", "RGBC", 0x1000},   {"intensité", "Intn", "long", 0x1000},
        {"cône", "Fcs ", "long", 0x1000},      {"lumière active", "On  ", "bool", 0x1000},
        {"type", "LghT", "LghT", 0x3000},      {"position", "Pstn", "Pnt ", 0x1000},
        {"vecteur 0", "Vct0", "Pnt ", 0x1000}, {"vecteur 1", "Vct1", "Pnt ", 0x1000},
        {"rayon", "Rds ", "doub", 0x1000},
    };
    expectItems(terminology.classProperties, properties);
}

TEST(ModuleTerminology, HasTheLightTypeEnumeration) {
    const Terminology terminology = parsedModuleTerminology();
    EXPECT_EQ(terminology.enumerationCode, fourCC("LghT"));
    ASSERT_EQ(terminology.enumerators.size(), 3u);
    EXPECT_EQ(terminology.enumerators[0].name, "directionnel");
    EXPECT_EQ(terminology.enumerators[0].code, fourCC("LghD"));
    EXPECT_EQ(terminology.enumerators[1].name, "omnidirectionnel");
    EXPECT_EQ(terminology.enumerators[1].code, fourCC("LghO"));
    EXPECT_EQ(terminology.enumerators[2].name, "projecteur");
    EXPECT_EQ(terminology.enumerators[2].code, fourCC("LghS"));
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
