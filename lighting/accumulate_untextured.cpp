#include "lighting/det_math.h"
#include "lighting/light_kernels.h"

// With the normal (0, 0, 1) n = r = L.z, the light's height above the image
// for omni and spot lights: a light at or below the image adds nothing
// anywhere, and the products I x n and I x r^2 are the same for every
// sample. Each light then runs in passes over the samples, simple loops the
// compiler can vectorise; the batch's work area holds 8 bytes per sample
// between the passes.

namespace {
struct SampleFactors {
    double diffuse[kSumWords];  // I x n, n rounded to single precision
    double specular[kSumWords]; // I x r^2
};

SampleFactors factorsAtHeight(const LightTerms& t, double height) {
    SampleFactors f;
    const double nSingle = float(height);
    for (int c = 0; c < kSumWords; ++c) {
        f.diffuse[c] = t.strength[c] * nSingle;
        f.specular[c] = t.strength[c] * (height * height);
    }
    return f;
}

// The sum arrays are filled one at a time: loops over a single array
// vectorise, loops that store into two arrays that might overlap do not.
void addToEverySlot(const int32_t shares[kSumWords], int count, int32_t* sums) {
    for (int i = 0; i < count; ++i)
        for (int c = 0; c < kSumWords; ++c)
            sums[kSumWords * i + c] = addSaturated(sums[kSumWords * i + c], shares[c]);
}

void addSharesToEverySample(const double factor[kSumWords], const double* e, int count,
                            int32_t* sums) {
    for (int i = 0; i < count; ++i)
        addShares(factor, e[i], sums + kSumWords * i);
}

void addSharesToEverySample(const double factor[kSumWords], const float* e, const float* falloff,
                            int count, int32_t* sums) {
    for (int i = 0; i < count; ++i)
        addShares(factor, e[i], falloff[i], sums + kSumWords * i);
}

void accumulateOmni(const LightTerms& t, const FacetBatch& b) {
    const double height = t.point[2];
    if (!(height > 0))
        return;
    double* e = static_cast<double*>(b.work);
    const double height2 = height * height;
    for (int i = 0; i < b.count; ++i) {
        const double x = t.point[0] - b.positions[2 * i];
        const double y = t.point[1] - b.positions[2 * i + 1];
        e[i] = 1.0 / detSqrt(x * x + y * y + height2);
    }
    const SampleFactors f = factorsAtHeight(t, height);
    addSharesToEverySample(f.diffuse, e, b.count, b.diffuse);
    addSharesToEverySample(f.specular, e, b.count, b.specular);
}

// e and the cosine a are single precision; outside the cone e and the falloff
// are 0, which makes every share 0.
void accumulateSpot(const LightTerms& t, const FacetBatch& b) {
    const double height = t.point[2];
    if (!(height > 0))
        return;
    float* e = static_cast<float*>(b.work);
    float* falloff = e + b.count; // first the cosine a, then the falloff
    const double* axis = t.direction;
    const double height2 = height * height;
    for (int i = 0; i < b.count; ++i) {
        const double x = t.point[0] - b.positions[2 * i];
        const double y = t.point[1] - b.positions[2 * i + 1];
        e[i] = float(1.0 / detSqrt(x * x + y * y + height2));
        falloff[i] = float(-(x * axis[0] + y * axis[1] + height * axis[2]) * e[i]);
    }
    for (int i = 0; i < b.count; ++i) {
        const bool inside = falloff[i] > t.coneCosine;
        falloff[i] = inside ? float(falloffAt(t, falloff[i])) : 0.0f;
        e[i] = inside ? e[i] : 0.0f;
    }
    const SampleFactors f = factorsAtHeight(t, height);
    addSharesToEverySample(f.diffuse, e, falloff, b.count, b.diffuse);
    addSharesToEverySample(f.specular, e, falloff, b.count, b.specular);
}

// Every sample gets the very same shares: they are worked out once.
void accumulateDirectional(const LightTerms& t, const FacetBatch& b) {
    const double* l = t.direction;
    if (!(l[2] > 0))
        return;
    const double e = 1.0 / detSqrt(l[0] * l[0] + l[1] * l[1] + l[2] * l[2]);
    const SampleFactors f = factorsAtHeight(t, l[2]);
    int32_t diffuse[kSumWords] = {}, specular[kSumWords] = {};
    addShares(f.diffuse, e, diffuse);
    addShares(f.specular, e, specular);
    addToEverySlot(diffuse, b.count, b.diffuse);
    addToEverySlot(specular, b.count, b.specular);
}
} // namespace

void accumulateUntexturedLight(uint32_t type, const LightTerms& t, const FacetBatch& batch) {
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
