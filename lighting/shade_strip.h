#pragma once
#include <cstdint>

#include "lighting/shading_scratch.h"

struct ParameterBlock;

// A run of rows to light with relief: each pixel is cut into up to four facets
// by the slope of the height map around it, every facet is lit, and the facets
// are averaged back into the pixel.
struct ReliefStrip {
    const ParameterBlock* block;
    int imageWidth, imageHeight; // W and H of the filtered area (pixel centres refer to it)
    int rows, columns;           // size of this strip
    int rowOffset, columnOffset; // the strip's top-left pixel within the area
    const uint8_t* source;       // 3 interleaved bytes per pixel
    int32_t sourceRowBytes;
    uint8_t* destination;
    int32_t destinationRowBytes;
    // Heights at the strip's first row; pixel (x, y) of the strip reads the
    // 3 x 3 elements at columns x..x+2 and rows y..y+2.
    const int32_t* heights;
    uint32_t heightsWidth;
    float scale; // render units per pixel: block image width / imageWidth
    ShadingScratch scratch;
};

// Lights every row of the strip, in pieces of at most kMaxBatchPixels pixels.
void shadeStrip(const ReliefStrip& strip);
