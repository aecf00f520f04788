#pragma once
#include <cstdint>
#include <span>

// The property list ("PIPL" 16000) and terminology ("AETE" 128) bytes exactly
// as the module carries them, for the native host and the tests, which have no
// module file to read them from. Generated at build time from the tables.
std::span<const uint8_t> propertyListBytes();
std::span<const uint8_t> terminologyBytes();
// The French colour dialog's template (dialog 106) as the module carries it,
// which the reference host's colour picker shows too.
std::span<const uint8_t> colourPickerTemplateBytes();
