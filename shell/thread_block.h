#pragma once
#include <cstddef>
#include <cstdint>

#include "lighting/height_map.h"
#include "lighting/parameter_block.h"
#include "lighting/shading_scratch.h"
#include "protocol/host_record.h"
#include "shell/worker_threads.h"

// The host record's size in the 32-bit module, whose room the block keeps.
constexpr size_t kHostRecordBytes = 452;

// The private block of one worker thread: which rows it lights and with what.
// 808 bytes in the 32-bit module, as the host's thread service allocates it.
struct ThreadBlock {
    uint8_t reserved[16];
    int32_t areaHeight;
    int32_t areaWidth;
    int16_t runRows;
    int16_t runWidth;
    float widthScale; // block image width / areaWidth
    uint8_t* runInput;
    uint8_t* runOutput;
    void* scratch[kScratchBufferCount];
    const ParameterBlock* block;
    // The band's area, this run's rows of it, the band's strides, and the
    // rest of the room a host record once took here.
    Rect16 runArea;
    Rect16 runRect;
    int32_t inputRowBytes;
    int32_t outputRowBytes;
    uint8_t runRoom[kHostRecordBytes - 2 * sizeof(Rect16) - 2 * sizeof(int32_t)];
    HeightMapRecord heightMapCopy; // map advanced to the run's first row
    uint8_t heightMapUnused[100];
    void* ownScratch[kScratchBufferCount];
    union {
        // Per prepared light: its two cache pointers advanced to this run. The
        // lights' own caches are always empty, so these stay null.
        void* lightCaches[ParameterBlock::kMaxLights][2];
        // The untextured render's summed caches, advanced to this run.
        struct {
            float* positions;
            int32_t* diffuse;
            int32_t* specular;
            uint32_t positionsValid;
            uint32_t sumsValid;
        } summed;
    };
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(kHostRecordBytes == sizeof(HostRecord));
static_assert(sizeof(HeightMapRecord) == 20);
static_assert(offsetof(ThreadBlock, areaHeight) == 16);
static_assert(offsetof(ThreadBlock, widthScale) == 28);
static_assert(offsetof(ThreadBlock, runInput) == 32);
static_assert(offsetof(ThreadBlock, scratch) == 40);
static_assert(offsetof(ThreadBlock, block) == 72);
static_assert(offsetof(ThreadBlock, runArea) == 76);
static_assert(offsetof(ThreadBlock, heightMapCopy) == 528);
static_assert(offsetof(ThreadBlock, ownScratch) == 648);
static_assert(offsetof(ThreadBlock, lightCaches) == 680);
static_assert(sizeof(ThreadBlock) == 808);
#endif
