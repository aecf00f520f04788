#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "protocol/property_list.h"

// A module's property list (resource "PIPL"): how the host learns, before any
// of the module's code runs, what the module is, where its menu item goes, in
// which image modes it works and which export to call.

// Parses the property list bytes. Each property's data is followed by zero
// padding to a multiple of 4; the last property must end exactly on the last
// byte. On failure returns std::nullopt and sets error.
std::optional<PropertyList> parsePropertyList(std::span<const uint8_t> bytes, std::string& error);

// The first property with this key, or null.
const Property* findProperty(const PropertyList& list, uint32_t key);

// The data of a property read as one shape; nullopt when it does not fit.
// A 32-bit little-endian number (also a four-character code).
std::optional<uint32_t> propertyNumber(const Property& property);
// A length byte and Windows-1252 characters, returned in UTF-8.
std::optional<std::string> propertyPascalString(const Property& property);
// Characters up to a zero byte that lies within the data.
std::optional<std::string> propertyCString(const Property& property);

// The scripting terminology that the 'hstm' property names.
struct ScriptingInfo {
    uint32_t version = 0;
    uint32_t classCode = 0;
    uint32_t eventCode = 0;
    uint32_t terminologyId = 0; // resource ID of the "AETE" resource
    std::string scope;
};
std::optional<ScriptingInfo> propertyScriptingInfo(const Property& property);

// "kind" for the code 'kind'; bytes outside printable ASCII show as '?'.
std::string codeText(uint32_t code);
