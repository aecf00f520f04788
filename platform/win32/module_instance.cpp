#include "platform/win32/module_instance.h"

namespace {
HINSTANCE instance = nullptr;
bool oldWindowsVersion = false;
} // namespace

HINSTANCE moduleInstance() {
    return instance ? instance : GetModuleHandleA(nullptr);
}

void setModuleInstance(HINSTANCE newInstance) {
    instance = newInstance;
    const DWORD version = GetVersion();
    oldWindowsVersion = (version & 0x80000000u) != 0 && LOBYTE(LOWORD(version)) < 4;
}

bool isOldWindowsVersion() {
    return oldWindowsVersion;
}
