#pragma once
#include <cstddef>
#include <cstdint>

// The eight working arrays of one shading batch (at most 1024 facets, 256 pixels).
// Each worker thread owns one set; the single-threaded preview uses the state's.
constexpr int kMaxBatchFacets = 1024;
constexpr int kMaxBatchPixels = 256;
constexpr int kScratchBufferCount = 8;

enum ScratchBuffer {
    ScratchPositions, // 2 x f32 per facet
    ScratchNormals,   // 3 x f32 per facet
    ScratchWeights,   // per pixel: its facet weights, then 0
    ScratchColours,   // 3 bytes per facet
    ScratchLit,       // 3 bytes per facet after clamping
    ScratchDiffuse,   // 3 x i32 in a 16-byte slot per facet
    ScratchSpecular,  // likewise
    ScratchWork,      // 12 bytes per facet: the untextured light passes' room
};

constexpr size_t kScratchBufferBytes[kScratchBufferCount] = {8192, 12288, 5120,  3072,
                                                             3072, 16384, 16384, 12288};
constexpr size_t kScratchAreaBytes = 76800;

struct ShadingScratch {
    float* positions;
    float* normals;
    uint32_t* weights;
    uint8_t* colours;
    uint8_t* lit;
    int32_t* diffuse;
    int32_t* specular;
    void* work;
};

// Views eight raw buffers (in ScratchBuffer order) as a typed scratch set.
ShadingScratch scratchFromBuffers(void* const buffers[kScratchBufferCount]);
// Views one contiguous area of kScratchAreaBytes as a scratch set.
ShadingScratch scratchFromArea(uint8_t* area);
