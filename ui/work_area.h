#pragma once
#include <windows.h>

// The work area of the main dialog (window class VR_work_area_window): the lit
// preview with the lights drawn over it. A press selects a light; dragging its
// dot moves it (onto the trash removes it), dragging a handle shapes it, and
// with Alt held the dot's drag makes a copy. Keys: Tab and Shift+Tab select
// the next or previous light, Delete removes the selected one, Escape cancels
// the dialog, the arrows move the selected light by a pixel (ten with Shift).
LRESULT CALLBACK workAreaWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The window's extra bytes: its record.
constexpr int kWorkAreaExtraBytes = sizeof(LONG_PTR);

// Starts dragging a new light, or a copy of the selected light, into the work
// area; it is added where the button is released strictly inside the work
// area. Nothing happens while all sixteen lights are in use.
void NewLightDrag(HWND workArea, bool duplicate);
