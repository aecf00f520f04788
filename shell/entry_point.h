#pragma once
#include <cstdint>

#include "protocol/selectors.h"

#ifdef _WIN32
#define ORVANE_EXPORT extern "C" __declspec(dllexport)
#else
#define ORVANE_EXPORT extern "C"
#endif

// The module's one export. `record` is the HostRecord (the AboutRecord for
// selector 0), `dataSlot` the host's slot that keeps the PluginState between
// calls, and `result` receives the outcome of every call.
ORVANE_EXPORT void ENTRYPOINT1(int16_t selector, void* record, intptr_t* dataSlot, int16_t* result);

// Ends the state that the slot keeps: worker threads ended, run buffers
// released, the state destroyed and the slot emptied. The plug-in does this
// after a failed first dialog; the native host, which has the plug-in linked
// in, does it when it is done with the plug-in.
void discardPluginState(intptr_t* dataSlot);
