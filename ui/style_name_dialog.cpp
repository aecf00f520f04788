#include "ui/style_name_dialog.h"

#include "platform/win32/module_instance.h"
#include "platform/win32/screen_placement.h"
#include "resources/resource_ids.h"
#include "ui/dialog_background.h"

namespace {
char* nameBufferOf(HWND dialog) {
    return reinterpret_cast<char*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
}

void onInitDialog(HWND dialog, char* name) {
    centreOverOwner(dialog);
    SetWindowLongPtrA(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(name));
    const HWND edit = GetDlgItem(dialog, kControlStyleName);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name));
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
}

void onCommand(HWND dialog, int id) {
    if (id == kControlStyleNameOk) {
        char* name = nameBufferOf(dialog);
        GetDlgItemTextA(dialog, kControlStyleName, name, kStyleNameCapacity);
        EndDialog(dialog, name[0] != '\0' ? IDOK : IDCANCEL);
    } else if (id == kControlStyleNameCancel || id == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
    }
}

INT_PTR CALLBACK styleNameProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR answer = 0;
    if (handleDialogBackground(dialog, message, wParam, answer))
        return answer;
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(dialog, reinterpret_cast<char*>(lParam));
        return FALSE;
    case WM_COMMAND:
        onCommand(dialog, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}
} // namespace

bool AskStyleName(HWND owner, char (&name)[kStyleNameCapacity]) {
    return DialogBoxParamA(moduleInstance(), MAKEINTRESOURCEA(kDialogStyleName), owner,
                           styleNameProcedure, reinterpret_cast<LPARAM>(name)) == IDOK;
}
