#include "shell/entry_point.h"

#include <new>

#include "platform/checked_alloc.h"
#include "protocol/host_record.h"
#include "protocol/result_codes.h"
#include "resources/resource_ids.h"
#include "shell/filter_run.h"
#include "shell/plugin_state.h"
#include "shell/script_io.h"
#include "shell/worker_threads.h"
#include "ui/ui_services.h"

namespace {
PluginState* stateIn(intptr_t* dataSlot) {
    return reinterpret_cast<PluginState*>(*dataSlot);
}

PluginState* createState() {
    void* memory = checkedAlloc(sizeof(PluginState));
    return memory ? new (memory) PluginState() : nullptr;
}

void destroyState(PluginState* state) {
    state->~PluginState();
    checkedFreeRaw(state);
}

void* ownerOfAbout(const AboutRecord* about) {
    return about && about->windowInfo ? about->windowInfo->ownerWindow : nullptr;
}

// The host must offer the services the plug-in relies on; an old host gets the
// host-version message.
int16_t prepare(const HostRecord& host) {
    if (!host.drawPixelMap) {
        showErrorMessage(kStringErrorTitle, kStringHostTooOld);
        return result::cancelled;
    }
    if (host.imageMode != kImageModeRgb)
        return result::notRgbMode;
    if (!host.fetchRequested || !host.absolutePlanesSupported) {
        showErrorMessage(kStringErrorTitle, kStringHostTooOld);
        return result::cancelled;
    }
    return result::ok;
}

int16_t start(HostRecord& host, PluginState& state) {
    int16_t code = startFiltering(host, state);
    if (code != 0) {
        state.run.showDialog = false;
        releaseRunBuffers(state);
        return code;
    }
    code = initThreads(state);
    if (code != 0)
        endThreads(state);
    return code;
}

// The dialog of a state's very first use was cancelled or failed: nothing of it
// is worth keeping.
bool discardsState(const PluginState& state) {
    return state.run.showDialog && !state.run.settingsValid;
}

void finish(HostRecord& host, PluginState& state, int16_t* resultCell) {
    endThreads(state);
    releaseRunBuffers(state);
    *resultCell = 0;
    writeScriptParameters(host, state, resultCell);
    state.run.settingsValid = true;
    state.run.showDialog = false;
}
} // namespace

ORVANE_EXPORT void ENTRYPOINT1(int16_t selector, void* record, intptr_t* dataSlot,
                               int16_t* resultCell) {
    if (selector == SelectorFinish && *dataSlot == 0) {
        *resultCell = result::ok;
        return;
    }
    if (*dataSlot == 0) {
        PluginState* created = createState();
        *dataSlot = reinterpret_cast<intptr_t>(created);
        if (!created) {
            *resultCell = result::outOfMemory;
            return;
        }
        created->run.settingsValid = false;
    }
    PluginState& state = *stateIn(dataSlot);
    auto& host = *static_cast<HostRecord*>(record);

    switch (selector) {
    case SelectorAbout:
        *resultCell = showAboutBox(ownerOfAbout(static_cast<AboutRecord*>(record)));
        return;
    case SelectorParameters:
        *resultCell = result::ok;
        state.run.showDialog = true;
        return;
    case SelectorPrepare:
        *resultCell = prepare(host);
        return;
    case SelectorStart:
        *resultCell = start(host, state);
        return;
    case SelectorContinue:
        *resultCell = continueFiltering(host, state);
        if (*resultCell != 0 && discardsState(state))
            discardPluginState(dataSlot);
        return;
    case SelectorFinish:
        finish(host, state, resultCell);
        return;
    default:
        *resultCell = result::unknownSelector;
        return;
    }
}

void discardPluginState(intptr_t* dataSlot) {
    PluginState* state = stateIn(dataSlot);
    if (!state)
        return;
    endThreads(*state);
    releaseRunBuffers(*state);
    destroyState(state);
    *dataSlot = 0;
}
