#pragma once
#include <cstdint>

#include "protocol/descriptor_tables.h"
#include "protocol/four_cc.h"

// The keys, types and values the filter's settings travel under in scripting
// descriptors, as its terminology publishes them. The sliders' settings have
// their keys in the settings table.
namespace scriptKey {
// The filter's parameters.
constexpr uint32_t ambientColor = fourCC("AmbC");
constexpr uint32_t texture = fourCC("BmpC");
constexpr uint32_t whiteIsHigh = fourCC("WhHi");
constexpr uint32_t imageWidth = fourCC("FrmW");
constexpr uint32_t currentLight = fourCC("CrnL");
constexpr uint32_t lights = fourCC("LghS");

// The properties of one light.
constexpr uint32_t color = fourCC("Clr ");
constexpr uint32_t enabled = fourCC("On  ");
constexpr uint32_t lightType = fourCC("LghT");
constexpr uint32_t position = fourCC("Pstn");
constexpr uint32_t vector0 = fourCC("Vct0");
constexpr uint32_t vector1 = fourCC("Vct1");
constexpr uint32_t radius = fourCC("Rds ");

// The components of a colour.
constexpr uint32_t red = fourCC("Rd  ");
constexpr uint32_t green = fourCC("Grn ");
constexpr uint32_t blue = fourCC("Bl  ");
} // namespace scriptKey

namespace scriptCode {
// Classes of nested descriptors.
constexpr uint32_t rgbColor = descriptorClass::rgbColor;
constexpr uint32_t lightClass = fourCC("LghS");

// The light type enumeration and its values.
constexpr uint32_t lightTypeEnum = fourCC("LghT");
constexpr uint32_t directional = fourCC("LghD");
constexpr uint32_t omni = fourCC("LghO");
constexpr uint32_t spot = fourCC("LghS");
} // namespace scriptCode
