#include "platform/checked_alloc.h"

#include "platform/memory.h"

namespace {
constexpr uint64_t kMinimumFreeAddressSpace = 65536;
long allocationsAllowed = -1;
} // namespace

void* checkedAlloc(size_t bytes) {
    if (allocationsAllowed == 0)
        return nullptr;
    if (platform::availableVirtualBytes() < kMinimumFreeAddressSpace)
        return nullptr;
    if (allocationsAllowed > 0)
        --allocationsAllowed;
    return platform::allocateFixed(bytes);
}

void checkedFreeRaw(void* raw) {
    if (raw)
        platform::freeFixed(raw);
}

void setCheckedAllocLimitForTesting(long allowed) {
    allocationsAllowed = allowed;
}
