#pragma once
#include <cstdint>
#include <span>
#include <string>

// A C++ source that defines propertyListBytes(), terminologyBytes() and
// colourPickerTemplateBytes() of resources/resource_data.h with these bytes.
std::string resourceDataSource(std::span<const uint8_t> propertyList,
                               std::span<const uint8_t> terminology,
                               std::span<const uint8_t> colourPicker);
