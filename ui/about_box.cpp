// The about box (dialog 101): closes on a click anywhere, on Enter and on
// command 1.
#include <windows.h>

#include "platform/win32/module_instance.h"
#include "platform/win32/screen_placement.h"
#include "resources/resource_ids.h"
#include "ui/dialog_background.h"
#include "ui/ui_services.h"

namespace {
INT_PTR CALLBACK aboutBoxProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    INT_PTR answer = FALSE;
    if (handleDialogBackground(dialog, message, wParam, answer))
        return answer;
    switch (message) {
    case WM_INITDIALOG:
        centreOverOwner(dialog);
        return TRUE;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN)
            EndDialog(dialog, 0);
        return FALSE;
    case WM_LBUTTONUP:
        EndDialog(dialog, 0);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            EndDialog(dialog, 0);
        return FALSE;
    default:
        return FALSE;
    }
}
} // namespace

int16_t showAboutBox(void* ownerWindow) {
    const DialogBackground background;
    DialogBoxParamA(moduleInstance(), MAKEINTRESOURCEA(kDialogAbout),
                    static_cast<HWND>(ownerWindow), aboutBoxProcedure, 0);
    return 0;
}
