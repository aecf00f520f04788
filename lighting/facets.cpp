#include "lighting/facets.h"

#include <cstddef>

#include "lighting/det_math.h"

namespace {
constexpr int64_t kHeightPerPixelAt45Degrees = 4096;
}

Neighbourhood gatherNeighbourhood(const int32_t* heights, uint32_t width, int x, int y) {
    Neighbourhood n;
    for (int row = 0; row < 3; ++row) {
        const int32_t* line = heights + ptrdiff_t(width) * (y + row) + x;
        for (int column = 0; column < 3; ++column)
            n.h[row][column] = line[column];
    }
    return n;
}

void addFacet(int32_t a, int32_t b, int32_t c, int32_t d, PixelFacets& facets) {
    // Arithmetic shifts on signed values: the heights stay within 2^28, so the
    // sums cannot overflow.
    const int32_t gx = ((b - d) + (c - a)) >> 1; // right side minus left side
    const int32_t gy = ((b - d) - (c - a)) >> 1; // top side minus bottom side
    if (gx == 0 && gy == 0) {
        for (int i = 0; i < facets.count; ++i) {
            if (facets.gx[i] == 0 && facets.gy[i] == 0) {
                facets.weight[i] += 4;
                return;
            }
        }
    }
    facets.gx[facets.count] = gx;
    facets.gy[facets.count] = gy;
    facets.weight[facets.count] = 4;
    ++facets.count;
}

PixelFacets facetsOfPixel(const Neighbourhood& n) {
    const auto& h = n.h;
    PixelFacets facets;
    addFacet(h[0][0], h[0][1], h[1][1], h[1][0], facets);
    addFacet(h[0][1], h[0][2], h[1][2], h[1][1], facets);
    addFacet(h[1][1], h[1][2], h[2][2], h[2][1], facets);
    addFacet(h[1][0], h[1][1], h[2][1], h[2][0], facets);
    return facets;
}

void facetNormal(int32_t gx, int32_t gy, float normal[3]) {
    if (gx == 0 && gy == 0) {
        normal[0] = 0.0f;
        normal[1] = 0.0f;
        normal[2] = 1.0f;
        return;
    }
    // gx^2 + gy^2 reaches 10^10 and more: formed in 64 bits, exact.
    const int64_t squares = int64_t(gx) * gx + int64_t(gy) * gy +
                            kHeightPerPixelAt45Degrees * kHeightPerPixelAt45Degrees;
    const double k = 1.0 / detSqrt(double(squares));
    normal[0] = float(-(gx * k));
    normal[1] = float(gy * k);
    normal[2] = float(double(kHeightPerPixelAt45Degrees) * k);
}
