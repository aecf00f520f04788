#include <windows.h>

#include "host/zerafin/module/plugin_module.h"

std::unique_ptr<PluginModule> PluginModule::load(const std::string& path,
                                                 const std::string& entryName, std::string& error) {
    HMODULE library = LoadLibraryA(path.c_str());
    if (!library) {
        error = "cannot load the plug-in module '" + path + "' (error " +
                std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    auto entry = reinterpret_cast<EntryPointProc>(
        reinterpret_cast<void*>(GetProcAddress(library, entryName.c_str())));
    if (!entry) {
        FreeLibrary(library);
        error = "the module '" + path + "' has no entry point " + entryName;
        return nullptr;
    }
    std::unique_ptr<PluginModule> module(new PluginModule());
    module->library = library;
    module->entry = entry;
    return module;
}

PluginModule::~PluginModule() {
    if (library)
        FreeLibrary(static_cast<HMODULE>(library));
}

// The state lives in the module's own memory, which only the module's code can
// free; it goes with the module when the module is unloaded. The slot is
// emptied so that the host never hands it back.
void PluginModule::discardState(intptr_t& dataSlot) const {
    dataSlot = 0;
}

std::string defaultPluginPath() {
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    // A path cut to the buffer names some other place: no default module then.
    if (length == 0 || length >= MAX_PATH)
        return "";
    std::string own(path, length);
    const size_t slash = own.find_last_of("\\/");
    return (slash == std::string::npos ? std::string() : own.substr(0, slash + 1)) + "Orvane.9zf";
}

std::optional<std::string> moduleDirectory(const std::string& modulePath) {
    if (modulePath.empty())
        return std::nullopt;
    const size_t separator = modulePath.find_last_of("\\/");
    if (separator == std::string::npos)
        return ".";
    return separator == 0 ? modulePath.substr(0, 1) : modulePath.substr(0, separator);
}

void* createOwnerWindow() {
    return CreateWindowExA(0, "STATIC", "Zerafin", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                           CW_USEDEFAULT, 640, 480, nullptr, nullptr, GetModuleHandleA(nullptr),
                           nullptr);
}

void destroyOwnerWindow(void* window) {
    if (window)
        DestroyWindow(static_cast<HWND>(window));
}
