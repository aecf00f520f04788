#include "host/zerafin/module/plugin_module.h"

#include "platform/files.h"
#include "shell/entry_point.h"

// The native host has the plug-in linked in: there is no module file to load.
std::unique_ptr<PluginModule> PluginModule::load(const std::string&, const std::string&,
                                                 std::string&) {
    std::unique_ptr<PluginModule> module(new PluginModule());
    module->entry = ENTRYPOINT1;
    return module;
}

PluginModule::~PluginModule() = default;

void PluginModule::discardState(intptr_t& dataSlot) const {
    discardPluginState(&dataSlot);
}

std::string defaultPluginPath() {
    return "(linked in)";
}

// The plug-in finds its styles beside its own file, whose path must fit the
// system's path buffer: a longer one leaves it without a style folder, and the
// host too.
std::optional<std::string> moduleDirectory(const std::string&) {
    char path[platform::kMaxPath];
    if (!platform::pluginFilePath(path, sizeof path))
        return std::nullopt;
    const std::string own(path);
    const size_t separator = own.rfind(platform::kPathSeparator);
    if (separator == std::string::npos)
        return std::nullopt;
    return separator == 0 ? own.substr(0, 1) : own.substr(0, separator);
}

void* createOwnerWindow() {
    return nullptr;
}
void destroyOwnerWindow(void*) {}
