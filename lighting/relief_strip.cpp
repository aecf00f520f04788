#include "lighting/relief_strip.h"

#include <algorithm>
#include <cstddef>

#include "lighting/facets.h"
#include "lighting/relief_piece.h"

// Each row is lit in pieces of at most 256 pixels, so that the facets of a
// piece (four at most per pixel) fit one batch. The pieces go down a column
// of the strip row after row, each row taking the cells between it and the
// row above from the one before.
void shadeStrip(const ReliefStrip& strip) {
    if (strip.rows <= 0 || strip.columns <= 0 || !strip.heights || !strip.block)
        return;
    RowCells kept[2];
    for (int first = 0; first < strip.columns; first += kMaxBatchPixels) {
        for (int y = 0; y < strip.rows; ++y) {
            const uint8_t* sourceRow = strip.source + ptrdiff_t(strip.sourceRowBytes) * y;
            uint8_t* destinationRow = strip.destination + ptrdiff_t(strip.destinationRowBytes) * y;
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
            piece.keptCells = kept;
            const FacetBatch batch = buildReliefPiece(piece, strip.scratch, FacetPlaces::PerPixel);
            shadeBatchOnce(*strip.block, batch);
            averageFacets(batch, destinationRow + 3 * first);
        }
    }
}
