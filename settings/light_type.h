#pragma once
#include <cstdint>
#include <iterator>

#include "protocol/four_cc.h"

// The three kinds of light, as a light and a prepared light store them.
enum LightType : uint32_t { Omni = 0, Directional = 1, Spot = 2 };

// Everything a kind of light is called: the code a style file stores, the
// enumerator a script gives, the name the terminology publishes and the
// string the dialog's type list shows.
struct LightTypeEntry {
    LightType type;
    uint16_t styleCode;
    uint32_t scriptCode;
    const char* terminologyName;
    int nameStringId;
};

// In the order of the dialog's type list and of the terminology's enumerators:
// a type's row in the list is its place here.
inline constexpr LightTypeEntry kLightTypes[] = {
    {Directional, 1, fourCC("LghD"), "directionnel", 4},
    {Omni, 2, fourCC("LghO"), "omnidirectionnel", 5},
    {Spot, 3, fourCC("LghS"), "projecteur", 6},
};
inline constexpr int kLightTypeCount = int(std::size(kLightTypes));

// The entry of a light's type; an unknown type is taken for a spot.
constexpr const LightTypeEntry& lightTypeEntry(uint32_t type) {
    for (const LightTypeEntry& entry : kLightTypes)
        if (entry.type == type)
            return entry;
    return kLightTypes[kLightTypeCount - 1];
}

// The type a style code or a script's enumerator names; an unknown code gives
// a spot, as the readers have always taken it.
constexpr LightType lightTypeOfStyleCode(uint16_t code) {
    for (const LightTypeEntry& entry : kLightTypes)
        if (entry.styleCode == code)
            return entry.type;
    return Spot;
}
constexpr LightType lightTypeOfScriptCode(uint32_t code) {
    for (const LightTypeEntry& entry : kLightTypes)
        if (entry.scriptCode == code)
            return entry.type;
    return Spot;
}

// The dialog's type list: the type on a row (omni for no row, as the list has
// always answered) and the row of a type.
constexpr LightType lightTypeOfRow(int row) {
    return row >= 0 && row < kLightTypeCount ? kLightTypes[row].type : Omni;
}
constexpr int rowOfLightType(uint32_t type) {
    return int(&lightTypeEntry(type) - kLightTypes);
}
