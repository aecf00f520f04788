#include "shell/script_io.h"

// Scripting descriptors arrive with the scripting subsystem; until then no
// descriptor is exchanged.
bool readScriptParameters(HostRecord&, PluginState&, int16_t* errorCell) {
    *errorCell = 0;
    return false;
}

void writeScriptParameters(HostRecord&, PluginState&, int16_t*) {}
