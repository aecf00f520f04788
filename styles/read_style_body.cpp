#include <algorithm>

#include "settings/parameter_table.h"
#include "styles/style_body.h"

static_assert(kStyleMaxLights == kMaxLights, "a style holds as many lights as the state");

namespace {
// A hostile file's values are brought into the sliders' ranges, so that
// nothing downstream ever sees a setting the dialog could not have made.
int16_t sliderSetting(Parameter which, int16_t value) {
    return parameter(which).clampStored(value);
}

uint32_t lightTypeOf(uint16_t typeCode) {
    switch (typeCode) {
    case CodeDirectional:
        return Directional;
    case CodeOmni:
        return Omni;
    default:
        return Spot;
    }
}

void storeLight(const StyleLightRecord& stored, int16_t savedHalfFrame, int16_t currentHalfFrame,
                PointU16 frameCenter, LightSource& light) {
    auto rescale = [&](int16_t value) {
        return RescaleToFrame(value, savedHalfFrame, currentHalfFrame);
    };
    light.origin = frameCenter;
    for (int c = 0; c < 3; ++c)
        light.color[c] = stored.color[c];
    light.intensity = sliderSetting(Parameter::Intensity, stored.intensity);
    light.focus = sliderSetting(Parameter::Focus, stored.focus);
    light.enabled = stored.on == 1 ? 1 : 0;
    light.type = lightTypeOf(stored.typeCode);
    light.position = {rescale(stored.positionX), rescale(stored.positionY)};
    light.vector0 = {rescale(stored.vector0X), rescale(stored.vector0Y)};
    light.vector1 = {rescale(stored.vector1X), rescale(stored.vector1Y)};
    light.radius = rescale(stored.radius);
}

void storeStyle(const StyleRecord& stored, int16_t currentHalfFrame, Settings& settings) {
    for (int i = 0; i < stored.lightCount; ++i)
        storeLight(stored.lights[i], stored.halfFrame, currentHalfFrame, settings.frameCenter,
                   settings.lights[i]);
    settings.lightCount = stored.lightCount;
    settings.currentLight = stored.currentLight < stored.lightCount ? stored.currentLight : 0;
    for (int c = 0; c < 3; ++c)
        settings.ambientColor[c] = stored.ambientColor[c];
    settings.gloss = sliderSetting(Parameter::Gloss, stored.gloss);
    settings.material = sliderSetting(Parameter::Material, stored.material);
    settings.exposure = sliderSetting(Parameter::Exposure, stored.exposure);
    settings.ambience = sliderSetting(Parameter::Ambience, stored.ambience);
    // The run checks the channel against the image before it uses it.
    settings.textureChannel = stored.textureChannel;
    settings.whiteIsHigh = stored.whiteIsHigh != 0 ? 1 : 0;
    settings.reliefAmount = sliderSetting(Parameter::Relief, stored.reliefAmount);
}
} // namespace

int ReadStyleBodyForHalfFrame(Settings& settings, StyleSource& source, int16_t currentHalfFrame) {
    // Everything is read before anything is stored, so that a short or
    // refused file leaves the state exactly as it was.
    StyleRecord stored;
    if (!ReadStyleRecord(source, stored))
        return 0;
    storeStyle(stored, currentHalfFrame, settings);
    return 1;
}

int ReadStyleBody(Settings& settings, StyleSource& source) {
    return ReadStyleBodyForHalfFrame(settings, source, int16_t(settings.halfFrame()));
}
