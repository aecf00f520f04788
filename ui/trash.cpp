#include "ui/trash.h"

#include "platform/win32/gdi.h"
#include "resources/resource_ids.h"
#include "ui/control_bitmap.h"

namespace {
// Highlighted until the drag over it ends, also when repainted meanwhile.
void draw(HWND trash, HDC dc) {
    const bool highlighted = GetWindowLongPtrA(trash, 0) != 0;
    drawControlBitmap(trash, dc, highlighted ? kBitmapTrashFull : kBitmapTrashEmpty);
}
} // namespace

LRESULT CALLBACK trashWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        const PaintDC dc(window);
        draw(window, dc.get());
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void ShowTrash(HWND dialog, bool highlighted) {
    const HWND trash = GetDlgItem(dialog, kControlTrash);
    SetWindowLongPtrA(trash, 0, highlighted ? 1 : 0);
    const WindowDC dc(trash);
    draw(trash, dc.get());
}
