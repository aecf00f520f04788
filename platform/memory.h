#pragma once
#include <cstddef>
#include <cstdint>

// The system memory the plug-in's checked allocator draws on.
namespace platform {
// Virtual address space still available to the process, in bytes.
uint64_t availableVirtualBytes();
// Fixed (non-moving) memory, or null.
void* allocateFixed(size_t bytes);
void freeFixed(void* block);
} // namespace platform
