#pragma once
#include <cstdint>

#include "lighting/row_run.h"

// A run of rows to light with relief: each pixel is cut into up to four facets
// by the slope of the height map around it, every facet is lit, and the facets
// are averaged back into the pixel.
struct ReliefStrip : RowRun {
    // Heights at the strip's first row; pixel (x, y) of the strip reads the
    // 3 x 3 elements at columns x..x+2 and rows y..y+2.
    const int32_t* heights = nullptr;
    uint32_t heightsWidth = 0;
};

// Lights every row of the strip, in pieces of at most kMaxBatchPixels pixels.
void shadeStrip(const ReliefStrip& strip);
