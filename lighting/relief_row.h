#pragma once
#include <cstdint>

#include "lighting/shading_scratch.h"

struct ParameterBlock;

// The cells between two height-map rows as the relief chunks take them: each
// cell's unit normal N (facetNormal's, widened to double precision) and the
// view direction mirrored about it R, one array per component, and whether
// the cell is level.
struct CellRow {
    // A row's cells, then zeros for the chunks' padding to eight facets.
    static constexpr int kPadding = 8;
    static constexpr int kCapacity = kMaxBatchPixels + 1 + kPadding;
    const int32_t* upper = nullptr; // the upper map row at the first cell; null: none yet
    int count = 0;
    double nx[kCapacity], ny[kCapacity], nz[kCapacity];
    double rx[kCapacity], ry[kCapacity], rz[kCapacity];
    bool level[kCapacity];
};

// A piece of one row of a relief render: at most 256 pixels.
struct ReliefRow {
    const int32_t* heights; // the height map at the row above, at the piece's first column
    uint32_t heightsWidth;  // elements per map row
    int pixels;
    const uint8_t* source; // 3 bytes per pixel
    uint8_t* destination;  // likewise
    // The X of the pixels' centres (pixelCentre's), the same down a column,
    // and one more value after them; the Y of theirs.
    const double* centreX;
    double centreY;
};

// Lights the pixels of a row piece: each pixel's four quarters, the cells
// around it, are lit as facets and averaged into the pixel. `kept` holds the
// cells of the last row lit down the same columns, and takes this row's.
void shadeReliefRow(const ParameterBlock& block, const ReliefRow& row, CellRow kept[2]);
