#pragma once
#include <cstdint>

#include "protocol/descriptor_tables.h"

// The inner form of a point in this host's descriptors: a nested descriptor of
// class 'Pnt ' holding the horizontal and the vertical coordinate as doubles.
namespace pointDescriptor {
constexpr uint32_t objectClass = descriptorClass::point;
constexpr uint32_t horizontal = fourCC("Hrzn");
constexpr uint32_t vertical = fourCC("Vrtc");
} // namespace pointDescriptor
