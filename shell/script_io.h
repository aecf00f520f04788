#pragma once
#include <cstdint>

struct HostRecord;
struct PluginState;

// Reads the scripting descriptor the host passes at start, if any. True when
// one was read; the error cell always receives the outcome (0 = fine).
bool readScriptParameters(HostRecord& host, PluginState& state, int16_t* errorCell);

// Writes the settings back to the host as a descriptor, for recording. The
// error cell receives the outcome.
void writeScriptParameters(HostRecord& host, PluginState& state, int16_t* errorCell);
