#include "shell/script_io.h"

#include "protocol/plugin_api.h"
#include "scripting/script_parameters.h"
#include "shell/plugin_state.h"

bool readScriptParameters(HostRecord& host, PluginState& state, int16_t* errorCell) {
    ScriptContext context{state.settings, &host};
    context.showDialog = state.run.showDialog;
    const bool read = UtilReadDescriptors(&context, host.handleTable, host.scriptRecord,
                                          ReadScriptParameters, errorCell) != 0;
    state.run.showDialog = context.showDialog;
    // Nothing cached from the settings before the script may survive.
    if (read || *errorCell != 0)
        state.preview.releaseCaches();
    return read;
}

void writeScriptParameters(HostRecord& host, PluginState& state, int16_t* errorCell) {
    ScriptContext context{state.settings, &host, state.run.litFromPercent, state.preview.width};
    UtilWriteDescriptors(&context, host.handleTable, host.scriptRecord, WriteScriptParameters,
                         errorCell);
}
