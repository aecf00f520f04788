#include "lighting/shading_scratch.h"

ShadingScratch scratchFromBuffers(void* const buffers[kScratchBufferCount]) {
    return ShadingScratch{
        static_cast<float*>(buffers[ScratchPositions]),
        static_cast<float*>(buffers[ScratchNormals]),
        static_cast<uint32_t*>(buffers[ScratchWeights]),
        static_cast<uint8_t*>(buffers[ScratchColours]),
        static_cast<uint8_t*>(buffers[ScratchLit]),
        static_cast<int32_t*>(buffers[ScratchDiffuse]),
        static_cast<int32_t*>(buffers[ScratchSpecular]),
        buffers[ScratchWork],
    };
}

ShadingScratch scratchFromArea(uint8_t* area) {
    void* buffers[kScratchBufferCount];
    size_t offset = 0;
    for (int i = 0; i < kScratchBufferCount; ++i) {
        buffers[i] = area + offset;
        offset += kScratchBufferBytes[i];
    }
    return scratchFromBuffers(buffers);
}
