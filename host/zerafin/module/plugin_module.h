#pragma once
#include <memory>
#include <optional>
#include <string>

#include "host/zerafin/plugin_services/host_session.h"

// A loaded filter module and its entry point.
class PluginModule {
  public:
    // Loads the module at `path` (the Win32 host) or binds the plug-in linked
    // into this program (the native host, which ignores the path). Null with a
    // message on failure.
    static std::unique_ptr<PluginModule> load(const std::string& path, const std::string& entryName,
                                              std::string& error);
    ~PluginModule();

    EntryPointProc entryPoint() const { return entry; }

    // Ends the plug-in's state that the data slot keeps, as the plug-in does
    // when it discards a state itself: threads ended, run buffers released,
    // the state destroyed and the slot emptied. A host does this when it is
    // done with the module, after a finish or after an interrupted run.
    void discardState(intptr_t& dataSlot) const;

  private:
    PluginModule() = default;
    [[maybe_unused]] void* library = nullptr; // Windows only
    EntryPointProc entry = nullptr;
};

// The module path used when --plugin is not given: Orvane.9zf beside the host.
std::string defaultPluginPath();
// The folder that holds the module file, without a trailing separator (the
// native host's own folder, since the plug-in is linked into it); nullopt when
// it cannot be known.
std::optional<std::string> moduleDirectory(const std::string& modulePath);
// A top-level window (hidden) owning the plug-in's dialogs; null natively.
void* createOwnerWindow();
void destroyOwnerWindow(void* window);
