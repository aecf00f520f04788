#include "lighting/relief_row.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "lighting/facets.h"
#include "lighting/parameter_block.h"
#include "lighting/relief_chunk.h"

// A row piece is lit in chunks of 64 pixels. A pixel's four quarters are the
// cells at its column and the next, between the map row above it and its own
// (top-left, top-right) and between its own and the one below (bottom-right,
// bottom-left). A chunk lights its facets as four runs, quarter by quarter:
// the top-left quarters of its pixels in pixel order, then the top-right
// ones, and so on, so that each run's normals are a stretch of one row of
// cells, read where they are, and the four lit values of pixel j lie one run
// apart.
//
// Every quarter is a facet of weight 4 of its own. Where the facet builder
// joins a pixel's level quarters into one facet of their summed weight, the
// quarters here are lit apart: they have the same normal (0, 0, 1) and the
// same pixel, and so the same lit value, and the weighted average of the
// four, (4 v0 + 4 v1 + 4 v2 + 4 v3) >> 4, is (v0 + v1 + v2 + v3) >> 2 either
// way. A chunk whose quarters are all level lights one facet per pixel.

namespace {
constexpr int kChunkPixels = kChunkFacets / kMaxRuns;
// A run reads up to kFacetsPerStep - 1 cells past a row's last one.
static_assert(CellRow::kPadding >= kFacetsPerStep - 1);

int paddedToStep(int facets) {
    return (facets + kFacetsPerStep - 1) / kFacetsPerStep * kFacetsPerStep;
}

void findCellRow(const int32_t* upper, const int32_t* lower, int count, CellRow& cells) {
    int32_t gx[CellRow::kCapacity], gy[CellRow::kCapacity];
    cellSlopes(upper, lower, count, gx, gy);
    normalsAndMirrors(
        gx, gy, count,
        NormalsAndMirrors{cells.nx, cells.ny, cells.nz, cells.rx, cells.ry, cells.rz});
    for (int j = 0; j < count; ++j)
        cells.level[j] = (gx[j] | gy[j]) == 0;
    for (double* component : {cells.nx, cells.ny, cells.nz, cells.rx, cells.ry, cells.rz})
        std::fill_n(component + count, CellRow::kPadding, 0.0);
    cells.upper = upper;
    cells.count = count;
}

// Pixels of 3 bytes as words 0x??BBGGRR, and back as words 0x00BBGGRR: a
// word at a time, each pixel's word taking or giving the next pixel's first
// byte too, but for the last pixel's, which ends the chunk's pixels.
static_assert(std::endian::native == std::endian::little);

void loadPixels(const uint8_t* source, int pixels, uint32_t* words) {
    for (int j = 0; j + 1 < pixels; ++j)
        std::memcpy(&words[j], source + 3 * j, 4);
    words[pixels - 1] = 0;
    std::memcpy(&words[pixels - 1], source + 3 * (pixels - 1), 3);
}

void storePixels(const uint32_t* words, int pixels, uint8_t* destination) {
    for (int j = 0; j + 1 < pixels; ++j)
        std::memcpy(destination + 3 * j, &words[j], 4);
    std::memcpy(destination + 3 * (pixels - 1), &words[pixels - 1], 3);
}

// The pixels of a chunk: their centres (the one after the last included, as
// the pixel passes go two at a time) and colours.
struct ChunkPixels {
    int count;
    const double* x;
    const double* y;
    const uint8_t* colours;
};

// The chunk's pixels at the places [0, runLength) of its runs: pixel j at
// place j, the places after the last pixel's outside every pixel.
void layOutPixels(const ChunkPixels& pixels, int runLength, FacetChunk& c) {
    uint32_t words[kChunkPixels];
    loadPixels(pixels.colours, pixels.count, words);
    for (int j = 0; j < pixels.count; ++j) {
        c.pixelOf[j] = j;
        c.x[j] = pixels.x[j];
        c.y[j] = pixels.y[j];
        for (int ch = 0; ch < 3; ++ch)
            c.colour[ch][j] = int32_t(words[j] >> 8 * ch & 0xFF);
    }
    for (int i = pixels.count; i < runLength; ++i) {
        c.pixelOf[i] = kOutside;
        c.x[i] = c.y[i] = 0.0;
        for (int ch = 0; ch < 3; ++ch)
            c.colour[ch][i] = 0;
    }
}

// The normals of the cells from `from` on. The facets past the chunk's
// pixels take the cells that follow, or the zeros after the row's last cell:
// they lie outside every pixel, and their lit values are not read.
FacetRun runOfCells(const CellRow& cells, int from) {
    return FacetRun{cells.nx + from, cells.ny + from, cells.nz + from,
                    cells.rx + from, cells.ry + from, cells.rz + from};
}

// One level facet per pixel: N = R = (0, 0, 1).
FacetRun runOfLevelFacets() {
    static constexpr std::array<double, kChunkPixels> kZeros{};
    static const std::array<double, kChunkPixels> kOnes = [] {
        std::array<double, kChunkPixels> ones;
        ones.fill(1.0);
        return ones;
    }();
    return FacetRun{kZeros.data(), kZeros.data(), kOnes.data(),
                    kZeros.data(), kZeros.data(), kOnes.data()};
}

bool allLevel(const CellRow& cells, int from, int count) {
    return std::all_of(cells.level + from, cells.level + from + count, [](bool b) { return b; });
}

// The average of each pixel's four quarters, one run apart, into 3 bytes per
// pixel.
void averageQuarters(const FacetChunk& c, int pixels, uint8_t* destination) {
    const int stride = c.runLength;
    const auto average = [&](int ch, int j) {
        const int32_t* value = c.litValues[ch] + j;
        return uint32_t(value[0] + value[stride] + value[2 * stride] + value[3 * stride]) >> 2;
    };
    uint32_t words[kChunkPixels];
    for (int j = 0; j < pixels; ++j)
        words[j] = average(0, j) | average(1, j) << 8 | average(2, j) << 16;
    storePixels(words, pixels, destination);
}

// The value of each pixel's one level facet, into 3 bytes per pixel.
void copyLitValues(const FacetChunk& c, int pixels, uint8_t* destination) {
    uint32_t words[kChunkPixels];
    for (int j = 0; j < pixels; ++j)
        words[j] = uint32_t(c.litValues[0][j] | c.litValues[1][j] << 8 | c.litValues[2][j] << 16);
    storePixels(words, pixels, destination);
}

// Lays out, lights and averages the pixels [first, first + count) of a row.
void shadeChunkOfRow(const ParameterBlock& block, const CellRow& top, const CellRow& bottom,
                     const ChunkPixels& pixels, int first, uint8_t* destination, FacetChunk& c,
                     PixelLights& lights) {
    const int count = pixels.count;
    c.runLength = paddedToStep(count);
    layOutPixels(pixels, c.runLength, c);
    c.pixels = count;
    c.pixelX = pixels.x;
    c.pixelY = pixels.y;
    if (allLevel(top, first, count + 1) && allLevel(bottom, first, count + 1)) {
        c.runs = 1;
        c.run[0] = runOfLevelFacets();
    } else {
        // The quarters: top-left, top-right, bottom-right, bottom-left.
        c.runs = 4;
        c.run[0] = runOfCells(top, first);
        c.run[1] = runOfCells(top, first + 1);
        c.run[2] = runOfCells(bottom, first + 1);
        c.run[3] = runOfCells(bottom, first);
    }
    c.count = c.padded = c.runs * c.runLength;
    shadeChunk(block, c, lights);
    if (c.runs == 1)
        copyLitValues(c, count, destination);
    else
        averageQuarters(c, count, destination);
}
} // namespace

void shadeReliefRow(const ParameterBlock& block, const ReliefRow& row, CellRow kept[2]) {
    const int pixels = std::min(row.pixels, kMaxBatchPixels);
    if (pixels <= 0)
        return;
    const auto [top, bottom] =
        cellsAroundRow(row.heights, row.heightsWidth, pixels + 1, kept, findCellRow);
    double y[kMaxBatchPixels + 1];
    std::fill_n(y, pixels + 1, row.centreY); // the pixel passes go two at a time
    FacetChunk chunk;
    PixelLights lights;
    for (int first = 0; first < pixels; first += kChunkPixels) {
        const ChunkPixels chunkPixels{std::min(kChunkPixels, pixels - first), row.centreX + first,
                                      y + first, row.source + 3 * first};
        shadeChunkOfRow(block, *top, *bottom, chunkPixels, first, row.destination + 3 * first,
                        chunk, lights);
    }
}
