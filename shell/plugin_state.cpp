#include "shell/plugin_state.h"

#include "shell/checked_alloc.h"

PluginState::PluginState() {
    for (LightSource& light : lights)
        light.owner = this;
}

PluginState::~PluginState() {
    releaseAll();
}
