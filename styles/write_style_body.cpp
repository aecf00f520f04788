#include <algorithm>

#include "styles/style_body.h"

namespace {
uint16_t typeCodeOf(uint32_t type) {
    switch (type) {
    case Directional:
        return CodeDirectional;
    case Omni:
        return CodeOmni;
    default:
        return CodeSpot;
    }
}

StyleLightRecord lightRecordOf(const LightSource& light) {
    StyleLightRecord record;
    for (int c = 0; c < 3; ++c)
        record.color[c] = light.color[c];
    record.intensity = light.intensity;
    record.focus = light.focus;
    record.on = light.enabled == 1 ? 1 : 0;
    record.typeCode = typeCodeOf(light.type);
    record.positionX = light.position.x;
    record.positionY = light.position.y;
    record.vector0X = light.vector0.x;
    record.vector0Y = light.vector0.y;
    record.vector1X = light.vector1.x;
    record.vector1Y = light.vector1.y;
    record.radius = light.radius;
    return record;
}

StyleRecord styleRecordOf(const Settings& settings) {
    StyleRecord record;
    record.textureChannel = settings.textureChannel;
    record.whiteIsHigh = settings.whiteIsHigh == 1 ? 1 : 0;
    record.reliefAmount = settings.reliefAmount;
    for (int c = 0; c < 3; ++c)
        record.ambientColor[c] = settings.ambientColor[c];
    record.material = settings.material;
    record.gloss = settings.gloss;
    record.exposure = settings.exposure;
    record.ambience = settings.ambience;
    record.lightCount = std::min<uint16_t>(settings.lightCount, kMaxLights);
    record.currentLight = settings.currentLight;
    record.halfFrame = int16_t(settings.halfFrame());
    for (int i = 0; i < record.lightCount; ++i)
        record.lights[i] = lightRecordOf(settings.lights[i]);
    return record;
}
} // namespace

int WriteStyleBody(const Settings& settings, StyleFile& file) {
    return WriteStyleRecord(styleRecordOf(settings), file);
}
