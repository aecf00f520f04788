#pragma once
#include <cstdint>

#include "protocol/host_record.h"
#include "protocol/plugin_api.h"

struct HeightMapRecord;
struct ParameterBlock;
struct PluginState;

// A band of rows to light: the filtered area (pixel centres refer to it), the
// rectangle of it to light, its input pixels and where the lit pixels go (3
// interleaved bytes per pixel, rows rowBytes apart). The run builds it from
// the host's tile, the preview from its own images.
struct Band {
    Rect16 area;
    Rect16 rows;
    const uint8_t* input;
    int32_t inputRowBytes;
    uint8_t* output;
    int32_t outputRowBytes;
};

// The host's current tile as a band: its input rectangle within the area.
Band bandOfHost(const HostRecord& host);

// Creates the worker-thread set of one operation and gives every thread its own
// scratch buffers. result::ok, or result::outOfMemory (the caller then calls
// endThreads).
int16_t initThreads(PluginState& state);
// Frees every thread's buffers and ends the set; harmless without a set.
void endThreads(PluginState& state);

// Divides the band into runs of rows, one per thread (every row lit exactly
// once, left-over rows going one each to the first threads) and fills each
// thread's block; `heights` (may be null) are the band's relief heights. False,
// and nothing to run, for a band without positive size or wider than 1024
// pixels.
bool prepareBand(const Band& band, PluginState& state, const ParameterBlock& block,
                 const HeightMapRecord* heights);
// prepareBand, then `worker` on every thread.
void runBandOnThreads(const Band& band, PluginState& state, const ParameterBlock& block,
                      const HeightMapRecord* heights, ThreadWorkerProc worker);

// The untextured render of one band (a render tile, or the preview), using and
// filling the preview's summed caches where they are present.
void renderUntextured(const Band& band, PluginState& state, const ParameterBlock& block);

// The relief heights of a texture tile (buildHeightMap), each thread
// building its share of the map's rows. result::ok, or result::outOfMemory
// when the map cannot grow.
int16_t buildHeightMapOnThreads(const uint8_t* samples, int32_t rowBytes, int width, int height,
                                PluginState& state, HeightMapRecord& map);

// The relief render of one band (the colour pass of a textured run).
void renderBandWithRelief(const Band& band, PluginState& state, const ParameterBlock& block,
                          const HeightMapRecord& heights);
