#pragma once
#include "shell/parameter_block.h"

struct PluginState;
class LightSource;

// Turns the enabled lights of the state into RenderLight records, packed from
// slot 0, and stores their number. tableSizeFlag 1 gives spot falloff tables of
// 256 entries (the preview), otherwise 1024.
//
// preparePreview starts from the preview-pixel geometry (divisor: the half
// frame); prepareFromPercent from the percent geometry (divisor 50) and then
// refreshes the pixel geometry of each prepared light from it.
void preparePreview(PluginState& state, ParameterBlock& block, int tableSizeFlag);
void prepareFromPercent(PluginState& state, ParameterBlock& block, int tableSizeFlag);
