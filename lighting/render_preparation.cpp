#include "lighting/render_preparation.h"

#include "shell/plugin_state.h"

// Light preparation arrives with the lighting engine; until then no light is
// prepared, so a render shows ambient light only.
void preparePreview(PluginState&, ParameterBlock& block, int) { block.lightCount = 0; }
void prepareFromPercent(PluginState&, ParameterBlock& block, int) { block.lightCount = 0; }
