#include <windows.h>

#include <vector>

#include "host/zerafin/plugin_services/draw_pixel_map.h"
#include "protocol/result_codes.h"

// Converts the record's RGB rows to the bottom-up BGR rows of a device-
// independent bitmap and copies them to the device context.
int16_t drawPixelMapCallback(const ImageRecord* image, const Rect16* sourceRect, int32_t destRow,
                             int32_t destColumn, void* deviceContext) {
    if (!image || !sourceRect || !deviceContext || image->bytesPerPixel != 3 || !image->pixels)
        return result::requestRefused;
    const int width = sourceRect->width(), height = sourceRect->height();
    if (width <= 0 || height <= 0)
        return 0;
    const int dibRowBytes = (width * 3 + 3) & ~3;
    std::vector<uint8_t> dib(size_t(dibRowBytes) * size_t(height));
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = image->pixels + ptrdiff_t(image->rowBytes) * (sourceRect->top + y) +
                            sourceRect->left * 3;
        uint8_t* out = &dib[size_t(height - 1 - y) * size_t(dibRowBytes)];
        for (int x = 0; x < width; ++x) {
            out[x * 3 + 0] = in[x * 3 + 2];
            out[x * 3 + 1] = in[x * 3 + 1];
            out[x * 3 + 2] = in[x * 3 + 0];
        }
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const int lines =
        SetDIBitsToDevice(static_cast<HDC>(deviceContext), destColumn, destRow, DWORD(width),
                          DWORD(height), 0, 0, 0, UINT(height), dib.data(), &info, DIB_RGB_COLORS);
    return lines == height ? 0 : -1;
}
