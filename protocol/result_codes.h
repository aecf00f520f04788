#pragma once
#include <cstdint>

// Result codes handed to the host. Anything else comes from the host itself and
// is passed on unchanged.
namespace result {
constexpr int16_t ok = 0;
constexpr int16_t cancelled = 1; // user cancelled, interrupted, or refused after our message
constexpr int16_t missingResource = -1;
constexpr int16_t outOfMemory = -108;
constexpr int16_t unknownSelector = -30100;
constexpr int16_t notRgbMode = -30101;
constexpr int16_t hostServiceMissing = -30900;

// The host's answer to a request it cannot serve: no document to supply, no
// such property, a record it cannot read.
constexpr int16_t requestRefused = -1;
} // namespace result
