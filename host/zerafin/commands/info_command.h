#pragma once
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include "host/zerafin/module/property_list.h"
#include "resources/version_table.h"

// `zerafin info`: prints what a module tells the host about itself before any
// of its code runs: every property of its property list decoded (kind,
// category, name, host interface version, mode flags, entry point, scripting
// class, event and terminology ID), its version block when one is given, and
// its scripting terminology decoded in full (an empty `aete` prints none).
// Returns 0, or 2 with a message on stderr when the property list or the
// terminology cannot be parsed.
int runInfoCommand(std::span<const uint8_t> pipl, std::span<const uint8_t> aete, std::FILE* out,
                   const VersionBlock* version = nullptr);

// A four-part version number as "5.0.0.0".
std::string versionText(const std::array<uint16_t, 4>& parts);

// Whether the host can run the module as a filter on an RGB image: its kind must
// be '9ZFM' and its mode flags must allow RGB. True with the name of the entry
// point that 'wx86' gives; false with a message for the user.
bool checkFilterModule(const PropertyList& list, std::string& error, std::string& entryPointName);

// The 'mode' property holds one bit per image mode, most significant bit
// first: image mode n is allowed when byte n / 8 has bit 7 - n % 8 set. RGB
// is mode 3, so the module's bytes 0x11 0x00 0x00 0x00 allow RGB (0x10) and
// mode 7 (0x01).
bool modeFlagsAllow(const Property& mode, int imageMode);
