#include "ui/preview_layout.h"

#include <algorithm>
#include <cstring>

#include "platform/checked_alloc.h"
#include "protocol/host_record.h"
#include "protocol/result_codes.h"
#include "resources/dialog_table.h"
#include "settings/settings.h"
#include "ui/preview.h"
#include "ui/ui_services.h"

namespace {
int ceilDiv(int a, int b) {
    return (a + b - 1) / b;
}

// An image record with every byte of its pixel memory set to 255.
bool allocateImage(ImageRecord& image, int width, int height, int bytesPerPixel, int rowBytes,
                   int imageMode) {
    image = ImageRecord{};
    image.bottom = height;
    image.right = width;
    image.imageMode = imageMode;
    image.rowBytes = rowBytes;
    image.bytesPerPixel = bytesPerPixel;
    image.planeBytes = 1;
    const size_t bytes = size_t(rowBytes) * size_t(height);
    image.pixels = static_cast<uint8_t*>(checkedAlloc(bytes));
    if (!image.pixels)
        return false;
    std::memset(image.pixels, 255, bytes);
    return true;
}

bool attachMask(ImageRecord& result, Preview& preview) {
    auto* mask = static_cast<MaskRecord*>(checkedAlloc(sizeof(MaskRecord)));
    if (!mask)
        return false;
    *mask = MaskRecord{0, nullptr, (result.right + 3) & ~3, 1, 0};
    const size_t bytes = size_t(mask->rowBytes) * size_t(result.bottom);
    mask->pixels = static_cast<uint8_t*>(checkedAlloc(bytes));
    result.mask = mask;
    preview.resultOwnsMask = true;
    if (!mask->pixels)
        return false;
    std::memset(mask->pixels, 255, bytes);
    result.version = 1;
    return true;
}

bool allocatePreviewBuffers(const LayoutMeasure& m, const HostRecord& host, Preview& preview) {
    const int w = preview.width, h = preview.height;
    const int aw = m.workAreaWidth, ah = m.workAreaHeight;
    if (!allocateImage(preview.resultImage, aw, ah, 3, ((aw + 1) * 3) & ~3, host.imageMode) ||
        !allocateImage(preview.sourceImage, w, h, 3, ((w + 1) * 3 / 4) * 4, host.imageMode) ||
        !allocateImage(preview.textureImage, w + 6, h + 6, 1, (w + 9) & ~3, 1))
        return false;
    checkedFree(preview.heightMap.map);
    preview.heightMap.capacity = uint32_t((h + 2) * w * 8);
    preview.heightMap.map = static_cast<int32_t*>(checkedAlloc(preview.heightMap.capacity));
    if (!preview.heightMap.map)
        return false;
    if (host.selectionFlag && host.maskAvailable)
        return attachMask(preview.resultImage, preview);
    return true;
}
} // namespace

PreviewGeometry computePreviewGeometry(int iw, int ih, const LayoutMeasure& m) {
    const int pw = std::max(1, m.placeholderWidth), ph = std::max(1, m.placeholderHeight);
    PreviewGeometry g{};
    g.step = std::max({iw / pw, ih / ph, 1});
    g.width = std::max(1, ceilDiv(iw, g.step));
    g.height = std::max(1, ceilDiv(ih, g.step));
    if (g.width > pw || g.height > ph) {
        ++g.step;
        g.width = std::max(1, ceilDiv(iw, g.step));
        g.height = std::max(1, ceilDiv(ih, g.step));
    }
    g.left = m.workAreaWidth / 2 - g.width / 2;
    g.top = m.workAreaHeight / 2 - g.height / 2;
    return g;
}

int16_t LayoutPreview(const LayoutMeasure& m, const HostRecord& host, Settings& settings,
                      Preview& preview) {
    const PreviewGeometry g =
        computePreviewGeometry(host.areaRect.width(), host.areaRect.height(), m);
    preview.step = uint16_t(g.step);
    preview.width = int16_t(g.width);
    preview.height = int16_t(g.height);
    preview.left = int16_t(g.left);
    preview.top = int16_t(g.top);
    settings.frameCenter = {uint16_t(m.workAreaWidth / 2), uint16_t(m.workAreaHeight / 2)};
    settings.frameCorner = {0, 0};
    for (LightSource& light : settings.lights)
        light.origin = settings.frameCenter;
    // Until a script says otherwise, the image width relative to the frame is
    // what the dialog would record for this preview.
    if (!settings.imageWidthRatioSet && settings.frameSize() != 0)
        settings.imageWidthRatio = float(g.width) / float(settings.frameSize());

    preview.releaseImages();
    if (!allocatePreviewBuffers(m, host, preview)) {
        preview.releaseImages();
        return result::outOfMemory;
    }
    return result::ok;
}

LayoutMeasure referenceLayoutMeasure() {
    return LayoutMeasure{dialogUnitsToPixelsX(kPreviewPlaceholderRect.width, kReferenceBaseUnitX),
                         dialogUnitsToPixelsY(kPreviewPlaceholderRect.height, kReferenceBaseUnitY),
                         dialogUnitsToPixelsX(kWorkAreaRect.width, kReferenceBaseUnitX),
                         dialogUnitsToPixelsY(kWorkAreaRect.height, kReferenceBaseUnitY)};
}

int16_t runLayoutPass(HostRecord& host, Settings& settings, Preview& preview) {
    return LayoutPreview(referenceLayoutMeasure(), host, settings, preview);
}

int dialogUnitsToPixelsX(int units, int baseUnitX) {
    return (units * baseUnitX * 2 + 4) / 8;
}
int dialogUnitsToPixelsY(int units, int baseUnitY) {
    return (units * baseUnitY * 2 + 8) / 16;
}
