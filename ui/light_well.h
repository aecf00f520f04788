#pragma once
#include <windows.h>

// The light well of the main dialog (window class VR_light_well): new lights
// are dragged out of it into the work area. It is disabled while all sixteen
// lights are in use.
LRESULT CALLBACK lightWellWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Enables the well of the dialog exactly while fewer than sixteen lights are
// in use, and repaints it.
void UpdateLightWell(HWND dialog, int lightCount);
// Shows the well empty while a light is dragged out of it.
void EmptyLightWell(HWND dialog);
