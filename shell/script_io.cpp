#include "shell/script_io.h"

#include "scripting/script_parameters.h"
#include "protocol/plugin_api.h"
#include "shell/plugin_state.h"

bool readScriptParameters(HostRecord& host, PluginState& state, int16_t* errorCell) {
    return UtilReadDescriptors(&state, host.handleTable, host.scriptRecord, ReadScriptParameters,
                               errorCell) != 0;
}

void writeScriptParameters(HostRecord& host, PluginState& state, int16_t* errorCell) {
    UtilWriteDescriptors(&state, host.handleTable, host.scriptRecord, WriteScriptParameters,
                         errorCell);
}
