#include "ui/work_area.h"

#include "platform/win32/gdi.h"
#include "ui/main_dialog.h"

namespace {
void onPaint(HWND window) {
    const PaintDC dc(window);
    const MainDialog* dialog = mainDialogOf(window);
    if (!dialog || !dialog->host.drawPixelMap)
        return;
    const ImageRecord& image = dialog->preview.resultImage;
    if (!image.pixels)
        return;
    const Rect16 whole{0, 0, int16_t(image.height()), int16_t(image.width())};
    dialog->host.drawPixelMap(&image, &whole, 0, 0, dc.get());
}
} // namespace

LRESULT CALLBACK workAreaWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        onPaint(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
