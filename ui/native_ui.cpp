// The native build has no windows: messages go to the standard error stream,
// and there is no dialog to run unless a stand-in takes its place.
#include <cstdio>
#include <utility>

#include "protocol/result_codes.h"
#include "resources/string_table.h"
#include "ui/native_layout.h"
#include "ui/ui_services.h"

namespace {
std::function<int16_t(DialogSession&)> mainDialogStandIn;

void printMessage(int titleId, int textId) {
    const char* title = stringTableText(titleId);
    const char* text = stringTableText(textId);
    std::fprintf(stderr, "%s : %s\n", title ? title : "", text ? text : "");
}
} // namespace

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

void setMainDialogStandIn(std::function<int16_t(DialogSession&)> standIn) {
    mainDialogStandIn = std::move(standIn);
}

int16_t runMainDialog(DialogSession& session) {
    return mainDialogStandIn ? mainDialogStandIn(session) : result::missingResource;
}
