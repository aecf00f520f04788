#pragma once
#include <windows.h>

// The one process-wide background brush (COLOR_BTNFACE) that every dialog of
// the plug-in paints with. Replaces the brush; with deleteOnly, only removes it.
void setDialogBackgroundBrush(bool deleteOnly);
HBRUSH dialogBackgroundBrush();

// Fills the window's client area with a colour (an empty opaque text run).
void fillClientArea(HWND window, COLORREF colour);
// Moves the window so that it is centred on its parent (nothing without one).
void centreOnParent(HWND window);

// The background messages every dialog answers alike (WM_ERASEBKGND and the
// colour requests of buttons and static texts). True with `answer` set when
// the message was one of them.
bool handleDialogBackground(HWND dialog, UINT message, WPARAM wParam, INT_PTR& answer);
