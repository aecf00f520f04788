#pragma once
#include <cstdint>

// Milliseconds from start to now on the system's 32-bit tick counter, also
// across its wrap to 0 (unsigned subtraction is modulo 2^32).
constexpr uint32_t ticksBetween(uint32_t start, uint32_t now) {
    return now - start;
}

#ifdef _WIN32
// Waits the given time on the calling thread, sleeping rather than spinning;
// messages stay queued for the caller.
void BusyWait(uint32_t milliseconds);
#endif
