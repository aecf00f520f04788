#pragma once
#include <windows.h>

// The work area of the main dialog (window class VR_work_area_window): it
// shows the lit preview through the host's pixel display.
LRESULT CALLBACK workAreaWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
