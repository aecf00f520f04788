#pragma once
#include <cstdint>

#include "lighting/parameter_block.h"
#include "settings/settings.h"

// Turns the enabled lights of the settings into RenderLight records, packed from
// slot 0, and stores their number. tableSizeFlag 1 gives spot falloff tables of
// 256 entries (the preview), otherwise 1024.
//
// preparePreview starts from the preview-pixel geometry (divisor: the half
// frame); prepareFromPercent from the percent geometry (divisor 50) and then
// refreshes the pixel geometry of each prepared light from it.
void preparePreview(Settings& settings, ParameterBlock& block, int tableSizeFlag);
void prepareFromPercent(Settings& settings, ParameterBlock& block, int tableSizeFlag);

// One light each, from its pixel geometry (divisor: the half frame in pixels)
// or from its percent geometry (divisor 50; a directional light's handle is
// taken back to pixels with the frame size).
void prepareLightPreview(const LightSource& light, RenderLight& prepared, double divisor,
                         int tableSizeFlag);
void prepareLightPercent(const LightSource& light, RenderLight& prepared, double divisor,
                         uint16_t frameSize, int tableSizeFlag);

// The spot's falloff from its axis (entry 0: the cone's edge at 45°) to the
// axis (last entry), shaped by the light's focus.
void fillSpotTable(const LightSource& light, RenderLight& prepared, int tableSizeFlag);

// The angle of the point (x, y) in -pi..pi, with pi in single precision.
double angleOf(double y, double x);
