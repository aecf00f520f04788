#include "settings/parameter_table.h"

#include <algorithm>
#include <iterator>

#include "protocol/four_cc.h"

namespace {
constexpr int16_t kSliderMin = 0;
constexpr int16_t kSliderMax = 256;
// Ambience and intensity are stored centred: slider position 127 is 0.
constexpr int16_t kCentred = 127;

const ParameterEntry kTable[] = {
    // Gloss, material, exposure, ambience, relief, intensity, focus.
    {fourCC("Glos"), PercentScale::Wide, 128, kSliderMin, kSliderMax, 0, &Settings::gloss, nullptr},
    {fourCC("Mtrl"), PercentScale::Wide, 0, kSliderMin, kSliderMax, 0, &Settings::material,
     nullptr},
    {fourCC("Exps"), PercentScale::Wide, 128, kSliderMin, kSliderMax, 0, &Settings::exposure,
     nullptr},
    {fourCC("AmbB"), PercentScale::Wide, 16, kSliderMin, kSliderMax, kCentred, &Settings::ambience,
     nullptr},
    {fourCC("BmpA"), PercentScale::Narrow, 128, kSliderMin, kSliderMax, 0, &Settings::reliefAmount,
     nullptr},
    {fourCC("Intn"), PercentScale::Wide, 65, kSliderMin, kSliderMax, kCentred, nullptr,
     &LightSource::intensity},
    {fourCC("Fcs "), PercentScale::Wide, 128, kSliderMin, kSliderMax, 0, nullptr,
     &LightSource::focus},
};
} // namespace

int16_t ParameterEntry::clampStored(int16_t stored) const {
    return std::clamp(stored, storedFromSlider(sliderMinimum), storedFromSlider(sliderMaximum));
}

int32_t ParameterEntry::percentFromStored(int16_t stored) const {
    return PositionToPercent(sliderFromStored(stored), scale);
}

int16_t ParameterEntry::storedFromPercent(int32_t percent) const {
    return storedFromSlider(PercentToPosition(percent, scale));
}

const ParameterEntry& parameter(Parameter which) {
    return kTable[int(which)];
}

std::span<const ParameterEntry> parameterTable() {
    return kTable;
}

const ParameterEntry* parameterWithKey(uint32_t scriptKey, bool perLight) {
    const auto found = std::find_if(std::begin(kTable), std::end(kTable), [&](const auto& entry) {
        return entry.scriptKey == scriptKey && (entry.lightSetting != nullptr) == perLight;
    });
    return found == std::end(kTable) ? nullptr : found;
}

void applyMaterialDefaults(Settings& settings) {
    for (const ParameterEntry& entry : kTable)
        if (entry.setting)
            settings.*entry.setting = entry.defaultValue;
}

void applyLightDefaults(LightSource& light) {
    for (const ParameterEntry& entry : kTable)
        if (entry.lightSetting)
            light.*entry.lightSetting = entry.defaultValue;
}
