#pragma once
#include "settings/settings.h"
#include "styles/style_record.h"

// The records a style file stores for the settings and for one light, field by
// field as they are (the light geometry at the settings' own half frame).
StyleRecord styleRecordOf(const Settings& settings);
StyleLightRecord lightRecordOf(const LightSource& light);
