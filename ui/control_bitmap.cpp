#include "ui/control_bitmap.h"

#include "platform/win32/gdi.h"
#include "platform/win32/module_instance.h"

void clearControlFace(HWND control, HDC dc) {
    RECT client{};
    GetClientRect(control, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE)); // a system brush: not deleted
}

void drawControlBitmap(HWND control, HDC dc, int bitmapId) {
    clearControlFace(control, dc);
    const Bitmap bitmap(LoadBitmapA(moduleInstance(), MAKEINTRESOURCEA(bitmapId)));
    BITMAP size{};
    if (!bitmap || !GetObjectA(bitmap.get(), sizeof size, &size))
        return;
    const MemoryDC memory(dc);
    const SelectedObject selected(memory.get(), bitmap.get());
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    BitBlt(dc, 0, 0, size.bmWidth, size.bmHeight, memory.get(), 0, 0, SRCCOPY);
}
