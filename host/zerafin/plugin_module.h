#pragma once
#include <memory>
#include <string>

#include "host/zerafin/host_session.h"

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

  private:
    PluginModule() = default;
    void* library = nullptr;
    EntryPointProc entry = nullptr;
};

// The module path used when --plugin is not given: Orvane.9zf beside the host.
std::string defaultPluginPath();
// A top-level window (hidden) owning the plug-in's dialogs; null natively.
void* createOwnerWindow();
void destroyOwnerWindow(void* window);
