#include "lighting/untextured_rows.h"

#include <algorithm>
#include <cstddef>

#include "lighting/pixel_centre.h"
#include "lighting/shade_batch.h"

namespace {
constexpr int kSumWords = 4;

void fillRowPositions(const UntexturedRows& rows, int row, float* positions) {
    const float y = pixelCentre(rows.rowOffset + row, rows.imageHeight, rows.scale);
    for (int i = 0; i < rows.columns; ++i) {
        positions[2 * i] = pixelCentre(rows.columnOffset + i, rows.imageWidth, rows.scale);
        positions[2 * i + 1] = y;
    }
}

// The row's part of a cache (rows follow each other, `columns` samples each),
// or the scratch array when the cache is absent.
template <typename T> T* rowOf(T* cache, T* scratch, ptrdiff_t firstSample, int wordsPerSample) {
    return cache ? cache + firstSample * wordsPerSample : scratch;
}

// Without caches, rows that follow each other in memory, both in the source
// and in the destination, go to one batch up to its size: the light passes
// then run over longer arrays, and their per-batch work is done less often.
int rowsPerBatch(const UntexturedRows& rows) {
    const bool cached = rows.positionsCache || rows.diffuseCache || rows.specularCache;
    const int32_t packed = 3 * rows.columns;
    if (cached || rows.sourceRowBytes != packed || rows.destinationRowBytes != packed)
        return 1;
    return std::clamp(kMaxBatchFacets / rows.columns, 1, rows.rows);
}
} // namespace

void shadeUntexturedRows(const UntexturedRows& rows) {
    if (rows.rows <= 0 || rows.columns <= 0 || rows.columns > kMaxBatchFacets || !rows.block)
        return;
    const bool keepSums = rows.sumsValid && rows.diffuseCache && rows.specularCache;
    const bool positionsKnown = rows.positionsCache && rows.positionsValid;
    const int batchRows = rowsPerBatch(rows);
    for (int row = 0; row < rows.rows; row += batchRows) {
        const int count = std::min(batchRows, rows.rows - row);
        const ptrdiff_t firstSample = ptrdiff_t(row) * rows.columns;
        float* positions = rowOf(rows.positionsCache, rows.scratch.positions, firstSample, 2);
        for (int r = 0; !positionsKnown && r < count; ++r)
            fillRowPositions(rows, row + r, positions + 2 * ptrdiff_t(r) * rows.columns);
        // Every sample is one pixel: the source rows are the colours and the
        // destination rows take the lit bytes directly.
        FacetBatch batch;
        batch.count = count * rows.columns;
        batch.positions = positions;
        batch.colours = rows.source + ptrdiff_t(rows.sourceRowBytes) * row;
        batch.diffuse = rowOf(rows.diffuseCache, rows.scratch.diffuse, firstSample, kSumWords);
        batch.specular = rowOf(rows.specularCache, rows.scratch.specular, firstSample, kSumWords);
        batch.lit = rows.destination + ptrdiff_t(rows.destinationRowBytes) * row;
        batch.work = rows.scratch.work;
        shadeBatch(*rows.block, batch, keepSums);
    }
}
