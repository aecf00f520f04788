#pragma once
#include <cstdint>

// Centre of pixel `index` of an area `size` pixels long, in render units
// (half the preview frame) from the area's centre; stored single precision.
inline float pixelCentre(int index, int size, float scale) {
    return float((index - size * 0.5 + 0.5) * scale);
}
