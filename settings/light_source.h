#pragma once
#include <cstdint>

#include "settings/light_type.h"

// The most lights the settings hold; a style file and the render block hold as
// many.
constexpr int kMaxLights = 16;

struct Point16 {
    int16_t x = 0, y = 0;
};
struct PointU16 {
    uint16_t x = 0, y = 0;
};
struct PointF {
    float x = 0, y = 0;
};

// One light as the user edits it: a plain value. Geometry is kept in preview
// pixels relative to the frame centre, and in percent of the frame when it
// arrives from a script.
// Which of a spot's two axes stays as it is when the other is made to fit it.
enum class LeadingAxis { First, Second };

struct LightSource {
    // A new light: a white spot with the settings table's intensity and focus.
    LightSource();

    // Keeps a spot's two axes perpendicular with the second never longer than
    // the first (spots only). The leading axis keeps its direction and length;
    // the other turns to stand perpendicular to it, keeping its own length
    // where the rule allows: the second no longer than the first, the first no
    // shorter than the second.
    void setSpotAxes(LeadingAxis leading = LeadingAxis::First);

    uint32_t type = Spot;
    Point16 position;
    PointU16 origin;
    Point16 vector0{30, 30};
    Point16 vector1{-15, 15};
    int16_t radius = 30;
    uint16_t color[3] = {65535, 65535, 65535};
    int16_t intensity;
    int16_t focus;
    bool enabled = true;
    PointF positionPct;
    PointF vector0Pct;
    PointF vector1Pct;
    float radiusPct = 0;
};

// Round half away from zero, as the geometry conversions want it.
int32_t roundHalfAway(double value);
// Clamps into the 16-bit range (NaN gives 0) before rounding, so that script
// geometry of any size converts without undefined behaviour.
int16_t roundToInt16(double value);
// The same with truncation toward zero.
int16_t truncToInt16(double value);
