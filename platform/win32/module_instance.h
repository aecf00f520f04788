#pragma once
#include <windows.h>

// The plug-in module's instance handle, through which every resource, dialog
// and window class of the plug-in is reached.
HINSTANCE moduleInstance();
void setModuleInstance(HINSTANCE instance);

// True on the old non-NT systems below version 4, whose slider painting differs.
bool isOldWindowsVersion();
