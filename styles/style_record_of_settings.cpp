#include "styles/style_record_of_settings.h"

#include <algorithm>

namespace {
constexpr StyleSliderField kSliderFields[] = {
    {Parameter::Gloss, &StyleRecord::gloss},
    {Parameter::Material, &StyleRecord::material},
    {Parameter::Exposure, &StyleRecord::exposure},
    {Parameter::Ambience, &StyleRecord::ambience},
    {Parameter::Relief, &StyleRecord::reliefAmount},
    {Parameter::Intensity, nullptr, &StyleLightRecord::intensity},
    {Parameter::Focus, nullptr, &StyleLightRecord::focus},
};
} // namespace

std::span<const StyleSliderField> styleSliderFields() {
    return kSliderFields;
}

StyleLightRecord lightRecordOf(const LightSource& light) {
    StyleLightRecord record;
    for (int c = 0; c < 3; ++c)
        record.color[c] = light.color[c];
    for (const StyleSliderField& slider : kSliderFields)
        if (slider.lightField)
            record.*slider.lightField = light.*parameter(slider.which).lightSetting;
    record.on = light.enabled ? 1 : 0;
    record.typeCode = lightTypeEntry(light.type).styleCode;
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
    record.whiteIsHigh = settings.whiteIsHigh ? 1 : 0;
    for (int c = 0; c < 3; ++c)
        record.ambientColor[c] = settings.ambientColor[c];
    for (const StyleSliderField& slider : kSliderFields)
        if (slider.field)
            record.*slider.field = settings.*parameter(slider.which).setting;
    record.lightCount = std::min<uint16_t>(settings.lightCount, kMaxLights);
    record.currentLight = settings.currentLight;
    record.halfFrame = int16_t(settings.halfFrame());
    for (int i = 0; i < record.lightCount; ++i)
        record.lights[i] = lightRecordOf(settings.lights[i]);
    return record;
}
