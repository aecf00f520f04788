#include "settings/parameter_table.h"

#include <algorithm>

int16_t ParameterEntry::clampStored(int16_t stored) const {
    return std::clamp(stored, storedFromSlider(sliderMinimum), storedFromSlider(sliderMaximum));
}

int32_t ParameterEntry::percentFromStored(int16_t stored) const {
    return PositionToPercent(sliderFromStored(stored), scale);
}

int16_t ParameterEntry::storedFromPercent(int32_t percent) const {
    return storedFromSlider(PercentToPosition(percent, scale));
}

const std::vector<std::reference_wrapper<const ParameterEntry>>& sliderSettings() {
    static const auto sliders = [] {
        std::vector<std::reference_wrapper<const ParameterEntry>> found;
        for (const ParameterEntry& entry : parameterTable())
            if (entry.isSlider())
                found.push_back(entry);
        return found;
    }();
    return sliders;
}

const ParameterEntry* parameterWithKey(uint32_t scriptKey, bool perLight) {
    for (const ParameterEntry& entry : sliderSettings())
        if (entry.scriptKey == scriptKey && entry.perLight() == perLight)
            return &entry;
    return nullptr;
}

void applyMaterialDefaults(Settings& settings) {
    for (const ParameterEntry& entry : sliderSettings())
        if (entry.setting)
            settings.*entry.setting = entry.defaultValue;
}

void applyLightDefaults(LightSource& light) {
    for (const ParameterEntry& entry : sliderSettings())
        if (entry.lightSetting)
            light.*entry.lightSetting = entry.defaultValue;
}

void clampToSliders(Settings& settings) {
    for (const ParameterEntry& entry : sliderSettings())
        if (entry.setting)
            settings.*entry.setting = entry.clampStored(settings.*entry.setting);
}

void clampToSliders(LightSource& light) {
    for (const ParameterEntry& entry : sliderSettings())
        if (entry.lightSetting)
            light.*entry.lightSetting = entry.clampStored(light.*entry.lightSetting);
}
