#pragma once
#include <cstdint>

struct HostRecord;
struct PluginState;

// Pixel sizes the layout pass measures in the main dialog.
struct LayoutMeasure {
    int placeholderWidth, placeholderHeight; // control 1010's client area
    int workAreaWidth, workAreaHeight;       // control 1009's client area
};

struct PreviewGeometry {
    int step;
    int width, height; // the image in preview pixels
    int left, top;     // its place in the work area
};

// The sampling step and preview size for an image of imageWidth x imageHeight
// in the placeholder: the smallest step at which the preview fits.
PreviewGeometry computePreviewGeometry(int imageWidth, int imageHeight, const LayoutMeasure& m);

// Sets the preview geometry and frame of the state from the measure, and
// allocates the preview images and the height-map buffer: 0 or -108 (nothing
// left allocated).
int16_t LayoutPreview(const LayoutMeasure& measure, HostRecord& host, PluginState& state);

// Dialog units to pixels with the dialog font's base units, as the system
// maps a template's rectangles.
int dialogUnitsToPixelsX(int units, int baseUnitX);
int dialogUnitsToPixelsY(int units, int baseUnitY);
