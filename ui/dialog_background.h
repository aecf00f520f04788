#pragma once
#include <windows.h>

// The one process-wide background brush (COLOR_BTNFACE) that every dialog of
// the plug-in paints with: it exists while a DialogBackground does (one is
// made around every dialog the plug-in runs).
class DialogBackground {
  public:
    DialogBackground();
    ~DialogBackground();
    DialogBackground(const DialogBackground&) = delete;
    DialogBackground& operator=(const DialogBackground&) = delete;
};
HBRUSH dialogBackgroundBrush();

// Fills the window's client area with a colour (an empty opaque text run).
void fillClientArea(HWND window, COLORREF colour);

// The background messages every dialog answers alike (WM_ERASEBKGND and the
// colour requests of buttons and static texts). True with `answer` set when
// the message was one of them.
bool handleDialogBackground(HWND dialog, UINT message, WPARAM wParam, INT_PTR& answer);
