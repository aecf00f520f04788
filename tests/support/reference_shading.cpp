#include "tests/support/reference_shading.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {
int32_t truncSaturated(double x) {
    constexpr int32_t kLargest = std::numeric_limits<int32_t>::max();
    constexpr int32_t kSmallest = std::numeric_limits<int32_t>::min();
    if (!(x < kLargest)) // NaN as the largest value
        return kLargest;
    if (x <= kSmallest)
        return kSmallest;
    return int32_t(x);
}

int32_t addSaturated(int32_t sum, int32_t term) {
    return int32_t(std::clamp<int64_t>(int64_t(sum) + term, std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max()));
}

struct PixelLight {
    bool lit;
    double x, y, z, e, f;
};

PixelLight lightAt(const RenderLight& light, float x, float y) {
    PixelLight l{true, 0, 0, 0, 0, 1.0};
    if (light.type == Directional) {
        l.x = light.direction[0];
        l.y = light.direction[1];
        l.z = light.direction[2];
    } else {
        l.x = double(light.point[0]) - x;
        l.y = double(light.point[1]) - y;
        l.z = light.point[2];
    }
    l.e = 1.0 / std::sqrt(l.x * l.x + l.y * l.y + l.z * l.z);
    if (light.type == Spot) {
        const float e = float(l.e);
        const float a = float(
            -(l.x * light.direction[0] + l.y * light.direction[1] + l.z * light.direction[2]) * e);
        l.e = e;
        if (!(a > light.coneCosine)) {
            l.lit = false;
            return l;
        }
        const int32_t index = truncSaturated((a - light.falloffStart) * light.falloffScale);
        l.f = light.falloff[std::clamp(index, 0, RenderLight::kMaxFalloffEntries - 1)];
    }
    return l;
}

void lightFacet(const RenderLight& light, const PixelLight& l, const float* normal, int32_t* d,
                int32_t* s) {
    const double nx = normal[0], ny = normal[1], nz = normal[2];
    const double n = nx * l.x + ny * l.y + nz * l.z;
    if (!(n > 0))
        return;
    const double nSingle = float(n);
    const bool spot = light.type == Spot;
    for (int c = 0; c < 3; ++c) {
        const double I = light.strength[c];
        d[c] =
            addSaturated(d[c], truncSaturated(spot ? I * nSingle * l.e * l.f : I * nSingle * l.e));
    }
    const double rx = 2.0 * nz * nx, ry = 2.0 * nz * ny, rz = 2.0 * nz * nz - 1.0;
    const double r = rx * l.x + ry * l.y + rz * l.z;
    if (!(r > 0))
        return;
    for (int c = 0; c < 3; ++c) {
        const double I = light.strength[c];
        s[c] =
            addSaturated(s[c], truncSaturated(spot ? I * (r * r) * l.e * l.f : I * (r * r) * l.e));
    }
}

void accumulate(const RenderLight& light, const FacetBatch& b) {
    if (light.type > Spot)
        return;
    static const float kUp[3] = {0.0f, 0.0f, 1.0f};
    const uint32_t* weight = b.weights;
    int facet = 0;
    while (facet < b.count) {
        // One pixel: its facets up to the 0 of the weights list (untextured:
        // one sample).
        int end = facet + 1;
        if (b.normals) {
            for (end = facet; *weight != 0; ++weight)
                ++end;
            ++weight;
        }
        const PixelLight l = lightAt(light, b.positions[2 * facet], b.positions[2 * facet + 1]);
        for (; facet < end; ++facet)
            if (l.lit)
                lightFacet(light, l, b.normals ? b.normals + 3 * facet : kUp, b.diffuse + 4 * facet,
                           b.specular + 4 * facet);
    }
}

uint8_t litByte(const ParameterBlock& block, int64_t c, int64_t A, int64_t D, int64_t S) {
    const int64_t g = block.gloss, m = block.material;
    int64_t value;
    if (m <= 0)
        value = (A + D) * c + (S >> 8) * (g * 255);
    else if (m < 256)
        value = (((c * m + (256 - m) * 255) >> 8) * (S >> 8) * g) + (A + D) * c;
    else
        value = ((S >> 8) * g + A + D) * c;
    const int64_t v = ((value >> 8) * block.exposure) >> 15;
    return uint8_t(v <= 0 ? 0 : v >= 255 ? 255 : v);
}
} // namespace

bool referenceShadeBatch(const ParameterBlock& block, const FacetBatch& b, bool keepSums) {
    if (b.count > 1024)
        return false;
    if (!keepSums) {
        std::fill_n(b.diffuse, 4 * b.count, 0);
        std::fill_n(b.specular, 4 * b.count, 0);
        for (int i = 0; i < std::min<int>(block.lightCount, 16); ++i)
            accumulate(block.lights[i], b);
    }
    for (int i = 0; i < b.count; ++i)
        for (int c = 0; c < 3; ++c)
            b.lit[3 * i + c] = litByte(block, b.colours[3 * i + c], block.ambient[c],
                                       b.diffuse[4 * i + c], b.specular[4 * i + c]);
    return true;
}
