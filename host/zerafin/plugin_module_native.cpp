#include "host/zerafin/plugin_module.h"
#include "shell/entry_point.h"

// The native host has the plug-in linked in: there is no module file to load.
std::unique_ptr<PluginModule> PluginModule::load(const std::string&, const std::string&,
                                                 std::string&) {
    std::unique_ptr<PluginModule> module(new PluginModule());
    module->entry = ENTRYPOINT1;
    return module;
}

PluginModule::~PluginModule() = default;

std::string defaultPluginPath() { return "(linked in)"; }
void* createOwnerWindow() { return nullptr; }
void destroyOwnerWindow(void*) {}
