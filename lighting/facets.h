#pragma once
#include <cstdint>
#include <utility>

#include "lighting/shading_scratch.h"

// The relief heights around one pixel, row by row: h[0] the row above, h[1]
// the pixel's own row (the pixel at h[1][1]), h[2] the row below.
struct Neighbourhood {
    int32_t h[3][3];
};

// Pixel (x, y) reads the elements at columns x..x+2 and rows y..y+2 of a
// height map `width` elements wide.
Neighbourhood gatherNeighbourhood(const int32_t* heights, uint32_t width, int x, int y);

// The facets of one pixel: one to four slopes, with weights that are multiples
// of 4 summing to 16 once all four quarters are added.
struct PixelFacets {
    int count = 0;
    int32_t gx[4];
    int32_t gy[4];
    uint32_t weight[4];
};

// Adds the facet of one quarter of a pixel from its corner heights a (top-left),
// b (top-right), c (bottom-right), d (bottom-left). A level quarter joins an
// earlier level facet of the pixel; sloped facets are never merged.
void addFacet(int32_t a, int32_t b, int32_t c, int32_t d, PixelFacets& facets);

// The four quarters of the pixel, in the order top-left, top-right,
// bottom-right, bottom-left.
PixelFacets facetsOfPixel(const Neighbourhood& n);

// The slopes of addFacet for the cells between two map rows: cell j has the
// corners a = upper[j], b = upper[j + 1], c = lower[j + 1], d = lower[j].
void cellSlopes(const int32_t* upper, const int32_t* lower, int cells, int32_t* gx, int32_t* gy);

// The slopes and normals of the cells between two map rows: a pixel's
// quarters are the two cells at its column and the next in the rows above and
// below it, so that a row's bottom cells are the next row's top cells.
struct RowCells {
    const int32_t* upper = nullptr; // the upper map row at the first cell; null: none yet
    int count = 0;
    int32_t gx[kMaxBatchPixels + 1], gy[kMaxBatchPixels + 1];
    float normals[3 * (kMaxBatchPixels + 1)];
};

// Of the two rows of cells that a run of pixel rows down the same columns
// keeps from one row to the next (each with its `upper` and `count`): the
// cells between the map row above the pixels and their own, kept or found,
// and those between their own and the one below, found.
// `find(upper, lower, count, cells)` finds one row of `count` cells.
template <typename Cells, typename Find>
std::pair<const Cells*, const Cells*> cellsAroundRow(const int32_t* above, uint32_t width,
                                                     int count, Cells kept[2], Find find) {
    const int32_t* level = above + width;
    const auto holds = [&](const Cells& cells) {
        return cells.upper == above && cells.count == count;
    };
    const int top = holds(kept[1]) ? 1 : 0;
    if (!holds(kept[top]))
        find(above, level, count, kept[top]);
    find(level, level + width, count, kept[1 - top]);
    return {&kept[top], &kept[1 - top]};
}

// The facets of `pixels` consecutive pixels of a map row, the first at
// column x: their normals (3 floats each, those of facetNormal), the weights
// list (each pixel's weights, then 0) and each pixel's facet count, as
// facetsOfPixel gives them; at most 256 pixels (one batch). Returns the
// number of facets. `kept`, when not null, is two RowCells that a run of rows
// down the same columns shares, from one row to the next, so that each row
// finds only its bottom cells; null, the row finds both.
int facetsOfRow(const int32_t* heights, uint32_t width, int x, int pixels, RowCells* kept,
                float* normals, uint32_t* weights, uint8_t* facetsPerPixel);

constexpr int64_t kHeightPerPixelAt45Degrees = 4096;

// Below this size, gx^2 + gy^2 + 4096^2 is exact in double precision, and so
// the same value as the 64-bit integer sum converted.
constexpr double kExactSlope = 1 << 25;

// The unit normal of slope (gx, gy), a height step of 4096 per pixel being 45°.
void facetNormal(int32_t gx, int32_t gy, float normal[3]);

// The normals of `count` slopes, 3 floats each, bit for bit those of
// facetNormal.
void facetNormals(const int32_t* gx, const int32_t* gy, int count, float* normals);

// The unit normals of `count` slopes, those of facetNormal widened to double
// precision, one array per component, and the view direction mirrored about
// each, R = 2 N.z N - (0, 0, 1) as addFacetShares has it.
struct NormalsAndMirrors {
    double *nx, *ny, *nz, *rx, *ry, *rz;
};
void normalsAndMirrors(const int32_t* gx, const int32_t* gy, int count,
                       const NormalsAndMirrors& out);

// normalsAndMirrors eight slopes to an AVX-512 vector, for the first multiple
// of eight of the `count` slopes; returns how many it did. Only where the
// processor has AVX-512 (facets_avx512.cpp).
int normalsAndMirrorsAvx512(const int32_t* gx, const int32_t* gy, int count,
                            const NormalsAndMirrors& out);

// N widened and R, as normalsAndMirrors gives them, of the first multiple of
// eight of `count` normals given as floats x0 y0 z0 x1 ..., eight to an
// AVX-512 vector; returns how many it did. Only where the processor has
// AVX-512 (facets_avx512.cpp).
int widenNormalsAvx512(const float* normals, int count, const NormalsAndMirrors& out);

// facetNormals eight slopes to an AVX-512 vector, for the first multiple of
// eight of the `count` slopes; returns how many it did. Only where the
// processor has AVX-512 (facets_avx512.cpp).
int facetNormalsAvx512(const int32_t* gx, const int32_t* gy, int count, float* normals);
