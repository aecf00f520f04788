#include "ui/light_figures.h"

#include "platform/win32/gdi.h"
#include "ui/light_geometry.h"

namespace {
HGDIOBJ stock(int id) {
    return GetStockObject(id);
}

COLORREF colourOf(const LightSource& light) {
    return RGB(light.color[0] >> 8, light.color[1] >> 8, light.color[2] >> 8);
}

// The shape's lines, inverted, without fill.
void drawShape(HDC dc, const LightSource& light, const float* ellipseTable) {
    const RasterMode inverting(dc, R2_NOT);
    const SelectedObject pen(dc, stock(BLACK_PEN));
    const SelectedObject brush(dc, stock(NULL_BRUSH));
    const PixelPoint m = lightCentre(light);
    if (light.type == Omni) {
        const int r = light.radius;
        Ellipse(dc, m.x - r, m.y - r, m.x + r, m.y + r);
        return;
    }
    MoveToEx(dc, m.x, m.y, nullptr);
    LineTo(dc, m.x + light.vector0.x, m.y + light.vector0.y);
    if (light.type != Spot)
        return;
    const auto points = ellipsePolygon(light, ellipseTable);
    MoveToEx(dc, points[0].x, points[0].y, nullptr);
    for (int k = 1; k < 40; ++k)
        LineTo(dc, points[k].x, points[k].y);
    LineTo(dc, points[0].x, points[0].y);
}

// A white square that inverts what is under it.
void drawHandle(HDC dc, PixelPoint at) {
    const RasterMode inverting(dc, R2_NOT);
    const SelectedObject pen(dc, stock(WHITE_PEN));
    const SelectedObject brush(dc, stock(WHITE_BRUSH));
    const PixelRect box = handleBox(at);
    Rectangle(dc, box.left, box.top, box.right, box.bottom);
}

// Inverts the pixels of a box, or of the disc in it. Without a pen GDI fills
// one column and one row less, hence the wider box.
void invertBox(HDC dc, const PixelRect& box, bool disc) {
    const RasterMode inverting(dc, R2_NOT);
    const SelectedObject pen(dc, stock(NULL_PEN));
    const SelectedObject brush(dc, stock(BLACK_BRUSH));
    if (disc)
        Ellipse(dc, box.left, box.top, box.right + 1, box.bottom + 1);
    else
        Rectangle(dc, box.left, box.top, box.right + 1, box.bottom + 1);
}
} // namespace

void DrawLightDot(HDC dc, const LightSource& light) {
    const Brush fill(CreateSolidBrush(colourOf(light)));
    const RasterMode normal(dc, R2_COPYPEN);
    const SelectedObject pen(dc, stock(BLACK_PEN));
    const SelectedObject brush(dc, fill.get());
    const PixelRect box = dotBox(lightCentre(light));
    Ellipse(dc, box.left, box.top, box.right, box.bottom);
}

void DrawLightFigure(HDC dc, const LightSource& light, const float* ellipseTable,
                     bool withHandles) {
    drawShape(dc, light, ellipseTable);
    DrawLightDot(dc, light);
    if (withHandles)
        for (const LightHandle& handle : drawnHandles(light))
            drawHandle(dc, handle.at);
}

void DrawDragOutline(HDC dc, const LightSource& light, const float* ellipseTable, bool withDot,
                     bool withHandles) {
    drawShape(dc, light, ellipseTable);
    if (withDot || light.type == Directional)
        invertBox(dc, dotBox(lightCentre(light)), true);
    if (withHandles)
        for (const LightHandle& handle : drawnHandles(light))
            invertBox(dc, handleBox(handle.at), false);
}

void DrawLights(HDC dc, const Settings& settings, const float* ellipseTable) {
    for (int i = 0; i < settings.lightCount; ++i)
        if (i != settings.currentLight)
            DrawLightDot(dc, settings.lights[i]);
    DrawLightFigure(dc, settings.lights[settings.currentLight], ellipseTable, true);
}
