#pragma once
#include <windows.h>

// The trash of the main dialog (window class VR_trash_window): a light dragged
// from the work area and dropped on it is removed. It takes no clicks; the
// work area's drag finds it by its rectangle.
LRESULT CALLBACK trashWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The window's extra bytes: whether it is highlighted.
constexpr int kTrashExtraBytes = sizeof(LONG_PTR);

// Shows the trash highlighted while a light is over it, or normal.
void ShowTrash(HWND dialog, bool highlighted);
