#include "lighting/det_math.h"
#include "lighting/light_kernels.h"

namespace {
// The light as one pixel sees it: L from the surface towards the light (not
// normalised), e = 1 / |L|, and the spot falloff f.
struct PixelLight {
    double x, y, z;
    double e;
    double falloff;
};

double reciprocalLength(double x, double y, double z) {
    return 1.0 / detSqrt(x * x + y * y + z * z);
}

// Diffuse and specular light on one facet with normal N.
template <bool kSpot>
void lightFacet(const LightTerms& t, const PixelLight& l, const float* normal, int32_t* diffuse,
                int32_t* specular) {
    const double nx = normal[0], ny = normal[1], nz = normal[2];
    const double n = nx * l.x + ny * l.y + nz * l.z;
    if (!(n > 0))
        return; // facing away: neither diffuse nor specular
    const double nSingle = float(n);
    double factor[kSumWords];
    for (int c = 0; c < kSumWords; ++c)
        factor[c] = t.strength[c] * nSingle;
    if constexpr (kSpot)
        addShares(factor, l.e, l.falloff, diffuse);
    else
        addShares(factor, l.e, diffuse);
    // R is the view direction (0, 0, 1) mirrored about N.
    const double rx = 2.0 * nz * nx, ry = 2.0 * nz * ny, rz = 2.0 * nz * nz - 1.0;
    const double r = rx * l.x + ry * l.y + rz * l.z;
    if (!(r > 0))
        return;
    const double r2 = r * r;
    for (int c = 0; c < kSumWords; ++c)
        factor[c] = t.strength[c] * r2;
    if constexpr (kSpot)
        addShares(factor, l.e, l.falloff, specular);
    else
        addShares(factor, l.e, specular);
}

template <bool kSpot>
void lightFacets(const LightTerms& t, const PixelLight& l, const FacetBatch& b, int first,
                 int end) {
    for (int i = first; i < end; ++i)
        lightFacet<kSpot>(t, l, b.normals + 3 * i, b.diffuse + kSumWords * i,
                          b.specular + kSumWords * i);
}

// Walks the pixels of the weights list: `lightPixel` gets the range of the
// pixel's facets.
template <typename LightPixel> void forEachPixel(const FacetBatch& b, LightPixel lightPixel) {
    const uint32_t* weight = b.weights;
    int facet = 0;
    for (int p = 0; p < b.pixels; ++p) {
        const int first = facet;
        for (; *weight != 0; ++weight)
            ++facet;
        ++weight;
        lightPixel(first, facet);
    }
}

void accumulateOmni(const LightTerms& t, const FacetBatch& b) {
    forEachPixel(b, [&](int first, int end) {
        PixelLight l{t.point[0] - b.positions[2 * first], t.point[1] - b.positions[2 * first + 1],
                     t.point[2], 0.0, 1.0};
        l.e = reciprocalLength(l.x, l.y, l.z);
        lightFacets<false>(t, l, b, first, end);
    });
}

// The spot keeps e and the cosine a in single precision between the facets
// of a pixel; a pixel outside the cone gets nothing.
void accumulateSpot(const LightTerms& t, const FacetBatch& b) {
    const double* axis = t.direction;
    forEachPixel(b, [&](int first, int end) {
        PixelLight l{t.point[0] - b.positions[2 * first], t.point[1] - b.positions[2 * first + 1],
                     t.point[2], 0.0, 0.0};
        const float e = float(reciprocalLength(l.x, l.y, l.z));
        const float a = float(-(l.x * axis[0] + l.y * axis[1] + l.z * axis[2]) * e);
        if (!(a > t.coneCosine))
            return;
        l.e = e;
        l.falloff = falloffAt(t, a);
        lightFacets<true>(t, l, b, first, end);
    });
}

// The same L for every facet.
void accumulateDirectional(const LightTerms& t, const FacetBatch& b) {
    const double* d = t.direction;
    const PixelLight l{d[0], d[1], d[2], reciprocalLength(d[0], d[1], d[2]), 1.0};
    lightFacets<false>(t, l, b, 0, b.count);
}
} // namespace

void accumulateReliefLight(uint32_t type, const LightTerms& t, const FacetBatch& batch) {
    switch (type) {
    case Omni:
        accumulateOmni(t, batch);
        break;
    case Directional:
        accumulateDirectional(t, batch);
        break;
    case Spot:
        accumulateSpot(t, batch);
        break;
    default:
        break; // an unknown type adds nothing
    }
}
