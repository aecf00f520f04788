#pragma once

// Where a window goes on the screen: centred over its owner when that fits,
// otherwise moved just enough to lie wholly inside the work area of the
// owner's monitor (the screen less its task bars), as the system's
// DM_REPOSITION does. A window larger than the work area keeps its left and
// top edges inside it, so that its caption stays within reach.

// Left and top inclusive, right and bottom exclusive, in screen pixels.
struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// The window's rectangle of width x height centred over `owner` and kept inside `workArea`.
ScreenRect placeCentredInside(int width, int height, const ScreenRect& owner,
                              const ScreenRect& workArea);
// The rectangle moved inside `workArea`, of its own size.
ScreenRect keptInside(const ScreenRect& window, const ScreenRect& workArea);
