#pragma once
#include <cstdint>

// The three kinds of light, as a light and a prepared light store them.
enum LightType : uint32_t { Omni = 0, Directional = 1, Spot = 2 };
