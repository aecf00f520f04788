#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// A module's version block: the fixed numbers and one table of strings.
struct VersionBlock {
    std::array<uint16_t, 4> fileVersion{};
    std::array<uint16_t, 4> productVersion{};
    uint32_t fileFlagsMask = 0;
    uint32_t fileFlags = 0;
    uint32_t fileOs = 0;
    uint32_t fileType = 0;
    std::string languageCodePage; // the string table's name, e.g. "040904E4"
    std::vector<std::pair<std::string, std::string>> strings; // name, value
};

// The version block the module carries.
const VersionBlock& orvaneVersionBlock();
