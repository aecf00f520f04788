#pragma once
#include <cstdint>

#include "lighting/shading_scratch.h"

struct ParameterBlock;

// A run of rows of the filtered area to light: where its pixels come from and
// where they go, and where the run lies within the area (pixel centres, and so
// the lights' geometry, refer to the whole area).
struct RowRun {
    const ParameterBlock* block;
    int imageWidth, imageHeight; // W and H of the filtered area
    int rows, columns;           // size of this run
    int rowOffset, columnOffset; // the run's top-left pixel within the area
    const uint8_t* source;       // 3 interleaved bytes per pixel
    int32_t sourceRowBytes;
    uint8_t* destination;
    int32_t destinationRowBytes;
    float scale; // render units per pixel: block image width / imageWidth
    ShadingScratch scratch;
};

// The whole of a width x height picture as one run, source and destination
// rows `rowBytes` apart.
RowRun wholePictureRun(const ParameterBlock& block, int width, int height, const uint8_t* source,
                       uint8_t* destination, int32_t rowBytes, const ShadingScratch& scratch);
