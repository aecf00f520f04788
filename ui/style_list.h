#pragma once
#include <windows.h>

// Empties the dialog's style combo and adds every style of the folder in list
// order. 1 when at least one name was added, 0 when none or when the dialog
// has no such control.
int FillStyleList(HWND dialog, int comboId);
