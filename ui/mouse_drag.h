#pragma once
#include <windows.h>

#include <cstdint>

// One drag with the left button, shared by the controls that follow the mouse:
// the press captures the mouse, each move updates, and the drag ends on the
// release or when the capture is lost (another window took it, WM_CANCELMODE,
// or the release went to another program), so that no drag waits for a
// release that never comes. Feed it from the window's own messages.
class MouseDrag {
  public:
    // A press on the window: takes the capture.
    void begin(HWND window);
    bool active() const { return isActive; }
    // Whether the press was less than ms ago, to tell a click from a drag.
    bool withinMillisecondsOfPress(uint32_t ms) const;
    // The release (WM_LBUTTONUP) or the loss of the capture (WM_CAPTURECHANGED):
    // true when a drag ends here, once per drag whichever comes first.
    bool end();

  private:
    bool isActive = false;
    uint32_t pressTick = 0;
};
