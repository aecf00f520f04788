#include <algorithm>

#include "styles/style_body.h"

static_assert(kStyleMaxLights == kMaxLights, "a style holds as many lights as the state");

namespace {
// The sliders' ranges. A hostile file's values are brought into them, so that
// nothing downstream ever sees a setting the dialog could not have made.
constexpr int16_t kSliderMax = 256;
constexpr int16_t kSignedSliderMin = -127;
constexpr int16_t kSignedSliderMax = 129;

int16_t sliderSetting(int16_t value) {
    return std::clamp<int16_t>(value, 0, kSliderMax);
}
int16_t signedSliderSetting(int16_t value) {
    return std::clamp<int16_t>(value, kSignedSliderMin, kSignedSliderMax);
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
    light.intensity = signedSliderSetting(stored.intensity);
    light.focus = sliderSetting(stored.focus);
    light.enabled = stored.on == 1 ? 1 : 0;
    light.type = lightTypeOf(stored.typeCode);
    light.position = {rescale(stored.positionX), rescale(stored.positionY)};
    light.vector0 = {rescale(stored.vector0X), rescale(stored.vector0Y)};
    light.vector1 = {rescale(stored.vector1X), rescale(stored.vector1Y)};
    light.radius = rescale(stored.radius);
}

void storeStyle(const StyleRecord& stored, int16_t currentHalfFrame, PluginState& state) {
    for (int i = 0; i < stored.lightCount; ++i)
        storeLight(stored.lights[i], stored.halfFrame, currentHalfFrame, state.frameCenter,
                   state.lights[i]);
    state.lightCount = stored.lightCount;
    state.currentLight = stored.currentLight < stored.lightCount ? stored.currentLight : 0;
    for (int c = 0; c < 3; ++c)
        state.ambientColor[c] = stored.ambientColor[c];
    state.gloss = sliderSetting(stored.gloss);
    state.material = sliderSetting(stored.material);
    state.exposure = sliderSetting(stored.exposure);
    state.ambience = signedSliderSetting(stored.ambience);
    // Stored directly: the caches are released below in any case. The run
    // checks the channel against the image before it uses it.
    state.textureChannel = stored.textureChannel;
    state.whiteIsHigh = stored.whiteIsHigh != 0 ? 1 : 0;
    state.reliefAmount = sliderSetting(stored.reliefAmount);
    // Every light changed: nothing cached from the old lights may survive,
    // neither in the lights now in use nor in those left over beyond them.
    state.invalidateAll();
    state.releaseAll();
}
} // namespace

int ReadStyleBodyForHalfFrame(PluginState& state, StyleSource& source, int16_t currentHalfFrame) {
    // Everything is read before anything is stored, so that a short or
    // refused file leaves the state exactly as it was.
    StyleRecord stored;
    if (!ReadStyleRecord(source, stored))
        return 0;
    storeStyle(stored, currentHalfFrame, state);
    return 1;
}

int ReadStyleBody(PluginState& state, StyleSource& source) {
    return ReadStyleBodyForHalfFrame(state, source, int16_t(state.halfFrame()));
}
