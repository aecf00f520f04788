// Module load: keep the instance handle through which every resource, dialog
// and window class of the plug-in is reached. Loading always succeeds.
#include <windows.h>

#include "platform/win32/module_instance.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID) {
    setModuleInstance(instance);
    return TRUE;
}
