#include <windows.h>

#include "host/zerafin/plugin_module.h"

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

std::string defaultPluginPath() {
    char path[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string own(path, length);
    const size_t slash = own.find_last_of("\\/");
    return (slash == std::string::npos ? std::string() : own.substr(0, slash + 1)) + "Orvane.9zf";
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
