#include "ui/busy_wait.h"

#include <windows.h>

void BusyWait(uint32_t milliseconds) {
    const uint32_t start = GetTickCount();
    for (uint32_t elapsed = 0; elapsed < milliseconds;
         elapsed = ticksBetween(start, GetTickCount()))
        Sleep(milliseconds - elapsed);
}
