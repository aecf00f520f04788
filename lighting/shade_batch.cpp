#include "lighting/shade_batch.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "lighting/det_math.h"
#include "lighting/shading_scratch.h"
#include "shell/parameter_block.h"

namespace {
constexpr int kLastFalloffEntry = RenderLight::kMaxFalloffEntries - 1;
constexpr int kSumWords = 4; // three sums in a 16-byte slot

// Truncation toward zero into 32 bits; out-of-range values saturate and NaN
// gives 0, so that absurd geometry (a light far away, a block from the host
// with any content) stays defined.
int32_t truncSaturated(double x) {
    if (x != x)
        return 0;
    if (x >= 2147483647.0)
        return std::numeric_limits<int32_t>::max();
    if (x <= -2147483648.0)
        return std::numeric_limits<int32_t>::min();
    return int32_t(x);
}

int32_t addSaturated(int32_t sum, int32_t term) {
    const int64_t total = int64_t(sum) + term;
    return int32_t(std::clamp<int64_t>(total, std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max()));
}

// A prepared light's fields, widened once per batch.
struct LightTerms {
    double strength[3];
    double point[3];     // omni and spot
    double direction[3]; // directional: towards the light; spot: the cone axis
    double coneCosine;
    double falloffStart;
    double falloffScale;
    const float* falloff;
};

LightTerms termsOf(const RenderLight& light) {
    LightTerms terms;
    for (int i = 0; i < 3; ++i) {
        terms.strength[i] = light.strength[i];
        terms.point[i] = light.point[i];
        terms.direction[i] = light.direction[i];
    }
    terms.coneCosine = light.coneCosine;
    terms.falloffStart = light.falloffStart;
    terms.falloffScale = light.falloffScale;
    terms.falloff = light.falloff;
    return terms;
}

// The light as one pixel sees it: L from the surface towards the light (not
// normalised), e = 1 / |L|, and the spot falloff f (1 for the other types).
struct Ray {
    double x, y, z;
    double e;
    double falloff;
};

double reciprocalLength(double x, double y, double z) {
    return 1.0 / detSqrt(x * x + y * y + z * z);
}

Ray directionalRay(const LightTerms& t) {
    const double* d = t.direction;
    return Ray{d[0], d[1], d[2], reciprocalLength(d[0], d[1], d[2]), 1.0};
}

Ray omniRay(const LightTerms& t, float x, float y) {
    Ray ray{t.point[0] - x, t.point[1] - y, t.point[2], 0.0, 1.0};
    ray.e = reciprocalLength(ray.x, ray.y, ray.z);
    return ray;
}

// False outside the cone (and for undefined geometry). The spot keeps e and
// the cosine a in single precision between the facets of a pixel.
bool spotRay(const LightTerms& t, float x, float y, Ray& ray) {
    ray = Ray{t.point[0] - x, t.point[1] - y, t.point[2], 0.0, 1.0};
    const float e = float(reciprocalLength(ray.x, ray.y, ray.z));
    const double* axis = t.direction;
    const float a = float(-(ray.x * axis[0] + ray.y * axis[1] + ray.z * axis[2]) * e);
    if (!(a > t.coneCosine))
        return false;
    // Whatever rounding makes of a, the index stays inside the table.
    const int32_t index = truncSaturated((a - t.falloffStart) * t.falloffScale);
    ray.e = e;
    ray.falloff = t.falloff[std::clamp(index, 0, kLastFalloffEntry)];
    return true;
}

// One channel's share: trunc(I x n x e) or trunc(I x n x e x f), in this order.
template <bool kSpot> int32_t share(double strength, double amount, const Ray& ray) {
    if constexpr (kSpot)
        return truncSaturated(strength * amount * ray.e * ray.falloff);
    else
        return truncSaturated(strength * amount * ray.e);
}

template <bool kSpot>
void addShares(const LightTerms& t, const Ray& ray, double amount, int32_t* sums) {
    for (int c = 0; c < 3; ++c)
        sums[c] = addSaturated(sums[c], share<kSpot>(t.strength[c], amount, ray));
}

// Diffuse and specular light on one facet with normal N.
template <bool kSpot>
void lightFacet(const LightTerms& t, const Ray& ray, const float* normal, int32_t* diffuse,
                int32_t* specular) {
    const double nx = normal[0], ny = normal[1], nz = normal[2];
    const double n = nx * ray.x + ny * ray.y + nz * ray.z;
    if (!(n > 0))
        return; // facing away: neither diffuse nor specular
    addShares<kSpot>(t, ray, double(float(n)), diffuse);
    // R is the view direction (0, 0, 1) mirrored about N.
    const double rx = 2.0 * nz * nx, ry = 2.0 * nz * ny, rz = 2.0 * nz * nz - 1.0;
    const double r = rx * ray.x + ry * ray.y + rz * ray.z;
    if (r > 0)
        addShares<kSpot>(t, ray, r * r, specular);
}

// The same for an untextured sample: N = (0, 0, 1), so N.L = R.L = L.z.
template <bool kSpot>
void lightSample(const LightTerms& t, const Ray& ray, int32_t* diffuse, int32_t* specular) {
    const double n = ray.z;
    if (!(n > 0))
        return;
    addShares<kSpot>(t, ray, double(float(n)), diffuse);
    addShares<kSpot>(t, ray, n * n, specular);
}

// Relief: L, e and f once per pixel, for the first facet's position, then
// every facet of the pixel.
template <bool kSpot, typename RayAt>
void accumulateRelief(const FacetBatch& b, const LightTerms& t, RayAt rayAt) {
    const uint32_t* weight = b.weights;
    int facet = 0;
    for (int p = 0; p < b.pixels; ++p) {
        const int first = facet;
        while (*weight != 0) {
            ++weight;
            ++facet;
        }
        ++weight;
        Ray ray;
        if (!rayAt(b.positions[2 * first], b.positions[2 * first + 1], ray))
            continue;
        for (int i = first; i < facet; ++i)
            lightFacet<kSpot>(t, ray, b.normals + 3 * i, b.diffuse + kSumWords * i,
                              b.specular + kSumWords * i);
    }
}

template <bool kSpot, typename RayAt>
void accumulateUntextured(const FacetBatch& b, const LightTerms& t, RayAt rayAt) {
    for (int i = 0; i < b.count; ++i) {
        Ray ray;
        if (rayAt(b.positions[2 * i], b.positions[2 * i + 1], ray))
            lightSample<kSpot>(t, ray, b.diffuse + kSumWords * i, b.specular + kSumWords * i);
    }
}

// A directional light is the same for every position.
void accumulateDirectional(const FacetBatch& b, const LightTerms& t) {
    const Ray ray = directionalRay(t);
    if (b.normals) {
        for (int i = 0; i < b.count; ++i)
            lightFacet<false>(t, ray, b.normals + 3 * i, b.diffuse + kSumWords * i,
                              b.specular + kSumWords * i);
        return;
    }
    // Untextured, every sample gets the very same shares: work them out once.
    int32_t diffuse[3] = {}, specular[3] = {};
    lightSample<false>(t, ray, diffuse, specular);
    for (int i = 0; i < b.count; ++i) {
        for (int c = 0; c < 3; ++c) {
            b.diffuse[kSumWords * i + c] = addSaturated(b.diffuse[kSumWords * i + c], diffuse[c]);
            b.specular[kSumWords * i + c] =
                addSaturated(b.specular[kSumWords * i + c], specular[c]);
        }
    }
}

template <bool kSpot, typename RayAt>
void accumulatePositional(const FacetBatch& b, const LightTerms& t, RayAt rayAt) {
    if (b.normals)
        accumulateRelief<kSpot>(b, t, rayAt);
    else
        accumulateUntextured<kSpot>(b, t, rayAt);
}

// The highlight's colour weight times gloss: white (255) for plastic, the
// surface colour for metal, a blend of the two in between.
int64_t highlightFactor(int64_t colour, int64_t material, int64_t gloss) {
    if (material <= 0)
        return gloss * 255;
    if (material >= 256)
        return gloss * colour;
    return ((colour * material + (256 - material) * 255) >> 8) * gloss;
}
} // namespace

void accumulateLight(const RenderLight& light, const FacetBatch& batch) {
    const LightTerms terms = termsOf(light);
    switch (light.type) {
    case Omni:
        accumulatePositional<false>(batch, terms, [&terms](float x, float y, Ray& ray) {
            ray = omniRay(terms, x, y);
            return true;
        });
        break;
    case Directional:
        accumulateDirectional(batch, terms);
        break;
    case Spot:
        accumulatePositional<true>(batch, terms, [&terms](float x, float y, Ray& ray) {
            return spotRay(terms, x, y, ray);
        });
        break;
    default:
        break; // an unknown type adds nothing
    }
}

// Everything in 64 bits: with strong lights at full gloss the highlight
// product leaves 32 bits; results that fit 32 bits are unchanged.
void applyMaterial(const ParameterBlock& block, const FacetBatch& batch) {
    const int64_t exposure = block.exposure;
    for (int i = 0; i < batch.count; ++i) {
        for (int c = 0; c < 3; ++c) {
            const int64_t colour = batch.colours[3 * i + c];
            const int64_t light = int64_t(block.ambient[c]) + batch.diffuse[kSumWords * i + c];
            const int64_t highlight = int64_t(batch.specular[kSumWords * i + c]) >> 8;
            const int64_t value =
                light * colour + highlight * highlightFactor(colour, block.material, block.gloss);
            const int64_t v = ((value >> 8) * exposure) >> 15;
            batch.lit[3 * i + c] = uint8_t(std::clamp<int64_t>(v, 0, 255));
        }
    }
}

bool shadeBatch(const ParameterBlock& block, const FacetBatch& batch, bool keepSums) {
    if (batch.count < 0 || batch.count > kMaxBatchFacets)
        return false;
    if (!keepSums) {
        std::fill_n(batch.diffuse, kSumWords * batch.count, 0);
        std::fill_n(batch.specular, kSumWords * batch.count, 0);
        const int lights = std::min<int>(block.lightCount, ParameterBlock::kMaxLights);
        for (int i = 0; i < lights; ++i)
            accumulateLight(block.lights[i], batch);
    }
    applyMaterial(block, batch);
    return true;
}
