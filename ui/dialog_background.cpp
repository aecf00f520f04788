#include "ui/dialog_background.h"

#include "platform/win32/gdi.h"

namespace {
Brush backgroundBrush;
}

DialogBackground::DialogBackground() {
    backgroundBrush = Brush(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
}

DialogBackground::~DialogBackground() {
    backgroundBrush.reset();
}

HBRUSH dialogBackgroundBrush() {
    return backgroundBrush.get();
}

void fillClientArea(HWND window, COLORREF colour) {
    const WindowDC dc(window);
    RECT client;
    GetClientRect(window, &client);
    SetBkColor(dc.get(), colour);
    ExtTextOutA(dc.get(), 0, 0, ETO_OPAQUE, &client, "", 0, nullptr);
}

bool handleDialogBackground(HWND dialog, UINT message, WPARAM wParam, INT_PTR& answer) {
    switch (message) {
    case WM_ERASEBKGND:
        fillClientArea(dialog, GetSysColor(COLOR_BTNFACE));
        answer = TRUE;
        return true;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkMode(dc, TRANSPARENT);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        answer = reinterpret_cast<INT_PTR>(backgroundBrush.get());
        return true;
    }
    default:
        return false;
    }
}
