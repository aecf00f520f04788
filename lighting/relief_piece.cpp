#include "lighting/relief_piece.h"

#include "lighting/facets.h"
#include "lighting/pixel_centre.h"

FacetBatch buildReliefPiece(const ReliefPiece& piece, const ShadingScratch& scratch) {
    const float y = pixelCentre(piece.areaRow, piece.areaHeight, piece.scale);
    uint32_t* weights = scratch.weights;
    int32_t gx[kMaxBatchFacets], gy[kMaxBatchFacets];
    int facet = 0;
    for (int p = 0; p < piece.pixels; ++p) {
        const int column = piece.firstColumn + p;
        const PixelFacets facets =
            facetsOfPixel(gatherNeighbourhood(piece.heights, piece.heightsWidth, column, 0));
        const float x = pixelCentre(piece.areaColumn + p, piece.areaWidth, piece.scale);
        const uint8_t* colour = piece.source + 3 * p;
        for (int f = 0; f < facets.count; ++f, ++facet) {
            *weights++ = facets.weight[f];
            gx[facet] = facets.gx[f];
            gy[facet] = facets.gy[f];
            scratch.positions[2 * facet] = x;
            scratch.positions[2 * facet + 1] = y;
            for (int c = 0; c < 3; ++c)
                scratch.colours[3 * facet + c] = colour[c];
        }
        *weights++ = 0;
    }
    facetNormals(gx, gy, facet, scratch.normals);
    FacetBatch batch;
    batch.count = facet;
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
        uint32_t sum[3] = {};
        for (; *weight != 0; ++weight, lit += 3)
            for (int c = 0; c < 3; ++c)
                sum[c] += *weight * lit[c];
        ++weight;
        for (int c = 0; c < 3; ++c)
            destination[3 * p + c] = uint8_t(sum[c] >> 4);
    }
}
