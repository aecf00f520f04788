#include "ui/preview.h"

#include <utility>

#include "lighting/det_math.h"
#include "platform/checked_alloc.h"

namespace {
void releaseSlot(CacheSlot& slot) {
    slot.buffer.reset();
    slot.valid = false;
}
} // namespace

Preview::Preview() {
    const double step = 2.0 * kSinglePrecisionPi * 0.025;
    for (int i = 0; i < 40; ++i) {
        ellipseTable[i] = float(detCos(i * step));
        ellipseTable[40 + i] = float(detSin(i * step));
    }
}

Preview::~Preview() {
    releaseCaches();
    releaseImages();
}

void Preview::lightChanged(int index) {
    summedCaches[CacheDiffuse].valid = false;
    summedCaches[CacheSpecular].valid = false;
    for (CacheSlot& slot : lightCaches[index])
        slot.valid = false;
}

void Preview::everythingChanged() {
    for (CacheSlot& slot : summedCaches)
        slot.valid = false;
    for (auto& light : lightCaches)
        for (CacheSlot& slot : light)
            slot.valid = false;
}

void Preview::textureChannelChanged(uint16_t from, uint16_t to) {
    if (from == to)
        return;
    if (from != 0 && to != 0)
        everythingChanged();
    else
        releaseCaches();
}

void Preview::lightRemoved(int index, int count) {
    // Each move swaps, so the removed light's buffers end in the last slot.
    for (int i = index; i + 1 < count; ++i)
        for (int k = 0; k < 2; ++k)
            lightCaches[i][k] = std::move(lightCaches[i + 1][k]);
    for (CacheSlot& slot : lightCaches[count - 1])
        slot = CacheSlot{};
    summedCaches[CacheDiffuse].valid = false;
    summedCaches[CacheSpecular].valid = false;
}

void Preview::releaseCaches() {
    for (auto& light : lightCaches)
        for (CacheSlot& slot : light)
            releaseSlot(slot);
    for (CacheSlot& slot : summedCaches)
        releaseSlot(slot);
}

void Preview::releaseImages() {
    checkedFree(resultImage.pixels);
    checkedFree(sourceImage.pixels);
    checkedFree(textureImage.pixels);
    checkedFree(heightMap.map);
    heightMap.capacity = 0;
    if (resultOwnsMask && resultImage.mask) {
        checkedFree(resultImage.mask->pixels);
        checkedFree(resultImage.mask);
        resultOwnsMask = false;
    }
    resultImage.mask = nullptr;
    resultImage.version = 0;
}

void setReliefAmount(Settings& settings, Preview& preview, int16_t amount) {
    if (amount == settings.reliefAmount)
        return;
    preview.everythingChanged();
    settings.reliefAmount = amount;
}

void setWhiteIsHigh(Settings& settings, Preview& preview, bool whiteIsHigh) {
    if (whiteIsHigh == settings.whiteIsHigh)
        return;
    preview.everythingChanged();
    settings.whiteIsHigh = whiteIsHigh;
}

void setTextureChannel(Settings& settings, Preview& preview, uint16_t channel) {
    preview.textureChannelChanged(settings.textureChannel, channel);
    settings.textureChannel = channel;
}
