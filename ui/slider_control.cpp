#include "ui/slider_control.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "platform/win32/gdi.h"
#include "platform/win32/module_instance.h"
#include "protocol/plugin_api.h"

namespace {
// A press released within this time is a click: the value stays where it was pressed.
constexpr uint32_t kClickMilliseconds = 100;
constexpr int kThumbHalfWidth = 4;
// The number's box: at least this wide each side of the middle, and wide
// enough for the widest number in the slider's font.
constexpr int kNumberHalfWidth = 16;
constexpr char kWidestNumber[] = "-100";

SliderRecord* recordOf(HWND window) {
    return reinterpret_cast<SliderRecord*>(GetWindowLongPtrA(window, 0));
}

// The record lives in a block of the host's pointer allocator, for as long as
// its window.
SliderRecord* newRecord() {
    void* memory = NewPtr(sizeof(SliderRecord));
    return memory ? new (memory) SliderRecord{} : nullptr;
}

void disposeRecord(SliderRecord* r) {
    r->~SliderRecord();
    DisposePtr(r);
}

void copyCut(char (&target)[kSliderTextCapacity], const char* text) {
    std::snprintf(target, sizeof target, "%s", text ? text : "");
}

SliderGeometry geometryOf(const SliderRecord& r) {
    return sliderGeometry(r.width, r.height, r.labelWidth, r.textHeight);
}

COLORREF disabledColour() {
    return GetSysColor(isOldWindowsVersion() ? COLOR_BTNSHADOW : COLOR_GRAYTEXT);
}

COLORREF inkColour(const SliderRecord& r) {
    return r.enabled ? RGB(0, 0, 0) : disabledColour();
}

int thumbX(const SliderRecord& r) {
    return thumbXForValue(geometryOf(r), {r.minimum, r.maximum}, r.value);
}

void drawThumb(HDC dc, const SliderRecord& r, COLORREF colour) {
    const Pen pen(CreatePen(PS_SOLID, 1, colour));
    const SelectedObject selected(dc, pen.get());
    const int x = thumbX(r), top = geometryOf(r).thumbTop;
    MoveToEx(dc, x, top, nullptr);
    LineTo(dc, x + kThumbHalfWidth, top + kThumbHalfWidth);
    LineTo(dc, x - kThumbHalfWidth, top + kThumbHalfWidth);
    LineTo(dc, x, top);
}

// With the slider's font selected.
int numberHalfWidth(HDC dc) {
    SIZE extent{};
    GetTextExtentPoint32A(dc, kWidestNumber, int(sizeof kWidestNumber - 1), &extent);
    return std::max(kNumberHalfWidth, int(extent.cx / 2 + 2));
}

void drawNumber(HDC dc, const SliderRecord& r) {
    const SliderGeometry g = geometryOf(r);
    char text[16];
    std::snprintf(text, sizeof text, "%d", shownNumber(r.value, r.percent));
    const int middle = (g.trackLeft + g.trackRight) / 2;
    const int halfWidth = numberHalfWidth(dc);
    const RECT box{middle - halfWidth, 0, middle + halfWidth, g.trackY - 1};
    SetTextAlign(dc, TA_CENTER | TA_TOP);
    ExtTextOutA(dc, middle, 0, ETO_OPAQUE, &box, text, UINT(std::strlen(text)), nullptr);
}

void drawTrack(HDC dc, const SliderRecord& r) {
    const SliderGeometry g = geometryOf(r);
    const Pen pen(CreatePen(PS_SOLID, 1, inkColour(r)));
    const SelectedObject selected(dc, pen.get());
    MoveToEx(dc, g.trackLeft, g.trackY - 1, nullptr);
    LineTo(dc, g.trackLeft, g.trackY);
    LineTo(dc, g.trackRight, g.trackY);
    LineTo(dc, g.trackRight, g.trackY - 2);
    const int middle = (g.trackLeft + g.trackRight) / 2;
    MoveToEx(dc, middle, g.trackY - 1, nullptr);
    LineTo(dc, middle, g.trackY);
}

void drawTexts(HDC dc, const SliderRecord& r) {
    const SliderGeometry g = geometryOf(r);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    TextOutA(dc, 0, 5, r.label, int(std::strlen(r.label)));
    TextOutA(dc, g.trackLeft, 0, r.leftLabel, int(std::strlen(r.leftLabel)));
    SetTextAlign(dc, TA_RIGHT | TA_TOP);
    TextOutA(dc, g.trackRight, 0, r.rightLabel, int(std::strlen(r.rightLabel)));
}

void paintSlider(HDC dc, const SliderRecord& r) {
    const SliderGeometry g = geometryOf(r);
    const RECT thumbZone{g.trackLeft - kThumbHalfWidth, g.trackY + 1, r.width, r.height};
    const Brush face(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
    FillRect(dc, &thumbZone, face.get());
    drawTrack(dc, r);
    const SelectedObject font(dc, r.font);
    SetTextColor(dc, inkColour(r));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    SetBkMode(dc, OPAQUE);
    drawTexts(dc, r);
    drawThumb(dc, r, inkColour(r));
    drawNumber(dc, r);
}

// Moves the thumb to the value resting under x and shows its number at once.
void followMouse(SliderRecord& r, int x) {
    const WindowDC dc(r.window);
    drawThumb(dc.get(), r, GetSysColor(COLOR_BTNFACE));
    r.value = restingValue(valueForX(geometryOf(r), {r.minimum, r.maximum}, x), r.percent);
    drawThumb(dc.get(), r, inkColour(r));
    const SelectedObject font(dc.get(), r.font);
    SetTextColor(dc.get(), inkColour(r));
    SetBkColor(dc.get(), GetSysColor(COLOR_BTNFACE));
    drawNumber(dc.get(), r);
}

void notifyParent(const SliderRecord& r) {
    SendMessageA(GetParent(r.window), WM_COMMAND, WPARAM(GetDlgCtrlID(r.window)),
                 reinterpret_cast<LPARAM>(r.window));
}

// Message handlers.

void onPaint(HWND window) {
    const PaintDC dc(window);
    if (const SliderRecord* r = recordOf(window))
        paintSlider(dc.get(), *r);
}

void onEnable(HWND window, bool enabled) {
    SliderRecord* r = recordOf(window);
    if (!r)
        return;
    r->enabled = enabled;
    const WindowDC dc(window);
    paintSlider(dc.get(), *r);
}

// True when the press started a drag.
bool onButtonDown(HWND window, int x, int y) {
    SliderRecord* r = recordOf(window);
    if (!r || (GetWindowLongA(window, GWL_STYLE) & WS_DISABLED) ||
        !isInThumbZone(geometryOf(*r), x, y))
        return false;
    r->drag.begin(window);
    followMouse(*r, x);
    return true;
}

void onMouseMove(HWND window, int x) {
    SliderRecord* r = recordOf(window);
    if (r && r->drag.active() && !r->drag.withinMillisecondsOfPress(kClickMilliseconds))
        followMouse(*r, x);
}

void onButtonUp(HWND window, int x) {
    SliderRecord* r = recordOf(window);
    if (!r || !r->drag.active())
        return;
    if (!r->drag.withinMillisecondsOfPress(kClickMilliseconds))
        followMouse(*r, x);
    if (r->drag.end())
        notifyParent(*r);
}

// The drag ends where the thumb stands, and the parent learns the value.
void onCaptureLost(HWND window) {
    SliderRecord* r = recordOf(window);
    if (r && r->drag.end())
        notifyParent(*r);
}

void onDestroy(HWND window) {
    if (SliderRecord* r = recordOf(window)) {
        SetWindowLongPtrA(window, 0, 0);
        disposeRecord(r);
    }
}

int16_t pointX(LPARAM lParam) {
    return int16_t(LOWORD(lParam));
}
int16_t pointY(LPARAM lParam) {
    return int16_t(HIWORD(lParam));
}
} // namespace

bool CreateSlider(HWND window, const SliderSetup& setup) {
    if (!setup.font)
        DebugBreak(); // the dialog always passes its font
    SliderRecord* r = newRecord();
    if (!r)
        return false;
    r->window = window;
    copyCut(r->label, setup.label);
    copyCut(r->leftLabel, setup.leftLabel);
    copyCut(r->rightLabel, setup.rightLabel);
    r->minimum = setup.minimum;
    r->maximum = setup.maximum;
    r->value = setup.value;
    r->labelWidth = setup.labelWidth;
    r->font = setup.font;
    r->percent = setup.percent;
    r->enabled = true;
    RECT bounds{};
    GetWindowRect(window, &bounds);
    r->width = int16_t(bounds.right - bounds.left);
    r->height = int16_t(bounds.bottom - bounds.top);
    SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(r));
    const WindowDC dc(window);
    {
        const SelectedObject font(dc.get(), r->font);
        TEXTMETRICA metrics{};
        GetTextMetricsA(dc.get(), &metrics);
        r->textHeight = int16_t(metrics.tmHeight);
    }
    RECT client{};
    GetClientRect(window, &client);
    const Brush face(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
    FillRect(dc.get(), &client, face.get());
    return true;
}

int16_t sliderValue(HWND window) {
    const SliderRecord* r = recordOf(window);
    return r ? r->value : 0;
}

void setSliderValue(HWND window, int16_t value) {
    if (SliderRecord* r = recordOf(window))
        r->value = value;
}

LRESULT CALLBACK sliderWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        onPaint(window);
        return 0;
    case WM_ENABLE:
        onEnable(window, wParam != 0);
        return 0;
    case WM_LBUTTONDOWN:
        if (onButtonDown(window, pointX(lParam), pointY(lParam)))
            return 0;
        break;
    case WM_MOUSEMOVE:
        onMouseMove(window, pointX(lParam));
        return 0;
    case WM_LBUTTONUP:
        onButtonUp(window, pointX(lParam));
        return 0;
    case WM_CAPTURECHANGED:
        onCaptureLost(window);
        return 0;
    case WM_DESTROY:
        onDestroy(window);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
