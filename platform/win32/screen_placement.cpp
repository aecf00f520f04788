#include "platform/win32/screen_placement.h"

#include "platform/window_placement.h"

namespace {
ScreenRect screenRectOf(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

// The work area of the monitor that holds the window, or is nearest to it.
ScreenRect workAreaAround(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor))
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &monitor.rcWork, 0);
    return screenRectOf(monitor.rcWork);
}
} // namespace

void centreOverOwner(HWND window) {
    RECT own{};
    GetWindowRect(window, &own);
    const HWND owner = GetWindow(window, GW_OWNER);
    RECT around = own;
    if (owner)
        GetWindowRect(owner, &around);
    const ScreenRect placed =
        placeCentredInside(own.right - own.left, own.bottom - own.top, screenRectOf(around),
                           workAreaAround(owner ? owner : window));
    if (placed.left != own.left || placed.top != own.top)
        MoveWindow(window, placed.left, placed.top, placed.width(), placed.height(), TRUE);
}
