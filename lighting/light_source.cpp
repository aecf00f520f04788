#include "lighting/light_source.h"

#include <algorithm>
#include <cmath>

#include "lighting/det_math.h"
#include "shell/checked_alloc.h"
#include "shell/plugin_state.h"

int32_t roundHalfAway(double value) {
    return int32_t(value < 0 ? value - 0.5 : value + 0.5);
}

namespace {
// NaN as 0, everything else clamped into the 16-bit range.
double clampedTo16Bits(double value) {
    if (value != value)
        return 0;
    return std::clamp(value, -32768.0, 32767.0);
}
} // namespace

int16_t roundToInt16(double value) {
    return int16_t(roundHalfAway(clampedTo16Bits(value)));
}

int16_t truncToInt16(double value) {
    return int16_t(clampedTo16Bits(value));
}

// Every field gets the values of a new light, so that a light a script only
// partly describes never reads an undefined value.
LightSource::LightSource()
    : type(Spot), position{}, origin{}, vector0{30, 30}, vector1{-15, 15},
      radius(30), color{65535, 65535, 65535}, intensity(65), focus(128), enabled(1),
      owner(nullptr), positionPct{}, vector0Pct{}, vector1Pct{}, radiusPct(0) {}

LightSource::~LightSource() {
    releaseCaches();
}

void LightSource::copySettingsFrom(const LightSource& other) {
    type = other.type;
    position = other.position;
    origin = other.origin;
    vector0 = other.vector0;
    vector1 = other.vector1;
    radius = other.radius;
    for (int c = 0; c < 3; ++c)
        color[c] = other.color[c];
    intensity = other.intensity;
    focus = other.focus;
    enabled = other.enabled;
    positionPct = other.positionPct;
    vector0Pct = other.vector0Pct;
    vector1Pct = other.vector1Pct;
    radiusPct = other.radiusPct;
}

void LightSource::invalidate() {
    if (owner)
        owner->invalidateSummedCaches();
    if (diffuseCache.buffer)
        diffuseCache.valid = 0;
    if (specularCache.buffer)
        specularCache.valid = 0;
}

void LightSource::releaseCaches() {
    checkedFree(diffuseCache.buffer);
    diffuseCache.valid = 0;
    checkedFree(specularCache.buffer);
    specularCache.valid = 0;
}

void LightSource::setSpotAxes() {
    if (type != Spot)
        return;
    double length0 = detSqrt(double(vector0.x) * vector0.x + double(vector0.y) * vector0.y);
    double length1 = detSqrt(double(vector1.x) * vector1.x + double(vector1.y) * vector1.y);
    double ratio = length0 > 0 ? std::fmin(1.0, length1 / length0) : 1.0;
    vector1.x = roundToInt16(-vector0.y * ratio);
    vector1.y = roundToInt16(vector0.x * ratio);
}
