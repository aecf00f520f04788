#pragma once
#include <cstdint>

struct HostRecord;
struct PluginState;

// One filtering operation driven through the start and continue selectors.
int16_t startFiltering(HostRecord& host, PluginState& state);
int16_t continueFiltering(HostRecord& host, PluginState& state);
// Frees the preview images and the height map (the buffers of one run).
void releaseRunBuffers(PluginState& state);

// Pulls the texture channel at preview resolution into the preview's texture
// image while the dialog is open (the host cannot call continue then): 0 or the
// host's error.
int16_t gatherTexturePreview(HostRecord& host, PluginState& state);
