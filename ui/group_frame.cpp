#include "ui/group_frame.h"

#include "platform/win32/gdi.h"
#include "resources/resource_ids.h"
#include "ui/group_frame_geometry.h"

namespace {
// Each frame's title: the gap runs from the left edge of the first control to
// the right edge of the second, 4 pixels wider on each side.
struct FrameTitle {
    int frame, firstControl, lastControl;
};
constexpr FrameTitle kFrameTitles[] = {
    {kControlStyleFrame, kControlStyleLabel, kControlStyleList},
    {kControlLightFrame, kControlTypeLabel, kControlLightType},
    {kControlMaterialFrame, kControlPropertiesLabel, kControlPropertiesLabel},
    {kControlTextureFrame, kControlTextureLabel, kControlTextureChannel},
};
constexpr int kGapMargin = 4;

// A control's left or right edge in the frame's client coordinates.
int edgeIn(HWND frame, int controlId, bool rightEdge) {
    RECT r{};
    GetWindowRect(GetDlgItem(GetParent(frame), controlId), &r);
    POINT p{rightEdge ? r.right : r.left, r.top};
    ScreenToClient(frame, &p);
    return p.x;
}

void drawPolylines(HDC dc, const std::vector<FrameStroke>& lines, int systemColour) {
    const Pen pen(CreatePen(PS_SOLID, 1, GetSysColor(systemColour)));
    const SelectedObject selected(dc, pen.get());
    for (const FrameStroke& line : lines) {
        MoveToEx(dc, line.front().x, line.front().y, nullptr);
        for (size_t i = 1; i < line.size(); ++i)
            LineTo(dc, line[i].x, line[i].y);
    }
}

void onPaint(HWND window) {
    const PaintDC dc(window);
    RECT client{};
    GetClientRect(window, &client);
    int gapLeft = client.left, gapRight = client.left;
    for (const FrameTitle& title : kFrameTitles)
        if (title.frame == GetDlgCtrlID(window)) {
            gapLeft = edgeIn(window, title.firstControl, false) - kGapMargin;
            gapRight = edgeIn(window, title.lastControl, true) + kGapMargin;
        }
    const EtchedFrame frame =
        etchedFrame({client.left, client.top, client.right, client.bottom}, gapLeft, gapRight);
    drawPolylines(dc.get(), frame.dark, COLOR_BTNSHADOW);
    drawPolylines(dc.get(), frame.light, COLOR_BTNHIGHLIGHT);
}
} // namespace

LRESULT CALLBACK groupFrameWindowProcedure(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    if (message == WM_PAINT) {
        onPaint(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
