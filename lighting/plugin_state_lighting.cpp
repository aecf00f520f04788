// The light and material operations of the plug-in state, with the cache
// invalidation rules every change follows.
#include <cmath>

#include "lighting/det_math.h"
#include "shell/checked_alloc.h"
#include "shell/plugin_state.h"

namespace {
void setNewLightValues(LightSource& light, PointU16 frameCenter) {
    light.type = Spot;
    light.origin = frameCenter;
    light.vector0 = {30, 30};
    light.vector1 = {-15, 15};
    light.radius = 30;
    light.color[0] = light.color[1] = light.color[2] = 65535;
    light.intensity = 65;
    light.focus = 128;
    light.enabled = 1;
}
} // namespace

void PluginState::invalidateSummedCaches() {
    summedCaches[CacheDiffuse].valid = 0;
    summedCaches[CacheSpecular].valid = 0;
}

void PluginState::invalidateAll() {
    for (LightSource& light : lights)
        light.invalidate();
    for (CacheSlot& slot : summedCaches)
        slot.valid = 0;
}

void PluginState::releaseAll() {
    for (LightSource& light : lights)
        light.releaseCaches();
    for (CacheSlot& slot : summedCaches) {
        checkedFree(slot.buffer);
        slot.valid = 0;
    }
}

void PluginState::setReliefAmount(int16_t amount) {
    if (amount == reliefAmount)
        return;
    invalidateAll();
    reliefAmount = amount;
}

void PluginState::setWhiteIsHigh(uint32_t value) {
    if (value == whiteIsHigh)
        return;
    invalidateAll();
    whiteIsHigh = value;
}

void PluginState::setTextureChannel(uint16_t channel) {
    if (channel == textureChannel)
        return;
    // Switching relief on or off changes the number of samples per pixel, so
    // the cache buffers no longer fit; between two channels they only go stale.
    if (channel != 0 && textureChannel != 0)
        invalidateAll();
    else
        releaseAll();
    textureChannel = channel;
}

void PluginState::resetToDefaultStyle() {
    ambientColor[0] = ambientColor[1] = ambientColor[2] = 65535;
    material = 0;
    gloss = 128;
    exposure = 128;
    ambience = 16;
    reliefAmount = 128;
    whiteIsHigh = 1;
    lightCount = 1;
    currentLight = 0;
    LightSource& light = lights[0];
    setNewLightValues(light, frameCenter);
    light.position = {0, 0};
    light.color[2] = 0; // the default style's spot is yellow
    light.intensity = 127;
    light.invalidate();
    computeEllipseTable();
}

void PluginState::addLightAt(int16_t x, int16_t y) {
    if (lightCount >= kMaxLights)
        return;
    LightSource& light = lights[lightCount];
    currentLight = lightCount;
    ++lightCount;
    invalidateSummedCaches();
    setNewLightValues(light, frameCenter);
    light.position = {int16_t(x - frameCenter.x), int16_t(y - frameCenter.y)};
    light.invalidate();
}

void PluginState::copySettings(const PluginState& from) {
    for (int c = 0; c < 3; ++c)
        ambientColor[c] = from.ambientColor[c];
    material = from.material;
    gloss = from.gloss;
    exposure = from.exposure;
    ambience = from.ambience;
    reliefAmount = from.reliefAmount;
    whiteIsHigh = from.whiteIsHigh;
    frameCenter = from.frameCenter;
    frameCorner = from.frameCorner;
    lightCount = from.lightCount;
    currentLight = from.currentLight;
    imageWidthRatio = from.imageWidthRatio;
    imageWidthRatioSet = from.imageWidthRatioSet;
    showDialog = from.showDialog;
    previewImageReady = from.previewImageReady;
    previewStep = from.previewStep;
    previewLeft = from.previewLeft;
    previewTop = from.previewTop;
    previewImageWidth = from.previewImageWidth;
    previewImageHeight = from.previewImageHeight;
    tileSize = from.tileSize;
    for (int i = 0; i < lightCount && i < kMaxLights; ++i) {
        lights[i].releaseCaches();
        lights[i].copySettingsFrom(from.lights[i]);
        lights[i].owner = this;
    }
    textureChannel = from.textureChannel;
    computeEllipseTable();
}

void PluginState::computeEllipseTable() {
    const double step = 2.0 * kSinglePrecisionPi * 0.025;
    for (int i = 0; i < 40; ++i) {
        ellipseTable[i] = float(detCos(i * step));
        ellipseTable[40 + i] = float(detSin(i * step));
    }
}
