#pragma once
#include <windows.h>

// Moves a top-level window centred over its owner, kept wholly inside the
// work area of the owner's monitor (see platform/window_placement.h). Without
// an owner it stays where it is, moved inside the work area of its monitor.
void centreOverOwner(HWND window);
