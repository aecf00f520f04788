#pragma once
#include <cstdint>

#include "lighting/shade_batch.h"
#include "lighting/shading_scratch.h"

struct RowCells;

// A piece of one row of a relief render: at most 256 pixels, whose facets fill
// one batch.
struct ReliefPiece {
    const int32_t* heights; // the height map at the row above the piece's row
    uint32_t heightsWidth;  // elements per map row
    int firstColumn;        // pixel x of the piece reads map columns x..x+2
    int pixels;
    const uint8_t* source; // the piece's first source pixel, 3 bytes each
    // Where the piece lies in the filtered area, for the pixel centres.
    int areaColumn, areaRow;
    int areaWidth, areaHeight;
    float scale; // render units per pixel
    // Null, or the cells kept from the row above the piece (facetsOfRow).
    RowCells* keptCells = nullptr;
};

// What the batch of a piece tells of its facets' places: each facet's pixel
// and each pixel's centre (the final render), or also each facet's position
// (the preview, which caches the positions and lights from them).
enum class FacetPlaces { PerPixel, PerFacet };

// Cuts every pixel of the piece into its facets and fills the scratch arrays:
// normals, weights list, colours, each facet's pixel and each pixel's centre
// (in the work array, which relief batches do not otherwise use), and with
// FacetPlaces::PerFacet the positions. The batch views them, with the sums in
// the scratch and the lit bytes in its lit array.
FacetBatch buildReliefPiece(const ReliefPiece& piece, const ShadingScratch& scratch,
                            FacetPlaces places);

// Averages each pixel's lit facets by their weights into 3 bytes per pixel.
void averageFacets(const FacetBatch& batch, uint8_t* destination);
