#include "ui/mouse_drag.h"

#include "ui/busy_wait.h"

void MouseDrag::begin(HWND window) {
    isActive = true;
    pressTick = GetTickCount();
    SetCapture(window);
}

bool MouseDrag::withinMillisecondsOfPress(uint32_t ms) const {
    return ticksBetween(pressTick, GetTickCount()) < ms;
}

bool MouseDrag::end() {
    if (!isActive)
        return false;
    // Cleared first: releasing the capture sends WM_CAPTURECHANGED at once.
    isActive = false;
    ReleaseCapture();
    return true;
}
