#pragma once
#include <cstdint>

struct Band;
struct HeightMapRecord;
struct ParameterBlock;
struct PluginState;

// Lights the preview into the result image after a change. The preview caches
// let a redraw skip the work the change did not touch: after a material change
// no light is evaluated, after a light change the positions are reused.
// result::ok, or result::outOfMemory when the relief heights cannot be
// allocated.
int16_t renderPreview(PluginState& state);

// The textured preview on the calling thread: every row of the band (the
// preview's source) is cut into facets by the heights, lit and written to the
// band's output. Each row's samples follow the previous row's in the caches.
// Nothing is rendered for an empty input or an area wider than 1024 pixels.
void renderPreviewWithRelief(const Band& band, const HeightMapRecord& heights, PluginState& state,
                             const ParameterBlock& block);

// Copies the preview's source pixels unchanged into the result image, for the
// preview switched off.
void copyUnlitPreview(PluginState& state);
