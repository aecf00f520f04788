// The native build has no windows: messages go to the standard error stream,
// the layout pass measures the main dialog's template arithmetically, and there
// is no dialog to run unless a stand-in takes its place.
#include <cstdio>
#include <utility>

#include "protocol/result_codes.h"
#include "resources/dialog_table.h"
#include "resources/string_table.h"
#include "ui/native_layout.h"
#include "ui/preview_layout.h"
#include "ui/ui_services.h"

namespace {
int baseUnitX = kDefaultDialogBaseUnitX;
int baseUnitY = kDefaultDialogBaseUnitY;
std::function<int16_t(DialogSession&)> mainDialogStandIn;

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
    return LayoutMeasure{dialogUnitsToPixelsX(kPreviewPlaceholderRect.width, baseUnitX),
                         dialogUnitsToPixelsY(kPreviewPlaceholderRect.height, baseUnitY),
                         dialogUnitsToPixelsX(kWorkAreaRect.width, baseUnitX),
                         dialogUnitsToPixelsY(kWorkAreaRect.height, baseUnitY)};
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

int16_t runLayoutPass(HostRecord& host, Settings& settings, Preview& preview) {
    return LayoutPreview(measureMainDialogTemplate(), host, settings, preview);
}

void setMainDialogStandIn(std::function<int16_t(DialogSession&)> standIn) {
    mainDialogStandIn = std::move(standIn);
}

int16_t runMainDialog(DialogSession& session) {
    return mainDialogStandIn ? mainDialogStandIn(session) : result::missingResource;
}
