// Message boxes whose title and text come from the module's string table.
#include <windows.h>

#include "platform/win32/module_instance.h"
#include "ui/ui_services.h"

namespace {
void showStringTableMessage(int titleId, int textId, UINT icon) {
    char title[128] = "";
    char text[256] = "";
    LoadStringA(moduleInstance(), UINT(titleId), title, sizeof title);
    LoadStringA(moduleInstance(), UINT(textId), text, sizeof text);
    MessageBoxA(GetActiveWindow(), text, title, MB_OK | icon);
}
} // namespace

void showErrorMessage(int titleId, int textId) {
    showStringTableMessage(titleId, textId, MB_ICONHAND);
}

void showWarningMessage(int titleId, int textId) {
    showStringTableMessage(titleId, textId, MB_ICONEXCLAMATION);
}
