#pragma once
#include <span>

#include "settings/parameter_table.h"
#include "settings/settings.h"
#include "styles/style_record.h"

// Where a style file keeps each slider setting: its field of the record (or
// of a light's record) beside the setting's row of the parameter table, so
// that writing and reading a style walk the same list.
struct StyleSliderField {
    Parameter which;
    int16_t StyleRecord::*field = nullptr;
    int16_t StyleLightRecord::*lightField = nullptr;
};
std::span<const StyleSliderField> styleSliderFields();

// The records a style file stores for the settings and for one light, field by
// field as they are (the light geometry at the settings' own half frame).
StyleRecord styleRecordOf(const Settings& settings);
StyleLightRecord lightRecordOf(const LightSource& light);
