#include "ui/light_geometry.h"

#include <algorithm>
#include <cmath>

namespace {
double lengthOf(double x, double y) {
    return std::sqrt(x * x + y * y);
}

PixelPoint offset(PixelPoint p, int dx, int dy) {
    return {p.x + dx, p.y + dy};
}

// The two axes the handles sit on, as described for HitCode.
struct HandleAxes {
    PixelPoint first, second;
};

HandleAxes axesOf(const LightSource& light) {
    if (light.type == Omni)
        return {{light.radius, 0}, {0, light.radius}};
    return {{light.vector0.x, light.vector0.y}, {light.vector1.x, light.vector1.y}};
}

// The offset of the mouse from the centre that sets a handle's axis: ahead of
// the centre for codes 4 and 5 (and a directional light's one handle), behind
// it for codes 2 and 3 of a spot.
PixelPoint handleOffset(const LightSource& light, HitCode code, PixelPoint p) {
    const PixelPoint m = lightCentre(light);
    const bool behind = light.type == Spot && (code == HitFirstBehind || code == HitSecondBehind);
    return behind ? PixelPoint{m.x - p.x, m.y - p.y} : PixelPoint{p.x - m.x, p.y - m.y};
}

void setOmniRadius(LightSource& light, HitCode code, PixelPoint p) {
    const PixelPoint m = lightCentre(light);
    int radius = 0;
    switch (code) {
    case HitFirstBehind:
        radius = m.x - p.x;
        break;
    case HitSecondBehind:
        radius = m.y - p.y;
        break;
    case HitFirstAhead:
        radius = p.x - m.x;
        break;
    default:
        radius = p.y - m.y;
        break;
    }
    light.radius = int16_t(std::max(radius, 1));
}
} // namespace

PixelPoint PixelRect::clamp(PixelPoint p) const {
    return {std::clamp(p.x, left, right - 1), std::clamp(p.y, top, bottom - 1)};
}

PixelPoint lightCentre(const LightSource& light) {
    return {int16_t(light.origin.x + light.position.x), int16_t(light.origin.y + light.position.y)};
}

Point16 positionForCentre(const LightSource& light, PixelPoint p) {
    return {int16_t(p.x - light.origin.x), int16_t(p.y - light.origin.y)};
}

PixelRect dotBox(PixelPoint centre) {
    return {centre.x - 3, centre.y - 3, centre.x + 4, centre.y + 4};
}

PixelRect handleBox(PixelPoint at) {
    return {at.x - 2, at.y - 2, at.x + 3, at.y + 3};
}

std::vector<LightHandle> lightHandles(const LightSource& light) {
    const PixelPoint m = lightCentre(light);
    const HandleAxes axes = axesOf(light);
    if (light.type == Directional)
        return {{HitFirstBehind, offset(m, axes.first.x, axes.first.y)}};
    return {
        {HitFirstBehind, offset(m, -axes.first.x, -axes.first.y)},
        {HitFirstAhead, offset(m, axes.first.x, axes.first.y)},
        {HitSecondBehind, offset(m, -axes.second.x, -axes.second.y)},
        {HitSecondAhead, offset(m, axes.second.x, axes.second.y)},
    };
}

std::vector<LightHandle> drawnHandles(const LightSource& light) {
    std::vector<LightHandle> handles = lightHandles(light);
    if (light.type == Omni) {
        handles[1].at.x -= 1;
        handles[3].at.y -= 1;
    }
    return handles;
}

HitCode HitTestLight(const LightSource& light, PixelPoint p, bool withHandles) {
    if (withHandles)
        for (const LightHandle& handle : lightHandles(light))
            if (handleBox(handle.at).contains(p))
                return handle.code;
    return dotBox(lightCentre(light)).contains(p) ? HitDot : HitNothing;
}

HitCode HitTestLights(const Settings& settings, PixelPoint p, int& index) {
    index = settings.currentLight;
    if (const HitCode code = HitTestLight(settings.lights[index], p, true); code != HitNothing)
        return code;
    for (int i = 0; i < settings.lightCount; ++i)
        if (i != settings.currentLight && HitTestLight(settings.lights[i], p, false) == HitDot) {
            index = i;
            return HitDot;
        }
    return HitNothing;
}

std::array<PixelPoint, 40> ellipsePolygon(const LightSource& light, const float* ellipseTable) {
    const PixelPoint m = lightCentre(light);
    std::array<PixelPoint, 40> points;
    for (int k = 0; k < 40; ++k) {
        const double cosine = ellipseTable[k], sine = ellipseTable[40 + k];
        points[k] = {m.x + int(light.vector0.x * cosine + light.vector1.x * sine),
                     m.y + int(light.vector0.y * cosine + light.vector1.y * sine)};
    }
    return points;
}

Constraint constraintOf(bool shift, bool control) {
    if (shift)
        return Constraint::KeepDirection;
    return control ? Constraint::KeepLength : Constraint::None;
}

Point16 constrainedVector(Point16 before, Point16 current, PixelPoint d, Constraint constraint) {
    const double beforeLength = lengthOf(before.x, before.y);
    const double mouseLength = lengthOf(d.x, d.y);
    switch (constraint) {
    case Constraint::KeepDirection:
        if (beforeLength == 0)
            return current;
        return {truncToInt16(before.x * mouseLength / beforeLength),
                truncToInt16(before.y * mouseLength / beforeLength)};
    case Constraint::KeepLength:
        if (mouseLength == 0)
            return current;
        return {truncToInt16(d.x * beforeLength / mouseLength),
                truncToInt16(d.y * beforeLength / mouseLength)};
    default:
        return {truncToInt16(d.x), truncToInt16(d.y)};
    }
}

void applyHandleChange(LightSource& light, const HandleDragStart& start, PixelPoint p,
                       Constraint constraint) {
    const PixelPoint d = handleOffset(light, start.code, p);
    if (light.type == Omni) {
        setOmniRadius(light, start.code, p);
    } else if (light.type == Directional) {
        light.vector0 = constrainedVector(start.vector0, light.vector0, d, constraint);
    } else if (start.code == HitFirstBehind || start.code == HitFirstAhead) {
        light.vector0 = constrainedVector(start.vector0, light.vector0, d, constraint);
        light.vector1 = start.vector1;
        light.setSpotAxes(LeadingAxis::First);
    } else {
        light.vector1 = constrainedVector(start.vector1, light.vector1, d, constraint);
        light.vector0 = start.vector0;
        light.setSpotAxes(LeadingAxis::Second);
    }
}
