#pragma once
#include "ui/preview_layout.h"

// The dialog font's base units under which the native build measures the main
// dialog. The default is what the 32-bit module measures when it runs here, so
// that both builds place lights and frames alike.
constexpr int kDefaultDialogBaseUnitX = 6;
constexpr int kDefaultDialogBaseUnitY = 12;

void setDialogBaseUnits(int x, int y);
// The work area and the preview placeholder of the main dialog's template, in pixels.
LayoutMeasure measureMainDialogTemplate();
