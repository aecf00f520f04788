#include "platform/memory.h"

#include <windows.h>

namespace platform {
uint64_t availableVirtualBytes() {
    MEMORYSTATUS status{};
    status.dwLength = sizeof(status);
    GlobalMemoryStatus(&status);
    return status.dwAvailVirtual;
}

void* allocateFixed(size_t bytes) {
    return GlobalAlloc(GMEM_FIXED, bytes);
}

void freeFixed(void* block) {
    GlobalFree(block);
}
} // namespace platform
