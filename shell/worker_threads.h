#pragma once
#include <cstdint>

#include "protocol/plugin_api.h"

struct HostRecord;
struct ParameterBlock;
struct PluginState;

// Creates the worker-thread set of one operation and gives every thread its own
// scratch buffers. 0, or -108 (the caller then calls endThreads).
int16_t initThreads(PluginState& state);
// Frees every thread's buffers and ends the set; harmless without a set.
void endThreads(PluginState& state);

// Divides the band that host.inputRect / outputRect describe into runs of rows,
// one per thread (every row lit exactly once, left-over rows going one each to
// the first threads) and fills each thread's block. False, and nothing to run,
// for a band without positive size or wider than 1024 pixels.
bool prepareBand(HostRecord& host, PluginState& state, ParameterBlock& block);
// prepareBand, then `worker` on every thread.
void runBandOnThreads(HostRecord& host, PluginState& state, ParameterBlock& block,
                      ThreadWorkerProc worker);

// The untextured render of one rectangle (a render tile, or the preview),
// using and filling the state's summed caches where they are present.
void renderFlat(HostRecord& host, PluginState& state, ParameterBlock& block);

// The relief render of one band (the colour pass of a textured run).
void renderBandWithRelief(HostRecord& host, PluginState& state);
