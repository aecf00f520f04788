#pragma once
#include <cstdint>
#include <vector>

#include "protocol/four_cc.h"

// A module's property list (resource "PIPL") as the host reads it, before any
// of the module's code runs.

// The keys of the properties a module lists.
namespace propertyKey {
constexpr uint32_t kind = fourCC("kind");
constexpr uint32_t category = fourCC("catg");
constexpr uint32_t name = fourCC("name");
constexpr uint32_t version = fourCC("vers");
constexpr uint32_t imageModes = fourCC("mode");
constexpr uint32_t host = fourCC("host");
constexpr uint32_t entryPoint = fourCC("wx86");
constexpr uint32_t inputHandling = fourCC("fici");
constexpr uint32_t scripting = fourCC("hstm");
} // namespace propertyKey

// The kind of a filter module.
constexpr uint32_t kFilterModuleKind = fourCC("9ZFM");

struct Property {
    uint32_t vendor = 0;
    uint32_t key = 0;
    uint32_t id = 0;
    std::vector<uint8_t> data; // as many bytes as the stored data length says

    bool operator==(const Property&) const = default;
};

struct PropertyList {
    uint16_t resourceVersion = 0;
    uint32_t listVersion = 0;
    std::vector<Property> properties;

    bool operator==(const PropertyList&) const = default;
};
