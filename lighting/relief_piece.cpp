#include "lighting/relief_piece.h"

#include "lighting/facets.h"
#include "lighting/pixel_centre.h"

FacetBatch buildReliefPiece(const ReliefPiece& piece, const ShadingScratch& scratch) {
    const float y = pixelCentre(piece.areaRow, piece.areaHeight, piece.scale);
    uint8_t facetsPerPixel[kMaxBatchPixels];
    const int facets =
        facetsOfRow(piece.heights, piece.heightsWidth, piece.firstColumn, piece.pixels,
                    piece.keptCells, scratch.normals, scratch.weights, facetsPerPixel);
    // Every facet of a pixel has the pixel's centre and colour.
    float* position = scratch.positions;
    uint8_t* colours = scratch.colours;
    for (int p = 0; p < piece.pixels; ++p) {
        const float x = pixelCentre(piece.areaColumn + p, piece.areaWidth, piece.scale);
        const uint8_t* colour = piece.source + 3 * p;
        for (int f = 0; f < facetsPerPixel[p]; ++f) {
            *position++ = x;
            *position++ = y;
            for (int c = 0; c < 3; ++c)
                *colours++ = colour[c];
        }
    }
    FacetBatch batch;
    batch.count = facets;
    batch.pixels = piece.pixels;
    batch.positions = scratch.positions;
    batch.normals = scratch.normals;
    batch.weights = scratch.weights;
    batch.colours = scratch.colours;
    batch.diffuse = scratch.diffuse;
    batch.specular = scratch.specular;
    batch.lit = scratch.lit;
    return batch;
}

void averageFacets(const FacetBatch& batch, uint8_t* destination) {
    const uint32_t* weight = batch.weights;
    const uint8_t* lit = batch.lit;
    for (int p = 0; p < batch.pixels; ++p) {
        // Rough relief: four facets of weight 4, whose weighted sum over 16
        // is their plain sum over 4.
        if (weight[0] == 4 && weight[1] == 4 && weight[2] == 4 && weight[3] == 4 &&
            weight[4] == 0) {
            for (int c = 0; c < 3; ++c)
                destination[3 * p + c] =
                    uint8_t((uint32_t(lit[c]) + lit[3 + c] + lit[6 + c] + lit[9 + c]) >> 2);
            weight += 5;
            lit += 12;
            continue;
        }
        uint32_t sum[3] = {};
        for (; *weight != 0; ++weight, lit += 3)
            for (int c = 0; c < 3; ++c)
                sum[c] += *weight * lit[c];
        ++weight;
        for (int c = 0; c < 3; ++c)
            destination[3 * p + c] = uint8_t(sum[c] >> 4);
    }
}
