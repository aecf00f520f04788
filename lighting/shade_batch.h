#pragma once
#include <cstdint>

struct ParameterBlock;

// The longest a unit normal rounded to single precision can be, and its
// mirror image of the view direction, with room to spare: each component is
// within 2^-24 of the exact one.
constexpr double kLongestFacetNormal = 1.000001;
struct RenderLight;

// One batch of facets (at most 1024, one row piece) and its working arrays.
// With relief, each pixel contributes one to four consecutive facets and the
// weights list tells them apart; without relief (normals null) every facet is
// one pixel with the normal (0, 0, 1).
struct FacetBatch {
    int count = 0;                     // facets
    int pixels = 0;                    // pixels in the weights list (relief only)
    const float* positions = nullptr;  // X, Y of the facet's pixel centre
    const float* normals = nullptr;    // 3 per facet; null: untextured samples
    const uint32_t* weights = nullptr; // per pixel: its facets' weights, then 0
    const uint8_t* colours = nullptr;  // red, green, blue of the facet's pixel
    int32_t* diffuse = nullptr;        // 3 sums in a 16-byte slot per facet
    int32_t* specular = nullptr;       // likewise
    uint8_t* lit = nullptr;            // 3 bytes per facet, the result
    void* work = nullptr;              // untextured: 8 bytes per sample for the light passes
    // Optional, for relief batches in which every pixel has facets and every
    // facet a pixel (the facet builder's): each facet's pixel and each
    // pixel's centre (X, Y), so that the light steps need not find them from
    // the weights and positions; positions may then be null.
    const int16_t* pixelOf = nullptr;
    const float* pixelCentres = nullptr;
    // Optional with pixelOf, when every pixel lies on one row (the facet
    // builder's batches): each facet's X, so that the light steps need not
    // look it up through its pixel.
    const float* facetX = nullptr;
    // Relief: every normal is a unit vector rounded to single precision, as
    // the facet builder's are (no longer than kLongestFacetNormal), so that
    // the light steps need not measure them for their bounds.
    bool unitNormals = false;
};

// Lights a batch: unless keepSums, clears the sums and adds every prepared
// light of the block; then applies ambient light, material, gloss and exposure
// into the lit bytes. A batch of more than 1024 facets is refused (false) and
// nothing is written.
bool shadeBatch(const ParameterBlock& block, const FacetBatch& batch, bool keepSums);

// As shadeBatch without keepSums, for a caller that reads only the lit bytes:
// the sums of a relief batch may be left unwritten.
bool shadeBatchOnce(const ParameterBlock& block, const FacetBatch& batch);

// Clears the sums and adds every prepared light of the block.
void lightBatch(const ParameterBlock& block, const FacetBatch& batch);

// Adds one prepared light's diffuse and specular contribution to the sums.
void accumulateLight(const RenderLight& light, const FacetBatch& batch);

// The integer material step from the sums to the lit bytes.
void applyMaterial(const ParameterBlock& block, const FacetBatch& batch);

// How many times a light has been evaluated over a batch, since the program
// started: each batch that does not keep its sums adds its number of lights.
// The tests read it to see which work a redraw of the preview skipped.
uint32_t lightEvaluationCount();
