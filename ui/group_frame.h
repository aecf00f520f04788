#pragma once
#include <windows.h>

// The etched frame around a group of the main dialog's controls (window class
// VR_group_box_window), open at the top where the group's title stands.
LRESULT CALLBACK groupFrameWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
