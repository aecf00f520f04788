#pragma once
#include <cstdint>

#include "protocol/descriptor_tables.h"
#include "protocol/four_cc.h"
#include "settings/parameter_table.h"

// The keys, types and values the filter's settings travel under in scripting
// descriptors, as its terminology publishes them. The settings' keys are the
// parameter table's; these are names for them.
namespace scriptKey {
// The filter's parameters.
constexpr uint32_t ambientColor = keyOf(Parameter::AmbientColor);
constexpr uint32_t texture = keyOf(Parameter::Texture);
constexpr uint32_t whiteIsHigh = keyOf(Parameter::WhiteIsHigh);
constexpr uint32_t imageWidth = keyOf(Parameter::ImageWidth);
constexpr uint32_t currentLight = keyOf(Parameter::CurrentLight);
constexpr uint32_t lights = keyOf(Parameter::Lights);

// The properties of one light.
constexpr uint32_t color = keyOf(Parameter::Color);
constexpr uint32_t enabled = keyOf(Parameter::Enabled);
constexpr uint32_t lightType = keyOf(Parameter::Type);
constexpr uint32_t position = keyOf(Parameter::Position);
constexpr uint32_t vector0 = keyOf(Parameter::Vector0);
constexpr uint32_t vector1 = keyOf(Parameter::Vector1);
constexpr uint32_t radius = keyOf(Parameter::Radius);

// The components of a colour.
constexpr uint32_t red = fourCC("Rd  ");
constexpr uint32_t green = fourCC("Grn ");
constexpr uint32_t blue = fourCC("Bl  ");
} // namespace scriptKey

namespace scriptCode {
// Classes of nested descriptors.
constexpr uint32_t rgbColor = descriptorClass::rgbColor;
constexpr uint32_t lightClass = filterType::light;

// The light type enumeration (its values are in the light type table).
constexpr uint32_t lightTypeEnum = filterType::lightType;
} // namespace scriptCode
