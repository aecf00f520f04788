#pragma once
#include <cstdint>

#include "lighting/row_run.h"

// A run of rows to light without relief: one sample per pixel with the normal
// (0, 0, 1). The optional caches hold, for every pixel of the run in row order,
// its position (2 x f32) and its summed diffuse and specular light (16-byte
// slots), so that a redraw can skip the work that did not change.
struct UntexturedRows : RowRun {
    float* positionsCache = nullptr; // null when absent
    bool positionsValid = false;
    int32_t* diffuseCache = nullptr; // null when absent
    int32_t* specularCache = nullptr;
    bool sumsValid = false; // both sum caches present and valid: no light is evaluated
};

// Lights every row; rows wider than kMaxBatchFacets samples are left alone.
void shadeUntexturedRows(const UntexturedRows& rows);
