#pragma once
#include <cstdint>

struct HostRecord;
struct Preview;
struct Settings;

// Pixel sizes of the main dialog's preview placeholder and work area.
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
// allocates the preview images and the height-map buffer: result::ok, or
// result::outOfMemory with nothing left allocated.
int16_t LayoutPreview(const LayoutMeasure& measure, const HostRecord& host, Settings& settings,
                      Preview& preview);

// The dialog font's base units at 96 DPI ("MS Sans Serif" 8 as Wine gives it).
constexpr int kReferenceBaseUnitX = 6;
constexpr int kReferenceBaseUnitY = 12;

// The main dialog's placeholder and work area at the reference base units: a
// work area of 216 x 285 pixels and a placeholder of 150 x 234. The frame of
// every light's geometry and of the render units is this work area whatever
// the screen's scaling, so that a script, a style or a stored parameter block
// lights the same image on every machine; the dialog shows this layout scaled
// to its own size.
LayoutMeasure referenceLayoutMeasure();

// Dialog units to pixels with the dialog font's base units, as the system
// maps a template's rectangles.
int dialogUnitsToPixelsX(int units, int baseUnitX);
int dialogUnitsToPixelsY(int units, int baseUnitY);
