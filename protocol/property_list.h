#pragma once
#include <cstdint>
#include <vector>

// A module's property list (resource "PIPL") as the host reads it, before any
// of the module's code runs.

// Four-character codes are 32-bit numbers whose first character is the most
// significant byte.
struct Property {
    uint32_t vendor = 0;
    uint32_t key = 0;
    uint32_t id = 0;
    std::vector<uint8_t> data; // as many bytes as the stored data length says
};

struct PropertyList {
    uint16_t resourceVersion = 0;
    uint32_t listVersion = 0;
    std::vector<Property> properties;
};
