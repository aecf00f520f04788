#include "ui/light_well.h"

#include "platform/win32/gdi.h"
#include "resources/resource_ids.h"
#include "settings/settings.h"
#include "ui/control_bitmap.h"
#include "ui/main_dialog.h"
#include "ui/work_area.h"

namespace {
void onPaint(HWND window) {
    const PaintDC dc(window);
    const bool disabled = (GetWindowLongA(window, GWL_STYLE) & WS_DISABLED) != 0;
    drawControlBitmap(window, dc.get(), disabled ? kBitmapBulbGrey : kBitmapBulbLit);
}
} // namespace

LRESULT CALLBACK lightWellWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        onPaint(window);
        return 0;
    case WM_LBUTTONDOWN:
        NewLightDrag(GetDlgItem(GetParent(window), kControlWorkArea), false);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void UpdateLightWell(HWND dialog, int lightCount) {
    enableControl(dialog, kControlLightWell, lightCount < kMaxLights);
    RedrawControl(dialog, kControlLightWell);
}

void EmptyLightWell(HWND dialog) {
    const HWND well = GetDlgItem(dialog, kControlLightWell);
    const WindowDC dc(well);
    clearControlFace(well, dc.get());
}
