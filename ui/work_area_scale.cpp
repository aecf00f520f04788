#include "ui/work_area_scale.h"

namespace {
// a / b rounded down, also for a negative a (b > 0).
int floorDivide(int a, int b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// The layout coordinate nearest to a window coordinate `offset` pixels past the
// layout's edge: offset / factor rounded to the nearest.
int nearestLayout(int offset, const WorkAreaScale& s) {
    return floorDivide(2 * offset * s.denominator + s.numerator, 2 * s.numerator);
}

// A layout length in window pixels, rounded to the nearest as the system
// rounds what it draws.
int scaledLength(int length, const WorkAreaScale& s) {
    return (2 * length * s.numerator + s.denominator) / (2 * s.denominator);
}
} // namespace

PixelPoint WorkAreaScale::toLayout(PixelPoint window) const {
    return {nearestLayout(window.x - offsetX, *this), nearestLayout(window.y - offsetY, *this)};
}

PixelRect WorkAreaScale::toLayout(const PixelRect& window) const {
    const PixelPoint topLeft = toLayout(PixelPoint{window.left, window.top});
    const PixelPoint bottomRight = toLayout(PixelPoint{window.right, window.bottom});
    return {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

PixelRect WorkAreaScale::shownLayout() const {
    return {offsetX, offsetY, offsetX + scaledLength(layoutWidth, *this),
            offsetY + scaledLength(layoutHeight, *this)};
}

WorkAreaScale workAreaScale(int layoutWidth, int layoutHeight, int windowWidth, int windowHeight) {
    WorkAreaScale s;
    if (layoutWidth <= 0 || layoutHeight <= 0 || windowWidth <= 0 || windowHeight <= 0)
        return s;
    s.layoutWidth = layoutWidth;
    s.layoutHeight = layoutHeight;
    // The smaller of windowWidth / layoutWidth and windowHeight / layoutHeight.
    if (windowWidth * layoutHeight <= windowHeight * layoutWidth) {
        s.numerator = windowWidth;
        s.denominator = layoutWidth;
    } else {
        s.numerator = windowHeight;
        s.denominator = layoutHeight;
    }
    const PixelRect shown = s.shownLayout();
    s.offsetX = (windowWidth - shown.right) / 2;
    s.offsetY = (windowHeight - shown.bottom) / 2;
    return s;
}
