#ifdef _WIN32
#include "tests/support/dialog_driver.h"

#include "tests/support/win32_module.h"

namespace {
// Sent, so that the window has handled it when the call returns.
void sendMouse(HWND window, UINT message, int x, int y) {
    SendMessageA(window, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
}
} // namespace

HWND waitForDialog(DWORD threadId, const char* caption, int milliseconds) {
    return waitForWindow(threadId, "#32770", caption, milliseconds);
}

bool waitForClose(HWND window, int milliseconds) {
    for (int waited = 0; waited < milliseconds; waited += 20) {
        if (!IsWindow(window) || !IsWindowVisible(window))
            return true;
        Sleep(20);
    }
    return false;
}

void pressButton(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void pressButtonThatOpensAWindow(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void chooseRow(HWND dialog, int comboId, int row) {
    const HWND combo = GetDlgItem(dialog, comboId);
    SendMessageA(combo, CB_SETCURSEL, WPARAM(row), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

std::string windowText(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string messageText(HWND box) {
    return windowText(GetDlgItem(box, 0xFFFF));
}

void clickAt(HWND window, int x, int y) {
    sendMouse(window, WM_LBUTTONDOWN, x, y);
    sendMouse(window, WM_LBUTTONUP, x, y);
}

void dragTo(HWND window, int fromX, int toX, int y) {
    sendMouse(window, WM_LBUTTONDOWN, fromX, y);
    Sleep(150); // longer than a click
    sendMouse(window, WM_MOUSEMOVE, (fromX + toX) / 2, y);
    sendMouse(window, WM_MOUSEMOVE, toX, y);
    sendMouse(window, WM_LBUTTONUP, toX, y);
}
#endif
