// The module's property list, parsed back field by field (from the module file
// itself in the Win32 build), and the host's parser and filter check.
#include <gtest/gtest.h>

#include "host/zerafin/commands/info_command.h"
#include "host/zerafin/module/property_list.h"
#include "protocol/four_cc.h"
#include "tests/support/resources_under_test.h"

namespace {
constexpr size_t kPropertyListSize = 254;

PropertyList parsedModuleList() {
    std::string error;
    std::optional<PropertyList> list = parsePropertyList(propertyListUnderTest(), error);
    EXPECT_TRUE(list) << error;
    return list.value_or(PropertyList{});
}

std::vector<uint8_t> bytesOf(const Property* property) {
    return property ? property->data : std::vector<uint8_t>{};
}

Property propertyWith(const char (&key)[5], std::vector<uint8_t> data) {
    return {fourCC("9ZIM"), fourCC(key), 0, std::move(data)};
}

// The module's list with one property's data replaced.
PropertyList moduleListWith(const char (&key)[5], std::vector<uint8_t> data) {
    PropertyList list = parsedModuleList();
    for (Property& property : list.properties)
        if (property.key == fourCC(key))
            property.data = std::move(data);
    return list;
}
} // namespace

TEST(ModulePropertyList, HasTheNinePropertiesInOrderWithTheirLengths) {
    // Header 10 bytes and 16 + data bytes per property: 254 in all.
    EXPECT_EQ(propertyListUnderTest().size(), kPropertyListSize);
    const PropertyList list = parsedModuleList();
    EXPECT_EQ(list.resourceVersion, 1);
    EXPECT_EQ(list.listVersion, 0u);
    const std::pair<const char*, size_t> expected[] = {
        {"kind", 4}, {"catg", 8},  {"name", 12}, {"vers", 4},  {"mode", 4},
        {"host", 4}, {"wx86", 16}, {"fici", 28}, {"hstm", 20},
    };
    ASSERT_EQ(list.properties.size(), std::size(expected));
    for (size_t index = 0; index < std::size(expected); ++index) {
        const Property& property = list.properties[index];
        SCOPED_TRACE(expected[index].first);
        EXPECT_EQ(codeText(property.key), expected[index].first);
        EXPECT_EQ(property.vendor, fourCC("9ZIM"));
        EXPECT_EQ(property.id, 0u);
        EXPECT_EQ(property.data.size(), expected[index].second);
    }
}

TEST(ModulePropertyList, StoresCodesLittleEndianSoTheirCharactersAppearReversed) {
    const std::vector<uint8_t> bytes = propertyListUnderTest();
    ASSERT_GE(bytes.size(), 30u);
    EXPECT_EQ(std::string(bytes.begin() + 10, bytes.begin() + 14), "MIZ9");
    EXPECT_EQ(std::string(bytes.begin() + 14, bytes.begin() + 18), "dnik");
    EXPECT_EQ(std::string(bytes.begin() + 26, bytes.begin() + 30), "MFZ9");
}

TEST(ModulePropertyList, DecodesToTheFilterItsMenuEntryAndItsEntryPoint) {
    const PropertyList list = parsedModuleList();
    const auto number = [&](const char(&key)[5]) {
        const Property* property = findProperty(list, fourCC(key));
        return property ? propertyNumber(*property) : std::nullopt;
    };
    EXPECT_EQ(number("kind"), fourCC("9ZFM"));
    EXPECT_EQ(number("vers"), 0x00040000u);
    EXPECT_EQ(number("host"), fourCC("9ZIM"));
    EXPECT_EQ(propertyPascalString(*findProperty(list, fourCC("catg"))), "Rendu");
    EXPECT_EQ(propertyPascalString(*findProperty(list, fourCC("name"))), "Orvane...");
    EXPECT_EQ(bytesOf(findProperty(list, fourCC("mode"))),
              (std::vector<uint8_t>{0x11, 0x00, 0x00, 0x00}));
    EXPECT_EQ(bytesOf(findProperty(list, fourCC("wx86"))),
              (std::vector<uint8_t>{'E', 'N', 'T', 'R', 'Y', 'P', 'O', 'I', 'N', 'T', '1', 0, 0, 0,
                                    0, 0}));
    EXPECT_EQ(bytesOf(findProperty(list, fourCC("fici"))),
              (std::vector<uint8_t>{1, 1, 0, 0, 1, 1, 0, 0, 7, 1, 0, 0, 0, 0,
                                    0, 0, 0, 0, 0, 0, 7, 1, 0, 0, 7, 1, 0, 0}));
}

TEST(ModulePropertyList, NamesTheScriptingTerminology) {
    const PropertyList list = parsedModuleList();
    const Property* scripting = findProperty(list, fourCC("hstm"));
    ASSERT_NE(scripting, nullptr);
    EXPECT_EQ(scripting->data,
              (std::vector<uint8_t>{0,   0,   0,   0, 'r', 't', 'l', 'F', 'E', 'h',
                                    'g', 'L', 128, 0, 0,   0,   0,   0,   0,   0}));
    const std::optional<ScriptingInfo> info = propertyScriptingInfo(*scripting);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->version, 0u);
    EXPECT_EQ(info->classCode, fourCC("Fltr"));
    EXPECT_EQ(info->eventCode, fourCC("LghE"));
    EXPECT_EQ(info->terminologyId, 128u);
    EXPECT_EQ(info->scope, "");
}

// The parser must land exactly on the last byte: every shorter list is cut
// inside a property, and any byte more (as a list counted to 258 bytes would
// have) is refused too.
TEST(PropertyListParser, RefusesEveryCutAndAnyTrailingBytes) {
    const std::vector<uint8_t> bytes = propertyListUnderTest();
    for (size_t size = 0; size < bytes.size(); ++size) {
        std::string error;
        EXPECT_FALSE(parsePropertyList(std::span(bytes).first(size), error)) << size;
        EXPECT_FALSE(error.empty()) << size;
    }
    for (size_t extra : {1u, 4u}) {
        std::vector<uint8_t> longer = bytes;
        longer.resize(bytes.size() + extra, 0);
        std::string error;
        EXPECT_FALSE(parsePropertyList(longer, error));
        EXPECT_NE(error.find("left after its last property"), std::string::npos) << error;
    }
}

TEST(PropertyListParser, SkipsTheZeroPaddingAfterUnalignedData) {
    const std::vector<uint8_t> bytes = {
        1,   0,   0,   0,   0,   0,   1,   0,   0, 0,       // header: one property
        'M', 'I', 'Z', '9', 'x', 'x', 'x', 'x', 0, 0, 0, 0, // vendor, key, id
        3,   0,   0,   0,   'a', 'b', 'c', 0,               // 3 bytes and one of padding
    };
    std::string error;
    const std::optional<PropertyList> list = parsePropertyList(bytes, error);
    ASSERT_TRUE(list) << error;
    ASSERT_EQ(list->properties.size(), 1u);
    EXPECT_EQ(list->properties[0].data, (std::vector<uint8_t>{'a', 'b', 'c'}));
}

TEST(PropertyListParser, RefusesADataLengthPastTheEnd) {
    std::vector<uint8_t> bytes = propertyListUnderTest();
    bytes[22] = 0xFF; // the first property's data length
    std::string error;
    EXPECT_FALSE(parsePropertyList(bytes, error));
    EXPECT_NE(error.find("'kind'"), std::string::npos) << error;
}

TEST(FilterModuleCheck, AcceptsTheModuleAndNamesItsEntryPoint) {
    std::string error, entryPoint;
    EXPECT_TRUE(checkFilterModule(parsedModuleList(), error, entryPoint)) << error;
    EXPECT_EQ(entryPoint, "ENTRYPOINT1");
}

TEST(FilterModuleCheck, RefusesAnotherKindOrModeFlagsWithoutRgb) {
    std::string error, entryPoint;
    EXPECT_FALSE(
        checkFilterModule(moduleListWith("kind", {'M', 'F', 'Z', '8'}), error, entryPoint));
    EXPECT_NE(error.find("'8ZFM'"), std::string::npos) << error;
    // Mode 7 alone, without RGB (mode 3, bit 0x10 of the first byte).
    EXPECT_FALSE(checkFilterModule(moduleListWith("mode", {0x01, 0, 0, 0}), error, entryPoint));
    EXPECT_NE(error.find("RGB"), std::string::npos) << error;
    EXPECT_FALSE(checkFilterModule(moduleListWith("wx86", {}), error, entryPoint));
    EXPECT_TRUE(checkFilterModule(moduleListWith("mode", {0x10}), error, entryPoint)) << error;
    EXPECT_EQ(entryPoint, "ENTRYPOINT1");
}

TEST(FilterModuleCheck, ReadsTheModeFlagsMostSignificantBitFirst) {
    const Property mode = propertyWith("mode", {0x11, 0x00, 0x00, 0x80});
    EXPECT_FALSE(modeFlagsAllow(mode, 0));
    EXPECT_FALSE(modeFlagsAllow(mode, 2));
    EXPECT_TRUE(modeFlagsAllow(mode, 3));
    EXPECT_TRUE(modeFlagsAllow(mode, 7));
    EXPECT_FALSE(modeFlagsAllow(mode, 8));
    EXPECT_TRUE(modeFlagsAllow(mode, 24));
    EXPECT_FALSE(modeFlagsAllow(mode, 32));
    EXPECT_FALSE(modeFlagsAllow(mode, -1));
}
