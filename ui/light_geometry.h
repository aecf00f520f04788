#pragma once
#include <array>
#include <vector>

#include "settings/settings.h"

// Where a light's figure lies in the work area and what a press or a drag on
// it does: the centre and handles, hit testing, the spot's ellipse, and the
// changes of a handle drag. All in the work area's client pixels.

struct PixelPoint {
    int x = 0, y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// Left and top inclusive, right and bottom exclusive.
struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;

    bool contains(PixelPoint p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    // Off the edges too: left < x < right and top < y < bottom.
    bool containsStrictly(PixelPoint p) const {
        return p.x > left && p.x < right && p.y > top && p.y < bottom;
    }
    // The drag area of a client rectangle: one pixel in from every side.
    PixelRect shrunkByOne() const { return {left + 1, top + 1, right - 1, bottom - 1}; }
    // The nearest point inside, each coordinate on its own.
    PixelPoint clamp(PixelPoint p) const;
};

// What a press on a light hits. The handles are numbered along two axes: an
// omni light's are (r, 0) and (0, r), a spot's its vector0 and vector1; code 2
// is the handle behind the centre on the first axis, 4 the one ahead of it,
// 3 and 5 the same on the second axis. A directional light's one handle, at
// the tip of its direction, is code 2.
enum HitCode : int {
    HitNothing = 0,
    HitDot = 1,
    HitFirstBehind = 2,
    HitSecondBehind = 3,
    HitFirstAhead = 4,
    HitSecondAhead = 5,
};

struct LightHandle {
    HitCode code;
    PixelPoint at;
};

// The light's centre on screen: its origin plus its position (16-bit).
PixelPoint lightCentre(const LightSource& light);
// The position that puts the light's centre at p.
Point16 positionForCentre(const LightSource& light, PixelPoint p);

// The 7 by 7 box of a light's dot and the 5 by 5 box of a handle.
PixelRect dotBox(PixelPoint centre);
PixelRect handleBox(PixelPoint at);

// The handles of the light's type in the order they are hit-tested.
std::vector<LightHandle> lightHandles(const LightSource& light);
// The same where they are drawn: an omni light's right and bottom handles sit
// one pixel inside its circle's box.
std::vector<LightHandle> drawnHandles(const LightSource& light);

// The first handle (when asked for) or the dot under p.
HitCode HitTestLight(const LightSource& light, PixelPoint p, bool withHandles);

// The light under a press in the work area: the selected light's handles and
// dot first, then every other light's dot in index order; the first hit wins.
// `index` receives the light's index when something is hit.
HitCode HitTestLights(const Settings& settings, PixelPoint p, int& index);

// The spot's ellipse as 40 points: centre + vector0 cos + vector1 sin, from the
// preview's table of 40 cosines then 40 sines.
std::array<PixelPoint, 40> ellipsePolygon(const LightSource& light, const float* ellipseTable);

// A handle drag's constraint, from the modifier keys of a mouse message: Shift
// keeps the direction (the length follows the mouse), Control alone keeps
// the length (the direction follows the mouse).
enum class Constraint { None, KeepDirection, KeepLength };
Constraint constraintOf(bool shift, bool control);

// The vector a handle drag sets from the mouse offset d. `before` is the
// vector at the start of the drag, whose direction or length a constraint
// keeps; `current` is kept when the vector to scale has length 0.
Point16 constrainedVector(Point16 before, Point16 current, PixelPoint d, Constraint constraint);

// What a handle drag remembers from the press.
struct HandleDragStart {
    HitCode code;
    Point16 vector0, vector1;
};

// Applies a handle drag to point p: an omni light's radius (at least 1), a
// directional light's direction, a spot's axis with the other one fitted to
// it (the other axis starts again from its value at the press).
void applyHandleChange(LightSource& light, const HandleDragStart& start, PixelPoint p,
                       Constraint constraint);
