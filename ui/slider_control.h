#pragma once
#include <windows.h>

#include <cstdint>

#include "ui/mouse_drag.h"
#include "ui/slider_geometry.h"

// A settings slider (window class VR_slider_control_window): its label at the
// left, end labels above the track's ends, the value as a number above the
// middle and a triangular thumb under the track. The parent hears of a change
// only when the user lets go (WM_COMMAND, notification code 0).

constexpr int kSliderTextCapacity = 32; // 31 characters and the terminator

// The window's one extra word holds its record.
constexpr int kSliderExtraBytes = sizeof(LONG_PTR);

struct SliderRecord {
    HWND window;
    char label[kSliderTextCapacity];
    char leftLabel[kSliderTextCapacity];
    char rightLabel[kSliderTextCapacity];
    int16_t minimum, maximum, value;
    int16_t width, height;
    int16_t labelWidth;
    int16_t textHeight; // of the font: the end labels and the number stand above the track
    bool enabled;
    bool percent; // the number shown is 0..100, else -100..100
    HFONT font;
    MouseDrag drag;
};

struct SliderSetup {
    const char* label;
    const char* leftLabel;
    const char* rightLabel;
    int16_t minimum, maximum, value;
    int16_t labelWidth;
    HFONT font; // required
    bool percent;
};

// Gives the window its record, taken from the host's pointer allocator and
// given back by the window when it is destroyed. False when the host could not
// supply one: that slider stays inert (no values painted, no clicks).
bool CreateSlider(HWND window, const SliderSetup& setup);

// The value as the record holds it (0 without a record); a written value shows
// at the next repaint.
int16_t sliderValue(HWND window);
void setSliderValue(HWND window, int16_t value);

LRESULT CALLBACK sliderWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
