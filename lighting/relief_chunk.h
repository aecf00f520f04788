#pragma once
#include <cstdint>

#include "lighting/light_terms.h"
#include "lighting/parameter_block.h"

// A chunk of relief facets as the light steps see it (accumulate_relief.cpp
// lays it out and lights it), shared with the steps that light four facets
// to an AVX vector (accumulate_relief_wide.cpp, run where the processor has AVX)
// and eight to an AVX-512 vector (accumulate_relief_avx512.cpp).

// The steps go four or eight facets at a time: a chunk is padded to a
// multiple of eight.
constexpr int kFacetsPerStep = 8;
// A chunk holds 64 pixels of rough relief (four facets each): its arrays
// (about 30 KB) stay in the first-level cache, and each light's pass over its
// pixels is a loop long enough for the square roots and divisions to overlap.
constexpr int kChunkFacets = 256;      // a multiple of kFacetsPerStep
constexpr int kOutside = kChunkFacets; // the pixel entry of facets outside every pixel

// A chunk's facets come in at most four runs: a relief row's four quarters.
constexpr int kMaxRuns = 4;

// The normals N and the view direction mirrored about them R of a run of
// facets, one array per component.
struct FacetRun {
    const double *nx, *ny, *nz, *rx, *ry, *rz;
};

// What no light changes, for the facets [first, first + count) of a batch.
// The facets come in runs of runLength (a multiple of kFacetsPerStep), facet
// r x runLength + j being facet j of run r: each run has normals of its own,
// while the places, pixels and colours, at j, are the same in every run. A
// chunk laid out from a batch is one run, its normals in the arrays here; a
// relief row lays its pixels' four quarters out as four runs, their normals
// those of its rows of cells.
struct alignas(64) FacetChunk {
    int first = 0, count = 0, padded = 0; // padded with facets facing nowhere
    int pixels = 0;                       // pixels of the chunk that have facets in it
    int runs = 1, runLength = 0;          // padded = runs x runLength
    FacetRun run[kMaxRuns];
    // Each array (a multiple of 64 bytes) starts a cache line, as do the
    // AVX-512 steps' loads from it.
    alignas(64) double nx[kChunkFacets], ny[kChunkFacets], nz[kChunkFacets];
    double rx[kChunkFacets], ry[kChunkFacets], rz[kChunkFacets];
    // Per facet of a run:
    double x[kChunkFacets], y[kChunkFacets]; // the pixel's position
    int32_t pixelOf[kChunkFacets];           // index into the pixel arrays
    // For the material step on the sums: the colours.
    int32_t colour[3][kChunkFacets];
    // Per facet of the chunk: the sums, and the material step's result.
    int32_t diffuse[3][kChunkFacets];
    int32_t specular[3][kChunkFacets];
    int32_t litValues[3][kChunkFacets];
    // The chunk's pixels: a run of the batch's, the one after the last
    // included as a pad (the pixel passes go two at a time).
    int firstPixel = 0;
    const double* pixelX = nullptr;
    const double* pixelY = nullptr;
    // For the bounds on the shares: the longest N and R, the largest sums.
    double normalLength = 0, mirrorLength = 0;
    double diffuseBound = 0, specularBound = 0;
};

// One light as each pixel of a chunk sees it: e = 1 / |L|, the spot falloff,
// and whether the pixel is lit at all (all bits set) or not (zero); for the
// bounds, the extremes of |L|^2 (NaN when any is NaN) and of the falloff.
// The entries past kOutside are there for the AVX-512 steps, which read eight
// entries from any pixel's on.
struct alignas(16) PixelLights {
    double e[kChunkFacets + kFacetsPerStep], falloff[kChunkFacets + kFacetsPerStep],
        lit[kChunkFacets + kFacetsPerStep];
    double longestSquared = 0, shortestSquared = 0, largestFalloff = 1.0;
};

enum class LightKind { Omni, Directional, Spot };

// Lights a chunk laid out by its caller (normals, mirrors, places, pixels and
// colours; every normal a unit vector rounded to single precision) by every
// light of the block, its sums from zero, and applies the material step into
// its lit values.
void shadeChunk(const ParameterBlock& block, FacetChunk& c, PixelLights& pixels);

// Each file that includes this has its own copy of what follows: the wide
// steps' file is built for AVX, and its instructions must not stand in for
// those of the SSE2 file.
namespace {
// sums + the shares of the lit facets (all bits set in lit), four facets of
// one channel, held at the 32-bit limits when kClamped.
template <bool kClamped> void addLitShares(int32_t* sums, __m128i shares, __m128i lit) {
    addToSlot<kClamped>(sums, _mm_and_si128(shares, lit));
}

// A spot's cone leaves whole runs of pixels dark: four facets outside it are
// passed over.
inline bool fourOutsideTheCone(const PixelLights& pixels, const int32_t* pixelOf) {
    return pixels.lit[pixelOf[0]] == 0.0 && pixels.lit[pixelOf[3]] == 0.0 &&
           pixels.lit[pixelOf[1]] == 0.0 && pixels.lit[pixelOf[2]] == 0.0;
}
} // namespace

#ifdef ORVANE_WIDE_LIGHT_STEPS
template <LightKind kKind, bool kClamped>
void lightFacetsWide(const LightTerms& t, FacetChunk& c, const PixelLights& pixels);
template <Highlight kKind> void litValuesWide(const ParameterBlock& block, FacetChunk& c);
// Each facet's colour, one array per component, the pads black; and the lit
// values back as 3 bytes per facet.
void layOutColoursWide(const uint8_t* colours, FacetChunk& c);
void storeLitBytesWide(const FacetChunk& c, uint8_t* out);

template <LightKind kKind, bool kClamped>
void lightFacetsAvx512(const LightTerms& t, FacetChunk& c, const PixelLights& pixels);
template <Highlight kKind> void litValuesAvx512(const ParameterBlock& block, FacetChunk& c);
void omniPixelsAvx512(const LightTerms& t, const FacetChunk& c, PixelLights& out);
bool spotPixelsAvx512(const LightTerms& t, const FacetChunk& c, PixelLights& out);
#endif
