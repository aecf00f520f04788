#include "lighting/relief_strip.h"

#include <algorithm>
#include <cstddef>

#include "lighting/pixel_centre.h"
#include "lighting/relief_row.h"

// Each row is lit in pieces of at most 256 pixels. The pieces go down a
// column of the strip row after row, each row taking the cells between it
// and the row above from the one before.
void shadeStrip(const ReliefStrip& strip) {
    if (strip.rows <= 0 || strip.columns <= 0 || !strip.heights || !strip.block)
        return;
    CellRow kept[2];
    double centreX[kMaxBatchPixels + 1];
    for (int first = 0; first < strip.columns; first += kMaxBatchPixels) {
        const int pixels = std::min(kMaxBatchPixels, strip.columns - first);
        for (int p = 0; p < pixels; ++p)
            centreX[p] = pixelCentre(strip.columnOffset + first + p, strip.imageWidth, strip.scale);
        centreX[pixels] = 0.0; // the pixel passes go two at a time
        for (int y = 0; y < strip.rows; ++y) {
            ReliefRow row;
            row.heights = strip.heights + ptrdiff_t(strip.heightsWidth) * y + first;
            row.heightsWidth = strip.heightsWidth;
            row.pixels = pixels;
            row.source = strip.source + ptrdiff_t(strip.sourceRowBytes) * y + 3 * first;
            row.destination =
                strip.destination + ptrdiff_t(strip.destinationRowBytes) * y + 3 * first;
            row.centreX = centreX;
            row.centreY = pixelCentre(strip.rowOffset + y, strip.imageHeight, strip.scale);
            shadeReliefRow(*strip.block, row, kept);
        }
    }
}
