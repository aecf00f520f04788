#pragma once
#include <windows.h>

// The face of a small control that shows one of the module's bitmaps (the
// light well, the trash).

// Fills the control with the button face colour.
void clearControlFace(HWND control, HDC dc);
// The bitmap at the control's top-left over the button face colour; the white
// of a monochrome bitmap shows as the face colour.
void drawControlBitmap(HWND control, HDC dc, int bitmapId);
