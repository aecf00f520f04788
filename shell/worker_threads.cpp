#include "shell/worker_threads.h"

#include <algorithm>
#include <cstring>

#include "lighting/height_map.h"
#include "lighting/parameter_block.h"
#include "lighting/relief_strip.h"
#include "lighting/untextured_rows.h"
#include "platform/checked_alloc.h"
#include "protocol/result_codes.h"
#include "shell/plugin_state.h"
#include "shell/thread_block.h"

namespace {
constexpr int kMaxBandWidth = 1024;

ThreadBlock* blockOf(PluginState& state, int index) {
    return static_cast<ThreadBlock*>(PIThreadsGetParamsPtr(state.run.threads, int16_t(index)));
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

void fillThreadBlock(ThreadBlock& thread, const Band& band, const ParameterBlock& block,
                     const HeightMapRecord* heights, int firstRow, int rows) {
    thread.areaHeight = band.area.height();
    thread.areaWidth = band.area.width();
    thread.runRows = int16_t(rows);
    thread.runWidth = band.rows.width();
    thread.widthScale = block.imageWidth / float(thread.areaWidth);
    // The kernels only read the input; the block's field is shared with the output's type.
    thread.runInput = const_cast<uint8_t*>(band.input) + ptrdiff_t(band.inputRowBytes) * firstRow;
    thread.runOutput = band.output + ptrdiff_t(band.outputRowBytes) * firstRow;
    std::memcpy(thread.scratch, thread.ownScratch, sizeof thread.scratch);
    thread.block = &block;
    thread.runArea = band.area;
    thread.runRect = band.rows;
    thread.runRect.top = int16_t(band.rows.top + firstRow);
    thread.runRect.bottom = int16_t(thread.runRect.top + rows);
    thread.inputRowBytes = band.inputRowBytes;
    thread.outputRowBytes = band.outputRowBytes;
    thread.heightMapCopy = heights ? *heights : HeightMapRecord{};
    if (thread.heightMapCopy.map)
        thread.heightMapCopy.map += ptrdiff_t(thread.heightMapCopy.width) * firstRow;
}

// The thread's run of rows, as the shading kernels see it.
RowRun rowRunOf(const ThreadBlock& thread) {
    return RowRun{thread.block,
                  thread.areaWidth,
                  thread.areaHeight,
                  thread.runRows,
                  thread.runWidth,
                  thread.runRect.top - thread.runArea.top,
                  thread.runRect.left - thread.runArea.left,
                  thread.runInput,
                  thread.inputRowBytes,
                  thread.runOutput,
                  thread.outputRowBytes,
                  thread.widthScale,
                  scratchFromBuffers(thread.scratch)};
}

// Divides `rows` into runs, one per thread, every row in exactly one run and
// the left-over rows one each to the first threads: calls
// share(thread, firstRow, runRows) for each thread.
template <typename Share> void forEachThreadsRows(int rows, Share share) {
    const int count = PIThreadsGetNumThreads();
    const int baseRows = rows / count;
    const int leftOver = rows - baseRows * count;
    int firstRow = 0;
    for (int i = 0; i < count; ++i) {
        const int runRows = baseRows + (i < leftOver ? 1 : 0);
        share(i, firstRow, runRows);
        firstRow += runRows;
    }
}

// The thread's rows of a height map: the texture samples are its input (the
// area being the samples' rectangle), its run the map rows to build.
void buildHeightRowsWorker(void* threadBlock) {
    const ThreadBlock& thread = *static_cast<ThreadBlock*>(threadBlock);
    buildHeightRows(thread.runInput, thread.inputRowBytes, thread.areaWidth, thread.areaHeight,
                    thread.runRect.top, thread.runRows, thread.heightMapCopy);
}

void shadeStripWorker(void* threadBlock) {
    const ThreadBlock& thread = *static_cast<ThreadBlock*>(threadBlock);
    shadeStrip(ReliefStrip{rowRunOf(thread), thread.heightMapCopy.map, thread.heightMapCopy.width});
}

void shadeUntexturedWorker(void* threadBlock) {
    const ThreadBlock& thread = *static_cast<ThreadBlock*>(threadBlock);
    const auto& summed = thread.summed;
    shadeUntexturedRows(UntexturedRows{rowRunOf(thread), summed.positions,
                                       summed.positionsValid != 0, summed.diffuse, summed.specular,
                                       summed.sumsValid != 0});
}

template <typename T> T* advancedBy(const CheckedBuffer& buffer, ptrdiff_t elements) {
    return buffer ? buffer.as<T>() + elements : nullptr;
}

// Points each thread at its run's part of the summed caches.
void shareSummedCaches(PluginState& state, int count) {
    const CacheSlot* caches = state.preview.summedCaches;
    const bool sumsValid = caches[CacheDiffuse].buffer && caches[CacheDiffuse].valid &&
                           caches[CacheSpecular].buffer && caches[CacheSpecular].valid;
    for (int i = 0; i < count; ++i) {
        ThreadBlock& thread = *blockOf(state, i);
        const ptrdiff_t first =
            (thread.runRect.top - thread.runArea.top) * ptrdiff_t(thread.runWidth);
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
    state.run.threads = PIThreadsInit(int32_t(sizeof(ThreadBlock)));
    if (!state.run.threads)
        return result::outOfMemory;
    for (int i = 0; i < count; ++i)
        if (!allocateScratch(*blockOf(state, i)))
            return result::outOfMemory;
    return result::ok;
}

void endThreads(PluginState& state) {
    if (!state.run.threads)
        return;
    int count = PIThreadsGetNumThreads();
    for (int i = 0; i < count; ++i)
        for (void*& buffer : blockOf(state, i)->ownScratch)
            checkedFree(buffer);
    PIThreadsEndThreads(state.run.threads);
    state.run.threads = nullptr;
}

Band bandOfHost(const HostRecord& host) {
    return Band{host.areaRect,      host.inputRect,  host.inputData,
                host.inputRowBytes, host.outputData, host.outputRowBytes};
}

bool prepareBand(const Band& band, PluginState& state, const ParameterBlock& block,
                 const HeightMapRecord* heights) {
    const Rect16& rows = band.rows;
    if (!state.run.threads || band.area.height() <= 0 || band.area.width() <= 0 ||
        rows.height() <= 0 || rows.width() <= 0 || rows.width() > kMaxBandWidth)
        return false;
    forEachThreadsRows(rows.height(), [&](int thread, int firstRow, int runRows) {
        fillThreadBlock(*blockOf(state, thread), band, block, heights, firstRow, runRows);
    });
    return true;
}

void runBandOnThreads(const Band& band, PluginState& state, const ParameterBlock& block,
                      const HeightMapRecord* heights, ThreadWorkerProc worker) {
    if (prepareBand(band, state, block, heights))
        PIThreadsDoAll(0, state.run.threads, worker);
}

void renderUntextured(const Band& band, PluginState& state, const ParameterBlock& block) {
    if (!prepareBand(band, state, block, nullptr))
        return;
    shareSummedCaches(state, PIThreadsGetNumThreads());
    PIThreadsDoAll(0, state.run.threads, shadeUntexturedWorker);
    for (CacheSlot& slot : state.preview.summedCaches)
        if (slot.buffer)
            slot.valid = true;
}

int16_t buildHeightMapOnThreads(const uint8_t* samples, int32_t rowBytes, int width, int height,
                                PluginState& state, HeightMapRecord& map) {
    if (!state.run.threads)
        return buildHeightMap(samples, rowBytes, width, height, map) ? result::outOfMemory
                                                                     : result::ok;
    if (reserveHeightMap(width, height, map) != 0)
        return result::outOfMemory;
    forEachThreadsRows(std::max(height - 2, 0), [&](int i, int firstRow, int rows) {
        ThreadBlock& thread = *blockOf(state, i);
        thread.runInput = const_cast<uint8_t*>(samples); // read only, as for the kernels
        thread.inputRowBytes = rowBytes;
        thread.areaWidth = width;
        thread.areaHeight = height;
        thread.runRect.top = int16_t(firstRow);
        thread.runRows = int16_t(rows);
        thread.heightMapCopy = map;
    });
    PIThreadsDoAll(0, state.run.threads, buildHeightRowsWorker);
    return result::ok;
}

void renderBandWithRelief(const Band& band, PluginState& state, const ParameterBlock& block,
                          const HeightMapRecord& heights) {
    runBandOnThreads(band, state, block, &heights, shadeStripWorker);
}
