#include "ui/colour_swatch.h"

#include "platform/win32/gdi.h"
#include "ui/colour_channels.h"

void DrawColorSwatch(HDC dc, const RECT& item, const uint16_t colour[3]) {
    FrameRect(dc, &item, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const RECT inside{item.left + 1, item.top + 1, item.right - 1, item.bottom - 1};
    const Brush fill(
        CreateSolidBrush(RGB(highByte(colour[0]), highByte(colour[1]), highByte(colour[2]))));
    FillRect(dc, &inside, fill.get());
}
