#pragma once
#include <cstdint>
#include <vector>

#include "protocol/property_list.h"

// The "PIPL" resource bytes: header, then each property's header and data,
// zero-padded to a multiple of 4.
std::vector<uint8_t> encodePropertyList(const PropertyList& list);
