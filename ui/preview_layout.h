#pragma once
#include <cstdint>

struct HostRecord;
struct Preview;
struct Settings;

// Pixel sizes the layout pass measures in the main dialog.
struct LayoutMeasure {
    int placeholderWidth, placeholderHeight; // the preview placeholder's client area
    int workAreaWidth, workAreaHeight;       // the work area's client area
};

struct PreviewGeometry {
    int step;
    int width, height; // the image in preview pixels
    int left, top;     // its place in the work area
};

// The sampling step and preview size for an image of imageWidth x imageHeight
// in the placeholder: the smallest step at which the preview fits.
PreviewGeometry computePreviewGeometry(int imageWidth, int imageHeight, const LayoutMeasure& m);

// Sets the preview's geometry and the settings' frame from the measure, and
// allocates the preview images and the height-map buffer: 0 or -108 (nothing
// left allocated).
int16_t LayoutPreview(const LayoutMeasure& measure, const HostRecord& host, Settings& settings,
                      Preview& preview);

// Dialog units to pixels with the dialog font's base units, as the system
// maps a template's rectangles.
int dialogUnitsToPixelsX(int units, int baseUnitX);
int dialogUnitsToPixelsY(int units, int baseUnitY);
