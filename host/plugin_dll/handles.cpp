// Movable blocks ("handles") and plain pointers for the plug-in. A handle points
// at the master pointer of a small header that also remembers the size.
#include <atomic>
#include <cstdlib>
#include <new>

#include "protocol/host_tables.h"
#include "protocol/plugin_api.h"

namespace {
struct HandleBlock {
    void* data; // the master pointer: a Handle points here
    int32_t size;
};

HandleBlock* blockOf(Handle handle) {
    return reinterpret_cast<HandleBlock*>(handle);
}

std::atomic<int32_t> livePointers{0};
} // namespace

PLUGIN_API Handle NewHandle(int32_t size) {
    if (size < 0)
        return nullptr;
    auto* block = new (std::nothrow) HandleBlock{std::calloc(1, size_t(size) + 1), size};
    if (!block)
        return nullptr;
    if (!block->data) {
        delete block;
        return nullptr;
    }
    return &block->data;
}

PLUGIN_API void HLock(Handle) {} // blocks never move

PLUGIN_API int32_t HostGetHandleSize(HostHandleTable*, Handle handle) {
    return handle ? blockOf(handle)->size : 0;
}

PLUGIN_API void HostDisposeHandle(HostHandleTable*, Handle handle) {
    if (!handle)
        return;
    std::free(blockOf(handle)->data);
    delete blockOf(handle);
}

PLUGIN_API void* NewPtr(int32_t size) {
    void* block = size < 0 ? nullptr : std::calloc(1, size_t(size) + 1);
    if (block)
        ++livePointers;
    return block;
}

PLUGIN_API void DisposePtr(void* block) {
    if (block)
        --livePointers;
    std::free(block);
}

PLUGIN_API int32_t HostLivePointerCount() {
    return livePointers;
}
