#include "lighting/shade_strip.h"

#include <algorithm>
#include <cstddef>

#include "lighting/relief_piece.h"

// Each row is lit in pieces of at most 256 pixels, so that the facets of a
// piece (four at most per pixel) fit one batch.
void shadeStrip(const ReliefStrip& strip) {
    if (strip.rows <= 0 || strip.columns <= 0 || !strip.heights || !strip.block)
        return;
    for (int y = 0; y < strip.rows; ++y) {
        const uint8_t* sourceRow = strip.source + ptrdiff_t(strip.sourceRowBytes) * y;
        uint8_t* destinationRow = strip.destination + ptrdiff_t(strip.destinationRowBytes) * y;
        for (int first = 0; first < strip.columns; first += kMaxBatchPixels) {
            ReliefPiece piece;
            piece.heights = strip.heights + ptrdiff_t(strip.heightsWidth) * y;
            piece.heightsWidth = strip.heightsWidth;
            piece.firstColumn = first;
            piece.pixels = std::min(kMaxBatchPixels, strip.columns - first);
            piece.source = sourceRow + 3 * first;
            piece.areaColumn = strip.columnOffset + first;
            piece.areaRow = strip.rowOffset + y;
            piece.areaWidth = strip.imageWidth;
            piece.areaHeight = strip.imageHeight;
            piece.scale = strip.scale;
            const FacetBatch batch = buildReliefPiece(piece, strip.scratch);
            shadeBatch(*strip.block, batch, false);
            averageFacets(batch, destinationRow + 3 * first);
        }
    }
}
