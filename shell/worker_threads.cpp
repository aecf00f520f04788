#include "shell/worker_threads.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "lighting/parameter_block.h"
#include "lighting/shade_flat.h"
#include "lighting/shade_strip.h"
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

// The whole band goes into every thread's block; the threads then take its
// rows a piece at a time.
void fillThreadBlock(ThreadBlock& thread, const Band& band, const ParameterBlock& block,
                     const HeightMapRecord* heights, int32_t* nextRow, int rowsPerPiece) {
    thread.areaHeight = band.area.height();
    thread.areaWidth = band.area.width();
    thread.runRows = band.rows.height();
    thread.runWidth = band.rows.width();
    thread.widthScale = block.imageWidth / float(thread.areaWidth);
    // The kernels only read the input; the block's field is shared with the output's type.
    thread.runInput = const_cast<uint8_t*>(band.input);
    thread.runOutput = band.output;
    std::memcpy(thread.scratch, thread.ownScratch, sizeof thread.scratch);
    thread.block = &block;
    thread.runArea = band.area;
    thread.runRect = band.rows;
    thread.inputRowBytes = band.inputRowBytes;
    thread.outputRowBytes = band.outputRowBytes;
    thread.nextRow = nextRow;
    thread.rowsPerPiece = int16_t(rowsPerPiece);
    thread.heightMapCopy = heights ? *heights : HeightMapRecord{};
    std::memset(thread.lightCaches, 0, sizeof thread.lightCaches); // renderFlat sets its caches
}

template <typename T> void advance(T*& pointer, ptrdiff_t elements) {
    if (pointer)
        pointer += elements;
}

// The rows [first, first + rows) of the thread's band.
ThreadBlock pieceOfBand(const ThreadBlock& band, int first, int rows) {
    ThreadBlock piece = band;
    piece.runRows = int16_t(rows);
    piece.runRect.top = int16_t(band.runRect.top + first);
    piece.runRect.bottom = int16_t(piece.runRect.top + rows);
    advance(piece.runInput, ptrdiff_t(band.inputRowBytes) * first);
    advance(piece.runOutput, ptrdiff_t(band.outputRowBytes) * first);
    advance(piece.heightMapCopy.map, ptrdiff_t(band.heightMapCopy.width) * first);
    const ptrdiff_t pixels = ptrdiff_t(band.runWidth) * first;
    advance(piece.summed.positions, pixels * 2);
    advance(piece.summed.diffuse, pixels * 4);
    advance(piece.summed.specular, pixels * 4);
    return piece;
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

void shadeStripWorker(void* threadBlock) {
    ThreadBlock piece;
    while (takePiece(*static_cast<ThreadBlock*>(threadBlock), piece))
        shadeStrip(
            ReliefStrip{rowRunOf(piece), piece.heightMapCopy.map, piece.heightMapCopy.width});
}

void shadeFlatWorker(void* threadBlock) {
    ThreadBlock piece;
    while (takePiece(*static_cast<ThreadBlock*>(threadBlock), piece)) {
        const auto& summed = piece.summed;
        shadeFlatRows(FlatRows{rowRunOf(piece), summed.positions, summed.positionsValid != 0,
                               summed.diffuse, summed.specular, summed.sumsValid != 0});
    }
}

template <typename T> T* advancedBy(const CheckedBuffer& buffer, ptrdiff_t elements) {
    return buffer ? buffer.as<T>() + elements : nullptr;
}

// Points each thread at its band's part of the summed caches.
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
    // Pieces of a few rows: enough of them that a thread whose rows light
    // faster takes more, few enough that each keeps the rows it shares down
    // its columns (a relief piece works out the cells above its first row).
    constexpr int kLargestPiece = 8;
    const int count = PIThreadsGetNumThreads();
    const int rowsPerPiece = std::clamp(rows.height() / (2 * count), 1, kLargestPiece);
    ThreadBlock& first = *blockOf(state, 0);
    first.nextRowOfBand = 0;
    for (int i = 0; i < count; ++i)
        fillThreadBlock(*blockOf(state, i), band, block, heights, &first.nextRowOfBand,
                        rowsPerPiece);
    return true;
}

bool takePiece(const ThreadBlock& band, ThreadBlock& piece) {
    const int first = std::atomic_ref<int32_t>(*band.nextRow).fetch_add(band.rowsPerPiece);
    if (first >= band.runRows)
        return false;
    piece = pieceOfBand(band, first, std::min<int>(band.rowsPerPiece, band.runRows - first));
    return true;
}

void runBandOnThreads(const Band& band, PluginState& state, const ParameterBlock& block,
                      const HeightMapRecord* heights, ThreadWorkerProc worker) {
    if (prepareBand(band, state, block, heights))
        PIThreadsDoAll(0, state.run.threads, worker);
}

void renderFlat(const Band& band, PluginState& state, const ParameterBlock& block) {
    if (!prepareBand(band, state, block, nullptr))
        return;
    shareSummedCaches(state, PIThreadsGetNumThreads());
    PIThreadsDoAll(0, state.run.threads, shadeFlatWorker);
    for (CacheSlot& slot : state.preview.summedCaches)
        if (slot.buffer)
            slot.valid = 1;
}

void renderBandWithRelief(const Band& band, PluginState& state, const ParameterBlock& block,
                          const HeightMapRecord& heights) {
    runBandOnThreads(band, state, block, &heights, shadeStripWorker);
}
