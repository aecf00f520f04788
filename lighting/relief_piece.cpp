#include "lighting/relief_piece.h"

#include <cstring>

#include <emmintrin.h>

#include "lighting/facets.h"
#include "lighting/pixel_centre.h"

namespace {
// The work array holds each pixel's centre, each facet's X, then each
// facet's pixel.
static_assert(2 * kMaxBatchPixels * sizeof(float) + kMaxBatchFacets * sizeof(float) +
                  kMaxBatchFacets * sizeof(int16_t) <=
              kScratchBufferBytes[ScratchWork]);

// The pixel, X and colour of four facets, whatever the pixel's number of
// facets: the entries beyond it are written again by the next pixel. Pixel p
// has at most 4p facets before it, so the four entries stay inside the arrays.
// The colour goes out as two words (red, green, blue, red, green, blue, red,
// green, then blue, red, green, blue) rather than byte by byte.
void writeFourFacets(int16_t pixel, float x, const uint8_t* colour, int16_t* pixelOf, float* facetX,
                     uint8_t* colours) {
    for (int f = 0; f < 4; ++f) {
        pixelOf[f] = pixel;
        facetX[f] = x;
    }
    const uint64_t once = colour[0] | uint32_t(colour[1]) << 8 | uint32_t(colour[2]) << 16;
    const uint64_t twice = once | once << 24;
    const uint64_t firstEight = twice | twice << 48;
    const uint32_t lastFour = uint32_t(twice >> 16);
    std::memcpy(colours, &firstEight, 8);
    std::memcpy(colours + 8, &lastFour, 4);
}

// The plain average of four facets' lit bytes (12 bytes, red, green and blue
// of each), rounded down, into three bytes: the channels in 16-bit lanes,
// facets 0 and 1 added to facets 2 and 3, then the two halves together.
void averageFourFacets(const uint8_t* lit, uint8_t* destination) {
    int32_t last;
    std::memcpy(&last, lit + 8, 4);
    const __m128i bytes = _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(lit)),
                                             _mm_cvtsi32_si128(last));
    const __m128i zero = _mm_setzero_si128();
    const __m128i firstTwo = _mm_unpacklo_epi8(bytes, zero);                   // r0 g0 b0 r1 g1 b1
    const __m128i lastTwo = _mm_unpacklo_epi8(_mm_srli_si128(bytes, 6), zero); // r2 g2 b2 r3 g3 b3
    const __m128i pairs = _mm_add_epi16(firstTwo, lastTwo);
    const __m128i sums = _mm_add_epi16(pairs, _mm_srli_si128(pairs, 6)); // lanes 0 to 2
    const __m128i average = _mm_srli_epi16(sums, 2);
    const int32_t averageBytes = _mm_cvtsi128_si32(_mm_packus_epi16(average, average));
    std::memcpy(destination, &averageBytes, 3);
}
} // namespace

FacetBatch buildReliefPiece(const ReliefPiece& piece, const ShadingScratch& scratch,
                            FacetPlaces places) {
    const float y = pixelCentre(piece.areaRow, piece.areaHeight, piece.scale);
    uint8_t facetsPerPixel[kMaxBatchPixels];
    const int facets =
        facetsOfRow(piece.heights, piece.heightsWidth, piece.firstColumn, piece.pixels,
                    piece.keptCells, scratch.normals, scratch.weights, facetsPerPixel);
    // Every facet of a pixel has the pixel's centre and colour.
    auto* pixelCentres = static_cast<float*>(scratch.work);
    float* const firstFacetX = pixelCentres + 2 * kMaxBatchPixels;
    auto* const firstPixelOf = reinterpret_cast<int16_t*>(firstFacetX + kMaxBatchFacets);
    int16_t* pixelOf = firstPixelOf;
    float* facetX = firstFacetX;
    const bool perFacet = places == FacetPlaces::PerFacet;
    float* position = scratch.positions;
    uint8_t* colours = scratch.colours;
    for (int p = 0; p < piece.pixels; ++p) {
        const float x = pixelCentre(piece.areaColumn + p, piece.areaWidth, piece.scale);
        const uint8_t* colour = piece.source + 3 * p;
        pixelCentres[2 * p] = x;
        pixelCentres[2 * p + 1] = y;
        writeFourFacets(int16_t(p), x, colour, pixelOf, facetX, colours);
        pixelOf += facetsPerPixel[p];
        facetX += facetsPerPixel[p];
        colours += 3 * facetsPerPixel[p];
        for (int f = 0; perFacet && f < facetsPerPixel[p]; ++f) {
            *position++ = x;
            *position++ = y;
        }
    }
    FacetBatch batch;
    batch.count = facets;
    batch.pixels = piece.pixels;
    batch.positions = perFacet ? scratch.positions : nullptr;
    batch.normals = scratch.normals;
    batch.weights = scratch.weights;
    batch.colours = scratch.colours;
    batch.diffuse = scratch.diffuse;
    batch.specular = scratch.specular;
    batch.lit = scratch.lit;
    batch.unitNormals = true; // facetNormal's
    if (!perFacet) {
        batch.pixelCentres = pixelCentres;
        batch.pixelOf = firstPixelOf;
        batch.facetX = firstFacetX; // the piece is one row
    }
    return batch;
}

void averageFacets(const FacetBatch& batch, uint8_t* destination) {
    const uint32_t* weight = batch.weights;
    const uint8_t* lit = batch.lit;
    for (int p = 0; p < batch.pixels; ++p) {
        // Rough relief: four facets of weight 4, whose weighted sum over 16
        // is their plain sum over 4.
        if (weight[0] == 4 && weight[1] == 4 && weight[2] == 4 && weight[3] == 4 &&
            weight[4] == 0) {
            averageFourFacets(lit, destination + 3 * p);
            weight += 5;
            lit += 12;
            continue;
        }
        uint32_t sum[3] = {};
        for (; *weight != 0; ++weight, lit += 3)
            for (int c = 0; c < 3; ++c)
                sum[c] += *weight * lit[c];
        ++weight;
        for (int c = 0; c < 3; ++c)
            destination[3 * p + c] = uint8_t(sum[c] >> 4);
    }
}
