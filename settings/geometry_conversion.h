#pragma once
#include <cstdint>

#include "settings/light_source.h"

// A light keeps its geometry twice: in pixels of the preview frame and in
// percent of it (what scripts and styles store). These keep the two in step.

// Sets the light's pixel geometry from its percent geometry, for a frame of
// frameSize pixels.
void refreshPixelGeometry(LightSource& light, uint16_t frameSize);
// The other way: the percent geometry from the pixel geometry (all 0 for a
// frame never measured). Refreshing the pixels from it gives them back.
void refreshPercentGeometry(LightSource& light, uint16_t frameSize);
