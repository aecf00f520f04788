// The native build has no windows: messages go to the standard error stream,
// the layout pass measures the main dialog's template arithmetically, and there
// is no dialog to run.
#include <cstdio>

#include "resources/string_table.h"
#include "shell/result_codes.h"
#include "ui/native_layout.h"
#include "ui/preview_layout.h"
#include "ui/ui_services.h"

namespace {
int baseUnitX = kDefaultDialogBaseUnitX;
int baseUnitY = kDefaultDialogBaseUnitY;

void printMessage(int titleId, int textId) {
    const char* title = stringTableText(titleId);
    const char* text = stringTableText(textId);
    std::fprintf(stderr, "%s : %s\n", title ? title : "", text ? text : "");
}
} // namespace

void setDialogBaseUnits(int x, int y) {
    baseUnitX = x;
    baseUnitY = y;
}

LayoutMeasure measureMainDialogTemplate() {
    return LayoutMeasure{dialogUnitsToPixelsX(100, baseUnitX), dialogUnitsToPixelsY(156, baseUnitY),
                         dialogUnitsToPixelsX(144, baseUnitX),
                         dialogUnitsToPixelsY(190, baseUnitY)};
}

int16_t showAboutBox(void*) {
    return result::ok;
}
void showErrorMessage(int titleId, int textId) {
    printMessage(titleId, textId);
}
void showWarningMessage(int titleId, int textId) {
    printMessage(titleId, textId);
}
void registerWindowClasses() {}
void unregisterWindowClasses() {}

int16_t runLayoutPass(HostRecord& host, PluginState& state) {
    return LayoutPreview(measureMainDialogTemplate(), host, state);
}

int16_t runMainDialog(HostRecord&, PluginState&, const PreviewServices&) {
    return result::missingResource;
}
