#include "settings/settings.h"

#include <algorithm>

#include "settings/parameter_table.h"

namespace {
// The default style's one light: a yellow spot at full intensity.
constexpr int16_t kDefaultStyleIntensity = 127;
} // namespace

Settings::Settings() {
    applyMaterialDefaults(*this);
}

void Settings::resetToDefaultStyle() {
    ambientColor[0] = ambientColor[1] = ambientColor[2] = 65535;
    applyMaterialDefaults(*this);
    whiteIsHigh = true;
    lightCount = 1;
    currentLight = 0;
    LightSource& light = lights[0];
    light = LightSource();
    light.origin = frameCenter;
    light.color[2] = 0;
    light.intensity = kDefaultStyleIntensity;
}

bool Settings::addLightAt(int16_t x, int16_t y) {
    return duplicateAt(LightSource(), x, y);
}

bool Settings::DuplicateLight(int16_t x, int16_t y) {
    const LightSource& selected = lights[currentLight];
    LightSource copy;
    std::copy(selected.color, selected.color + 3, copy.color);
    copy.intensity = selected.intensity;
    copy.focus = selected.focus;
    copy.type = selected.type;
    copy.vector0 = selected.vector0;
    copy.vector1 = selected.vector1;
    copy.radius = selected.radius;
    return duplicateAt(copy, x, y);
}

bool Settings::duplicateAt(const LightSource& model, int16_t x, int16_t y) {
    if (lightCount >= kMaxLights)
        return false;
    LightSource& light = lights[lightCount];
    currentLight = lightCount;
    ++lightCount;
    light = model;
    light.origin = frameCenter;
    light.position = {int16_t(x - frameCenter.x), int16_t(y - frameCenter.y)};
    return true;
}

bool Settings::DeleteSelectedLight() {
    if (lightCount <= 1)
        return false;
    std::copy(lights + currentLight + 1, lights + lightCount, lights + currentLight);
    --lightCount;
    currentLight = 0;
    return true;
}
