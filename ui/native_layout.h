#pragma once
#include <functional>

#include "ui/preview_layout.h"
#include "ui/ui_services.h"

// The dialog font's base units under which the native build measures the main
// dialog. The default is what the 32-bit module measures when it runs here, so
// that both builds place lights and frames alike.
constexpr int kDefaultDialogBaseUnitX = 6;
constexpr int kDefaultDialogBaseUnitY = 12;

void setDialogBaseUnits(int x, int y);
// The work area and the preview placeholder of the main dialog's template, in pixels.
LayoutMeasure measureMainDialogTemplate();

// The native build has no main dialog: without a stand-in a run that asks for
// it ends with the missing-resource code. A stand-in (tests set one) takes the
// dialog's place and answers as the dialog would; an empty one removes it.
void setMainDialogStandIn(std::function<int16_t(DialogSession&)> standIn);
