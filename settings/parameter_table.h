#pragma once
#include <cstdint>
#include <span>

#include "settings/percent_scale.h"
#include "settings/settings.h"

// The one description of every setting a slider shows: its script key, how a
// script shows it, its default, its slider range and the offset between the
// slider's position and the stored value. The script reader and writer, the
// style reader's clamps, the defaults and the dialog's sliders all use it.
struct ParameterEntry {
    uint32_t scriptKey;
    PercentScale scale;   // the script carries the slider position as this percentage
    int16_t defaultValue; // stored value
    int16_t sliderMinimum, sliderMaximum;
    int16_t sliderOffset; // stored value = slider position - offset
    // Exactly one of these says where the value is kept: a material setting,
    // or a setting of each light.
    int16_t Settings::*setting;
    int16_t LightSource::*lightSetting;

    int16_t storedFromSlider(int32_t position) const { return int16_t(position - sliderOffset); }
    int32_t sliderFromStored(int16_t stored) const { return int32_t(stored) + sliderOffset; }
    // A stored value brought into the slider's range (a style file's values
    // may be anything).
    int16_t clampStored(int16_t stored) const;
    // The script's percentage and back.
    int32_t percentFromStored(int16_t stored) const;
    int16_t storedFromPercent(int32_t percent) const;
};

enum class Parameter { Gloss, Material, Exposure, Ambience, Relief, Intensity, Focus };

const ParameterEntry& parameter(Parameter which);
std::span<const ParameterEntry> parameterTable();
// The entry with this script key among the material settings (perLight
// false) or the light settings (perLight true), or null.
const ParameterEntry* parameterWithKey(uint32_t scriptKey, bool perLight);

// Every table setting of the material, or of one light, at its default.
void applyMaterialDefaults(Settings& settings);
void applyLightDefaults(LightSource& light);
