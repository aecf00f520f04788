#pragma once
#include <cstddef>

// The one allocator for the plug-in's own blocks. It refuses when less than
// 64 KiB of address space remain, so that the host keeps room to report errors.
void* checkedAlloc(size_t bytes);

void checkedFreeRaw(void* raw);

// Frees a block from checkedAlloc (null is fine) and nulls the caller's pointer.
template <typename T> void checkedFree(T*& block) {
    checkedFreeRaw(static_cast<void*>(block));
    block = nullptr;
}

// Tests drive the refusal path: after `allowed` more successful allocations
// every request is refused; a negative value lifts the limit.
void setCheckedAllocLimitForTesting(long allowed);
