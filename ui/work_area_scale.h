#pragma once
#include "ui/light_geometry.h"

// The work area shows the preview's layout, which is the same on every screen
// (referenceLayoutMeasure), scaled to the window: one factor for both axes, the
// largest at which the whole layout fits, and centred. At 96 DPI the window is
// the layout's own size and nothing moves. Lights, handles and hit tests all
// work in layout pixels; only drawing and the mouse go through the scale.
struct WorkAreaScale {
    // The factor is numerator / denominator.
    int numerator = 1, denominator = 1;
    // Where the layout's top left corner lies in the window.
    int offsetX = 0, offsetY = 0;
    int layoutWidth = 0, layoutHeight = 0;

    // The layout pixel nearest to a window pixel.
    PixelPoint toLayout(PixelPoint window) const;
    // A window rectangle in layout pixels: each corner to its nearest.
    PixelRect toLayout(const PixelRect& window) const;
    // The window rectangle that shows the whole layout.
    PixelRect shownLayout() const;
};

WorkAreaScale workAreaScale(int layoutWidth, int layoutHeight, int windowWidth, int windowHeight);
