#include "settings/light_source.h"

#include <algorithm>
#include <cmath>

#include "settings/parameter_table.h"

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

LightSource::LightSource() {
    applyLightDefaults(*this);
}

// sqrt is correctly rounded everywhere, so both builds agree.
void LightSource::setSpotAxes(LeadingAxis leading) {
    if (type != Spot)
        return;
    const double length0 = std::sqrt(double(vector0.x) * vector0.x + double(vector0.y) * vector0.y);
    const double length1 = std::sqrt(double(vector1.x) * vector1.x + double(vector1.y) * vector1.y);
    if (leading == LeadingAxis::First) {
        // A first axis of length 0 leaves no room for a second one.
        const double ratio = length0 > 0 ? std::fmin(1.0, length1 / length0) : 1.0;
        vector1.x = roundToInt16(-vector0.y * ratio);
        vector1.y = roundToInt16(vector0.x * ratio);
    } else if (length1 > 0) {
        // A second axis of length 0 is perpendicular to any first axis, which
        // then stays as it is.
        const double ratio = std::fmax(1.0, length0 / length1);
        vector0.x = roundToInt16(vector1.y * ratio);
        vector0.y = roundToInt16(-vector1.x * ratio);
    }
}
