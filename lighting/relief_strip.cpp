#include "lighting/relief_strip.h"

#include <algorithm>
#include <cstddef>

#include "lighting/relief_row.h"

// Each row is lit in pieces of at most 256 pixels. The pieces go down a
// column of the strip row after row, each row taking the cells between it
// and the row above from the one before.
void shadeStrip(const ReliefStrip& strip) {
    if (strip.rows <= 0 || strip.columns <= 0 || !strip.heights || !strip.block)
        return;
    CellRow kept[2];
    for (int first = 0; first < strip.columns; first += kMaxBatchPixels) {
        for (int y = 0; y < strip.rows; ++y) {
            ReliefRow row;
            row.heights = strip.heights + ptrdiff_t(strip.heightsWidth) * y + first;
            row.heightsWidth = strip.heightsWidth;
            row.pixels = std::min(kMaxBatchPixels, strip.columns - first);
            row.source = strip.source + ptrdiff_t(strip.sourceRowBytes) * y + 3 * first;
            row.destination =
                strip.destination + ptrdiff_t(strip.destinationRowBytes) * y + 3 * first;
            row.areaColumn = strip.columnOffset + first;
            row.areaRow = strip.rowOffset + y;
            row.areaWidth = strip.imageWidth;
            row.areaHeight = strip.imageHeight;
            row.scale = strip.scale;
            shadeReliefRow(*strip.block, row, kept);
        }
    }
}
