// The module's property list, parsed back (from the module file itself in the
// Win32 build) and compared with the table it is built from, and the host's
// parser and filter check.
#include <gtest/gtest.h>

#include "host/zerafin/commands/info_command.h"
#include "host/zerafin/module/property_list.h"
#include "protocol/property_list.h"
#include "resources/property_list_table.h"
#include "resources/resource_ids.h"
#include "resources/terminology_table.h"
#include "tests/support/resources_under_test.h"

namespace {
PropertyList parsedModuleList() {
    std::string error;
    std::optional<PropertyList> list = parsePropertyList(propertyListUnderTest(), error);
    EXPECT_TRUE(list) << error;
    return list.value_or(PropertyList{});
}

Property propertyWith(uint32_t key, std::vector<uint8_t> data) {
    return {kHostSignature, key, 0, std::move(data)};
}

// The module's list with one property's data replaced.
PropertyList moduleListWith(uint32_t key, std::vector<uint8_t> data) {
    PropertyList list = parsedModuleList();
    for (Property& property : list.properties)
        if (property.key == key)
            property.data = std::move(data);
    return list;
}
} // namespace

TEST(ModulePropertyList, IsTheListTheModuleIsBuiltFrom) {
    const PropertyList list = parsedModuleList();
    const PropertyList source = orvanePropertyList();
    EXPECT_EQ(list.resourceVersion, source.resourceVersion);
    EXPECT_EQ(list.listVersion, source.listVersion);
    ASSERT_EQ(list.properties.size(), source.properties.size());
    for (size_t index = 0; index < source.properties.size(); ++index) {
        const Property& property = list.properties[index];
        SCOPED_TRACE(codeText(source.properties[index].key));
        EXPECT_EQ(property.key, source.properties[index].key);
        EXPECT_EQ(property.vendor, kHostSignature) << "the host reads only its own properties";
        EXPECT_EQ(property.id, source.properties[index].id);
        EXPECT_EQ(property.data, source.properties[index].data);
    }
}

TEST(ModulePropertyList, StoresCodesLittleEndianSoTheirCharactersAppearReversed) {
    const std::vector<uint8_t> bytes = propertyListUnderTest();
    ASSERT_GE(bytes.size(), 30u);
    EXPECT_EQ(std::string(bytes.begin() + 10, bytes.begin() + 14), "MIZ9");
    EXPECT_EQ(std::string(bytes.begin() + 14, bytes.begin() + 18), "dnik");
    EXPECT_EQ(std::string(bytes.begin() + 26, bytes.begin() + 30), "MFZ9");
}

// Every property the host decodes has the shape its decoder expects.
TEST(ModulePropertyList, EveryPropertyDecodesAsTheHostReadsIt) {
    const PropertyList list = parsedModuleList();
    for (uint32_t key : {propertyKey::kind, propertyKey::version, propertyKey::host}) {
        const Property* property = findProperty(list, key);
        ASSERT_NE(property, nullptr) << codeText(key);
        EXPECT_TRUE(propertyNumber(*property)) << codeText(key);
    }
    for (uint32_t key : {propertyKey::category, propertyKey::name}) {
        const Property* property = findProperty(list, key);
        ASSERT_NE(property, nullptr) << codeText(key);
        EXPECT_NE(propertyPascalString(*property).value_or(""), "") << codeText(key);
    }
    EXPECT_EQ(propertyNumber(*findProperty(list, propertyKey::host)), kHostSignature);
}

// The scripting property names the event and the terminology resource that
// the module carries.
TEST(ModulePropertyList, NamesTheModulesScriptingTerminology) {
    const PropertyList list = parsedModuleList();
    const Property* scripting = findProperty(list, propertyKey::scripting);
    ASSERT_NE(scripting, nullptr);
    const std::optional<ScriptingInfo> info = propertyScriptingInfo(*scripting);
    ASSERT_TRUE(info);
    const Terminology terminology = orvaneTerminology();
    EXPECT_EQ(info->classCode, terminology.eventClass);
    EXPECT_EQ(info->eventCode, terminology.eventCode);
    EXPECT_EQ(info->terminologyId, uint32_t(kTerminologyResource));
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
    EXPECT_FALSE(checkFilterModule(moduleListWith(propertyKey::kind, {'M', 'F', 'Z', '8'}), error,
                                   entryPoint));
    EXPECT_NE(error.find("'8ZFM'"), std::string::npos) << error;
    // Mode 7 alone, without RGB (mode 3, bit 0x10 of the first byte).
    EXPECT_FALSE(checkFilterModule(moduleListWith(propertyKey::imageModes, {0x01, 0, 0, 0}), error,
                                   entryPoint));
    EXPECT_NE(error.find("RGB"), std::string::npos) << error;
    EXPECT_FALSE(checkFilterModule(moduleListWith(propertyKey::entryPoint, {}), error, entryPoint));
    EXPECT_TRUE(
        checkFilterModule(moduleListWith(propertyKey::imageModes, {0x10}), error, entryPoint))
        << error;
    EXPECT_EQ(entryPoint, "ENTRYPOINT1");
}

TEST(FilterModuleCheck, ReadsTheModeFlagsMostSignificantBitFirst) {
    const Property mode = propertyWith(propertyKey::imageModes, {0x11, 0x00, 0x00, 0x80});
    EXPECT_FALSE(modeFlagsAllow(mode, 0));
    EXPECT_FALSE(modeFlagsAllow(mode, 2));
    EXPECT_TRUE(modeFlagsAllow(mode, 3));
    EXPECT_TRUE(modeFlagsAllow(mode, 7));
    EXPECT_FALSE(modeFlagsAllow(mode, 8));
    EXPECT_TRUE(modeFlagsAllow(mode, 24));
    EXPECT_FALSE(modeFlagsAllow(mode, 32));
    EXPECT_FALSE(modeFlagsAllow(mode, -1));
}
