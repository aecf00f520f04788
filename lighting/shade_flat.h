#pragma once
#include <cstdint>

#include "lighting/shading_scratch.h"

struct ParameterBlock;

// A run of rows to light without relief: one sample per pixel with the normal
// (0, 0, 1). The optional caches hold, for every pixel of the run in row order,
// its position (2 x f32) and its summed diffuse and specular light (16-byte
// slots), so that a redraw can skip the work that did not change.
struct FlatRows {
    const ParameterBlock* block;
    int imageWidth, imageHeight;
    int rows, columns;
    int rowOffset, columnOffset;
    const uint8_t* source;
    int32_t sourceRowBytes;
    uint8_t* destination;
    int32_t destinationRowBytes;
    float scale;
    float* positionsCache; // null when absent
    bool positionsValid;
    int32_t* diffuseCache; // null when absent
    int32_t* specularCache;
    bool sumsValid; // both sum caches present and valid: no light is evaluated
    ShadingScratch scratch;
};

// Lights every row; rows wider than kMaxBatchFacets samples are left alone.
void shadeFlatRows(const FlatRows& rows);
