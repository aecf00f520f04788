#include "host/zerafin/module/property_list.h"

#include "host/zerafin/module/byte_reader.h"
#include "resources/text_encoding.h"

namespace {
size_t paddingToFour(size_t length) {
    return (4 - length % 4) % 4;
}

bool readProperty(ByteReader& reader, Property& property, std::string& error) {
    uint32_t dataLength = 0;
    if (!reader.readU32(property.vendor) || !reader.readU32(property.key) ||
        !reader.readU32(property.id) || !reader.readU32(dataLength)) {
        error = "property header cut short at byte " + std::to_string(reader.offset());
        return false;
    }
    std::span<const uint8_t> data, padding;
    if (!reader.readBytes(dataLength, data) ||
        !reader.readBytes(paddingToFour(dataLength), padding)) {
        error = "data of property '" + codeText(property.key) + "' (" + std::to_string(dataLength) +
                " bytes) runs past the end of the list";
        return false;
    }
    property.data.assign(data.begin(), data.end());
    return true;
}
} // namespace

std::optional<PropertyList> parsePropertyList(std::span<const uint8_t> bytes, std::string& error) {
    ByteReader reader(bytes);
    PropertyList list;
    uint32_t count = 0;
    if (!reader.readU16(list.resourceVersion) || !reader.readU32(list.listVersion) ||
        !reader.readU32(count)) {
        error = "property list header cut short (" + std::to_string(bytes.size()) + " bytes)";
        return std::nullopt;
    }
    for (uint32_t index = 0; index < count; ++index) {
        Property property;
        if (!readProperty(reader, property, error)) {
            error = "property " + std::to_string(index + 1) + " of " + std::to_string(count) +
                    ": " + error;
            return std::nullopt;
        }
        list.properties.push_back(std::move(property));
    }
    if (reader.remaining() != 0) {
        error = "property list has " + std::to_string(reader.remaining()) +
                " bytes left after its last property (ends at byte " +
                std::to_string(reader.offset()) + " of " + std::to_string(bytes.size()) + ")";
        return std::nullopt;
    }
    return list;
}

const Property* findProperty(const PropertyList& list, uint32_t key) {
    for (const Property& property : list.properties)
        if (property.key == key)
            return &property;
    return nullptr;
}

std::optional<uint32_t> propertyNumber(const Property& property) {
    ByteReader reader(property.data);
    uint32_t value = 0;
    if (property.data.size() != 4 || !reader.readU32(value))
        return std::nullopt;
    return value;
}

std::optional<std::string> propertyPascalString(const Property& property) {
    ByteReader reader(property.data);
    std::string text;
    if (!reader.readPascalString(text))
        return std::nullopt;
    return windows1252ToUtf8(text);
}

std::optional<std::string> propertyCString(const Property& property) {
    for (size_t index = 0; index < property.data.size(); ++index)
        if (property.data[index] == 0)
            return std::string(property.data.begin(), property.data.begin() + index);
    return std::nullopt;
}

std::optional<ScriptingInfo> propertyScriptingInfo(const Property& property) {
    ByteReader reader(property.data);
    ScriptingInfo info;
    if (!reader.readU32(info.version) || !reader.readU32(info.classCode) ||
        !reader.readU32(info.eventCode) || !reader.readU32(info.terminologyId) ||
        !reader.readPascalString(info.scope))
        return std::nullopt;
    info.scope = windows1252ToUtf8(info.scope);
    return info;
}

std::string codeText(uint32_t code) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char character = char((code >> shift) & 0xFF);
        text += character >= 0x20 && character < 0x7F ? character : '?';
    }
    return text;
}
