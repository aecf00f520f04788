#include "shell/worker_threads.h"

#include <cstring>

#include "lighting/shade_flat.h"
#include "lighting/shade_strip.h"
#include "shell/checked_alloc.h"
#include "shell/parameter_block.h"
#include "shell/plugin_state.h"
#include "protocol/result_codes.h"
#include "shell/thread_block.h"

namespace {
constexpr int kMaxBandWidth = 1024;

ThreadBlock* blockOf(PluginState& state, int index) {
    return static_cast<ThreadBlock*>(PIThreadsGetParamsPtr(state.threads, int16_t(index)));
}

// Allocates the thread's buffers in order; stops at the first refusal.
bool allocateScratch(ThreadBlock& thread) {
    for (int b = 0; b < kScratchBufferCount; ++b) {
        thread.ownScratch[b] = checkedAlloc(kScratchBufferBytes[b]);
        if (!thread.ownScratch[b])
            return false;
    }
    return true;
}

void fillThreadBlock(ThreadBlock& thread, const HostRecord& host, const PluginState& state,
                     ParameterBlock& block, int firstRow, int rows) {
    thread.areaHeight = host.areaRect.height();
    thread.areaWidth = host.areaRect.width();
    thread.runRows = int16_t(rows);
    thread.runWidth = host.inputRect.width();
    thread.widthScale = block.imageWidth / float(thread.areaWidth);
    thread.runInput = host.inputData + ptrdiff_t(host.inputRowBytes) * firstRow;
    thread.runOutput = host.outputData + ptrdiff_t(host.outputRowBytes) * firstRow;
    std::memcpy(thread.scratch, thread.ownScratch, sizeof thread.scratch);
    thread.block = &block;
    std::memcpy(&thread.hostCopy, &host, kHostRecordCopyBytes);
    thread.hostCopy.inputRect.top = int16_t(host.inputRect.top + firstRow);
    thread.hostCopy.inputRect.bottom = int16_t(thread.hostCopy.inputRect.top + rows);
    thread.heightMapCopy = state.heightMap;
    if (state.heightMap.map)
        thread.heightMapCopy.map =
            state.heightMap.map + ptrdiff_t(state.heightMap.width) * firstRow;
}

// The thread's run of rows, as the shading kernels see it.
RowRun rowRunOf(const ThreadBlock& thread) {
    const HostRecord& host = thread.hostCopy;
    return RowRun{thread.block,
                  thread.areaWidth,
                  thread.areaHeight,
                  thread.runRows,
                  thread.runWidth,
                  host.inputRect.top - host.areaRect.top,
                  host.inputRect.left - host.areaRect.left,
                  thread.runInput,
                  host.inputRowBytes,
                  thread.runOutput,
                  host.outputRowBytes,
                  thread.widthScale,
                  scratchFromBuffers(thread.scratch)};
}

void shadeStripWorker(void* threadBlock) {
    const ThreadBlock& thread = *static_cast<ThreadBlock*>(threadBlock);
    shadeStrip(ReliefStrip{rowRunOf(thread), thread.heightMapCopy.map, thread.heightMapCopy.width});
}

void shadeFlatWorker(void* threadBlock) {
    const ThreadBlock& thread = *static_cast<ThreadBlock*>(threadBlock);
    const auto& summed = thread.summed;
    shadeFlatRows(FlatRows{rowRunOf(thread), summed.positions, summed.positionsValid != 0,
                           summed.diffuse, summed.specular, summed.sumsValid != 0});
}

template <typename T> T* advancedBy(void* buffer, ptrdiff_t elements) {
    return buffer ? static_cast<T*>(buffer) + elements : nullptr;
}

// Points each thread at its run's part of the summed caches.
void shareSummedCaches(PluginState& state, int count) {
    const CacheSlot* caches = state.summedCaches;
    const bool sumsValid = caches[CacheDiffuse].buffer && caches[CacheDiffuse].valid &&
                           caches[CacheSpecular].buffer && caches[CacheSpecular].valid;
    for (int i = 0; i < count; ++i) {
        ThreadBlock& thread = *blockOf(state, i);
        const ptrdiff_t first = (thread.hostCopy.inputRect.top - thread.hostCopy.areaRect.top) *
                                ptrdiff_t(thread.runWidth);
        thread.summed.positions = advancedBy<float>(caches[CachePositions].buffer, first * 2);
        thread.summed.diffuse = advancedBy<int32_t>(caches[CacheDiffuse].buffer, first * 4);
        thread.summed.specular = advancedBy<int32_t>(caches[CacheSpecular].buffer, first * 4);
        thread.summed.positionsValid =
            caches[CachePositions].buffer && caches[CachePositions].valid;
        thread.summed.sumsValid = sumsValid;
    }
}
} // namespace

int16_t initThreads(PluginState& state) {
    int count = PIThreadsGetNumThreads();
    state.threads = PIThreadsInit(int32_t(sizeof(ThreadBlock)));
    if (!state.threads)
        return result::outOfMemory;
    for (int i = 0; i < count; ++i)
        if (!allocateScratch(*blockOf(state, i)))
            return result::outOfMemory;
    return result::ok;
}

void endThreads(PluginState& state) {
    if (!state.threads)
        return;
    int count = PIThreadsGetNumThreads();
    for (int i = 0; i < count; ++i)
        for (void*& buffer : blockOf(state, i)->ownScratch)
            checkedFree(buffer);
    PIThreadsEndThreads(state.threads);
    state.threads = nullptr;
}

bool prepareBand(HostRecord& host, PluginState& state, ParameterBlock& block) {
    const Rect16& band = host.inputRect;
    if (!state.threads || host.areaRect.height() <= 0 || host.areaRect.width() <= 0 ||
        band.height() <= 0 || band.width() <= 0 || band.width() > kMaxBandWidth)
        return false;
    int count = PIThreadsGetNumThreads();
    int baseRows = band.height() / count;
    int leftOver = band.height() - baseRows * count;
    int firstRow = 0;
    for (int i = 0; i < count; ++i) {
        int rows = baseRows + (i < leftOver ? 1 : 0);
        fillThreadBlock(*blockOf(state, i), host, state, block, firstRow, rows);
        firstRow += rows;
    }
    return true;
}

void runBandOnThreads(HostRecord& host, PluginState& state, ParameterBlock& block,
                      ThreadWorkerProc worker) {
    if (prepareBand(host, state, block))
        PIThreadsDoAll(0, state.threads, worker);
}

void renderFlat(HostRecord& host, PluginState& state, ParameterBlock& block) {
    if (!prepareBand(host, state, block))
        return;
    shareSummedCaches(state, PIThreadsGetNumThreads());
    PIThreadsDoAll(0, state.threads, shadeFlatWorker);
    for (CacheSlot& slot : state.summedCaches)
        if (slot.buffer)
            slot.valid = 1;
}

void renderBandWithRelief(HostRecord& host, PluginState& state) {
    ParameterBlock* block = lockParameterBlock(host);
    if (block)
        runBandOnThreads(host, state, *block, shadeStripWorker);
}
