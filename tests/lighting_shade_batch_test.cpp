// The batch shader: diffuse and specular light, the material step, exposure
// and clamping, and the batch limits.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "lighting/light_terms.h"
#include "lighting/shade_batch.h"
#include "tests/support/lighting_scene.h"
#include "tests/support/reference_shading.h"

namespace {
const float kFacingUp[3] = {0.0f, 0.0f, 1.0f};

// A light straight above: L = (0, 0, 1), so that n = r = e = 1 on a facet facing up
// and the diffuse and specular sums both equal the strength.
RenderLight& addOverheadLight(ParameterBlock& block, int32_t strength) {
    RenderLight& light = addLight(block, Directional, strength);
    light.direction[2] = 1.0f;
    return light;
}

uint8_t shadeOne(const ParameterBlock& block, uint8_t colour) {
    FacetArrays facet(1);
    facet.setFacet(0, 0, 0, kFacingUp, colour, colour, colour);
    EXPECT_TRUE(shadeBatch(block, facet.batch(), false));
    return facet.lit[0];
}
} // namespace

TEST(ShadeBatch, FacetFacingAwayGetsNeitherDiffuseNorSpecular) {
    auto block = neutralBlock();
    // Light from below a steep facet: N . L < 0 although R . L > 0.
    RenderLight& light = addLight(*block, Directional, 100000);
    light.direction[0] = -0.1f;
    light.direction[2] = -1.0f;
    FacetArrays facet(1);
    const float steep[3] = {0.8f, 0.0f, 0.6f};
    facet.setFacet(0, 0, 0, steep, 255, 255, 255);
    shadeBatch(*block, facet.batch(), false);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(facet.diffuse[c], 0);
        EXPECT_EQ(facet.specular[c], 0);
    }
}

TEST(ShadeBatch, ExposureScalesLinearlyAndTruncates) {
    auto block = neutralBlock();
    block->ambient[0] = block->ambient[1] = block->ambient[2] = 30000;
    addOverheadLight(*block, 35536); // A + D = 65536
    FacetArrays all(256);
    for (int c = 0; c < 256; ++c)
        all.setFacet(c, 0, 0, kFacingUp, uint8_t(c), uint8_t(c), uint8_t(c));
    shadeBatch(*block, all.batch(), false);
    for (int c = 0; c < 256; ++c)
        ASSERT_EQ(all.lit[3 * c], c) << "exposure 128 keeps the colour";
    block->exposure = 0;
    shadeBatch(*block, all.batch(), false);
    for (int c = 0; c < 256; ++c)
        ASSERT_EQ(all.lit[3 * c], 0) << "exposure 0 is black";
    // Just below 65536 every step truncates: 200 x 65535 >> 8 = 51199, x 128 >> 15 = 199.
    block->exposure = 128;
    block->ambient[0] = block->ambient[1] = block->ambient[2] = 29999;
    EXPECT_EQ(shadeOne(*block, 200), 199);
    // Exposure 256 doubles, clamped at 255.
    block->exposure = 256;
    EXPECT_EQ(shadeOne(*block, 100), 199);
    EXPECT_EQ(shadeOne(*block, 200), 255);
}

TEST(ShadeBatch, NegativeIntensityDarkensAndClampsAtBlack) {
    auto block = neutralBlock();
    block->ambient[0] = block->ambient[1] = block->ambient[2] = 65536;
    addOverheadLight(*block, -32768);
    EXPECT_EQ(shadeOne(*block, 201), 100); // half the light, rounded down
    block->lights[0].strength[0] = -260092;
    block->lights[0].strength[1] = -260092;
    block->lights[0].strength[2] = -260092;
    EXPECT_EQ(shadeOne(*block, 255), 0);
}

TEST(ShadeBatch, GlossAndMaterialShapeTheHighlight) {
    auto block = neutralBlock();
    addOverheadLight(*block, 25600); // S >> 8 = 100
    // A black surface shows only the highlight.
    for (int material : {0, 128, 256}) {
        block->material = int16_t(material);
        block->gloss = 0;
        EXPECT_EQ(shadeOne(*block, 0), 0) << "no highlight without gloss, material " << material;
    }
    block->gloss = 256;
    block->material = 0;
    EXPECT_EQ(shadeOne(*block, 0), 99); // white: 100 x 256 x 255
    block->material = 128;
    EXPECT_EQ(shadeOne(*block, 0), 49); // half way: 100 x 127 x 256
    block->material = 256;
    EXPECT_EQ(shadeOne(*block, 0), 0); // the surface colour, black
}

TEST(ShadeBatch, StrongHighlightsAtFullGlossStayBright) {
    // An omni light 100 units up: e = 0.01, r = 100, S = I x 10^4 x 0.01 = 100 I.
    // (S >> 8) x 256 x 255 is about 6.7e9, beyond 32 bits.
    auto block = neutralBlock();
    block->gloss = 256;
    RenderLight& light = addLight(*block, Omni, 264187);
    light.point[2] = 100.0f;
    FacetArrays facet(1);
    facet.setFacet(0, 0, 0, kFacingUp, 10, 10, 10);
    shadeBatch(*block, facet.batch(), false);
    EXPECT_EQ(facet.specular[0], 26418700);
    EXPECT_EQ(facet.lit[0], 255);
}

TEST(ShadeBatch, SumsSaturateInsteadOfWrapping) {
    // Sixteen far, strong lights: each specular share is near 2^31.
    auto block = neutralBlock();
    block->gloss = 256;
    for (int i = 0; i < 16; ++i)
        addLight(*block, Omni, 264187).point[2] = 1e6f;
    FacetArrays facet(1);
    facet.setFacet(0, 0, 0, kFacingUp, 10, 10, 10);
    shadeBatch(*block, facet.batch(), false);
    EXPECT_EQ(facet.specular[0], INT32_MAX);
    EXPECT_EQ(facet.lit[0], 255);
}

TEST(ShadeBatch, RefusesMoreThan1024FacetsAndWritesNothing) {
    auto block = neutralBlock();
    addOverheadLight(*block, 65536);
    FacetArrays facets(1025);
    std::fill(facets.lit.begin(), facets.lit.end(), uint8_t(0xAB));
    std::fill(facets.diffuse.begin(), facets.diffuse.end(), 7);
    EXPECT_FALSE(shadeBatch(*block, facets.batch(), false));
    EXPECT_EQ(std::count(facets.lit.begin(), facets.lit.end(), 0xAB), 3 * 1025);
    EXPECT_EQ(std::count(facets.diffuse.begin(), facets.diffuse.end(), 7), 4 * 1025);
}

TEST(ShadeBatch, KeptSumsSkipTheLights) {
    auto block = neutralBlock();
    addOverheadLight(*block, 65536);
    FacetArrays facet(1);
    facet.setFacet(0, 0, 0, kFacingUp, 100, 100, 100);
    shadeBatch(*block, facet.batch(), false);
    EXPECT_EQ(facet.lit[0], 100);
    block->lightCount = 0; // would give black if the lights were evaluated
    block->exposure = 64;
    shadeBatch(*block, facet.batch(), true);
    EXPECT_EQ(facet.lit[0], 50) << "the material step runs again on the kept sums";
    shadeBatch(*block, facet.batch(), false);
    EXPECT_EQ(facet.lit[0], 0);
}

TEST(ShadeBatch, BlocksWithAnyContentStayDefined) {
    auto block = neutralBlock();
    block->ambient[0] = block->ambient[1] = block->ambient[2] = 65536;
    addLight(*block, 7, 1 << 30); // unknown type: adds nothing
    RenderLight& spot = addLight(*block, Spot, 65536);
    spot.point[2] = 1.0f;
    spot.direction[2] = -1.0f;
    spot.coneCosine = 0.707f;
    spot.falloffStart = 0.70710677f;
    spot.falloffScale = 1e30f; // every index far beyond the table
    spot.falloff[RenderLight::kMaxFalloffEntries - 1] = 1.0f;
    block->lightCount = 65535; // only 16 records exist
    FacetArrays facet(1);
    facet.setFacet(0, 0, 0, kFacingUp, 100, 100, 100);
    shadeBatch(*block, facet.batch(), false);
    EXPECT_EQ(facet.diffuse[0], 65536) << "the last entry, on the axis";
    spot.falloffStart = NAN;
    spot.falloff[RenderLight::kMaxFalloffEntries - 1] = 0.5f;
    shadeBatch(*block, facet.batch(), false);
    EXPECT_EQ(facet.diffuse[0], 32768) << "an undefined index reads the last entry";
}

TEST(ShadeBatch, EveryTypeSumsOverAllLightsInOrder) {
    // Two identical omni lights give twice the sums of one, to the unit.
    auto block = neutralBlock();
    RenderLight& omni = addLight(*block, Omni, 100003);
    omni.point[0] = 0.3f;
    omni.point[2] = 0.7f;
    FacetArrays facet(1);
    const float tilted[3] = {0.28f, -0.1f, 0.9548f};
    facet.setFacet(0, 0.1f, 0.2f, tilted, 1, 1, 1);
    shadeBatch(*block, facet.batch(), false);
    const int32_t once = facet.diffuse[0], onceSpecular = facet.specular[0];
    EXPECT_GT(once, 0);
    EXPECT_GT(onceSpecular, 0);
    block->lights[1] = omni;
    block->lightCount = 2;
    shadeBatch(*block, facet.batch(), false);
    EXPECT_EQ(facet.diffuse[0], 2 * once);
    EXPECT_EQ(facet.specular[0], 2 * onceSpecular);
}

namespace {
// Random pixels of one to four facets with random slopes, now and then a
// pixel without facets.
void randomFacets(std::mt19937& random, FacetArrays& facets, std::vector<uint32_t>& weights,
                  int& pixels) {
    weights.clear();
    pixels = 0;
    for (int i = 0; i < facets.count;) {
        const int n = random() % 16 == 0 ? 0 : std::min(int(random() % 4) + 1, facets.count - i);
        const float x = float(int(random() % 200) - 100) / 64,
                    y = float(int(random() % 200) - 100) / 64;
        for (int k = 0; k < n; ++k, ++i) {
            const float normal[3] = {float(int(random() % 200) - 100) / 100,
                                     float(int(random() % 200) - 100) / 100,
                                     float(random() % 100) / 100};
            facets.setFacet(i, x, y, normal, uint8_t(random()), uint8_t(random()),
                            uint8_t(random()));
            weights.push_back(16 / uint32_t(n));
        }
        weights.push_back(0);
        ++pixels;
    }
}

// The facet builder's form of the batch's places: each facet's pixel among
// the pixels that have facets, and each such pixel's centre.
struct PixelPlaces {
    std::vector<int16_t> of;
    std::vector<float> centres;
    std::vector<float> facetX; // each facet's pixel's X
};

PixelPlaces pixelPlacesOf(const FacetArrays& facets, const std::vector<uint32_t>& weights) {
    PixelPlaces places;
    int facet = 0;
    for (size_t w = 0; w < weights.size(); ++w) {
        const int first = facet;
        for (; weights[w] != 0; ++w, ++facet) {
            places.of.push_back(int16_t(places.centres.size() / 2));
            places.facetX.push_back(facets.positions[2 * size_t(first)]);
        }
        if (facet > first)
            places.centres.insert(places.centres.end(), {facets.positions[2 * size_t(first)],
                                                         facets.positions[2 * size_t(first) + 1]});
    }
    return places;
}

// Lights the facets by the kernels and by the plain formulas, as relief facets
// and as untextured samples, and expects the same sums and bytes.
void expectTheLiteralFormulas(const ParameterBlock& block, FacetArrays& kernel,
                              const std::vector<uint32_t>& weights, int pixels,
                              const std::string& what, bool facetBuilderForm = false) {
    // The sums are written whole, the unused fourth word of a slot included.
    std::fill(kernel.diffuse.begin(), kernel.diffuse.end(), 0x5A5A5A5A);
    std::fill(kernel.specular.begin(), kernel.specular.end(), -0x5A5A5A5A);
    FacetArrays literal = kernel;
    kernel.weights = literal.weights = weights;
    FacetArrays once = kernel; // lit for the bytes alone, as the strip renderer does
    FacetBatch relief = kernel.batch(), reliefLiteral = literal.batch(), reliefOnce = once.batch();
    relief.pixels = reliefLiteral.pixels = reliefOnce.pixels = pixels;
    // The facet builder's batches: unit normals, and pixels on one row.
    relief.unitNormals = reliefOnce.unitNormals = facetBuilderForm;
    // The strip renderer's batches tell each facet's pixel, without positions.
    const PixelPlaces places = pixelPlacesOf(once, weights);
    reliefOnce.positions = nullptr;
    reliefOnce.pixelOf = places.of.data();
    reliefOnce.pixelCentres = places.centres.data();
    reliefOnce.pixels = int(places.centres.size() / 2);
    if (facetBuilderForm)
        reliefOnce.facetX = places.facetX.data();
    shadeBatch(block, relief, false);
    shadeBatchOnce(block, reliefOnce);
    referenceShadeBatch(block, reliefLiteral, false);
    ASSERT_EQ(kernel.diffuse, literal.diffuse) << "relief, " << what;
    ASSERT_EQ(kernel.specular, literal.specular) << "relief, " << what;
    ASSERT_EQ(kernel.lit, literal.lit) << "relief, " << what;
    ASSERT_EQ(once.lit, literal.lit) << "relief, bytes alone, " << what;

    shadeBatch(block, kernel.untexturedBatch(), false);
    referenceShadeBatch(block, literal.untexturedBatch(), false);
    ASSERT_EQ(kernel.diffuse, literal.diffuse) << "untextured, " << what;
    ASSERT_EQ(kernel.specular, literal.specular) << "untextured, " << what;
    ASSERT_EQ(kernel.lit, literal.lit) << "untextured, " << what;
}
} // namespace

namespace {
// As the facet builder's batches are: each normal scaled to length 1 and
// rounded to single precision (those facing nowhere stay so), and every pixel
// on the first one's row.
void takeTheFacetBuilderForm(FacetArrays& facets) {
    for (size_t i = 0; i < facets.normals.size(); i += 3) {
        float* n = facets.normals.data() + i;
        const double length =
            std::sqrt(double(n[0]) * n[0] + double(n[1]) * n[1] + double(n[2]) * n[2]);
        for (int c = 0; length > 0 && c < 3; ++c)
            n[c] = float(n[c] / length);
    }
    for (size_t i = 1; i < facets.positions.size(); i += 2)
        facets.positions[i] = facets.positions[1];
}
} // namespace

// Every other round in the facet builder's form, whose normals the light steps
// take without measuring them and whose facets' X they take as given.
TEST(ShadeBatch, KernelsMatchTheLiteralFormulas) {
    std::mt19937 random(20240601);
    FacetArrays kernel(1024);
    std::vector<uint32_t> weights;
    int pixels = 0;
    for (int round = 0; round < 300; ++round) {
        auto block = randomBlock(random);
        randomFacets(random, kernel, weights, pixels);
        const bool facetBuilderForm = round % 2 == 1;
        if (facetBuilderForm)
            takeTheFacetBuilderForm(kernel);
        expectTheLiteralFormulas(*block, kernel, weights, pixels, "round " + std::to_string(round),
                                 facetBuilderForm);
    }
}

// The kernels light facets several at a time: batches of every light type
// whose lengths are no multiple of that, down to a single facet.
TEST(ShadeBatch, EveryLightTypeMatchesTheLiteralFormulasAtAnyBatchLength) {
    std::mt19937 random(20261208);
    std::vector<uint32_t> weights;
    int pixels = 0;
    for (uint32_t type : {Omni, Directional, Spot}) {
        for (int length : {1, 3, 255, 256}) {
            FacetArrays kernel(length);
            for (int round = 0; round < 40; ++round) {
                auto block = randomBlock(random, type);
                randomFacets(random, kernel, weights, pixels);
                expectTheLiteralFormulas(*block, kernel, weights, pixels,
                                         "type " + std::to_string(type) + ", " +
                                             std::to_string(length) + " facets, round " +
                                             std::to_string(round));
            }
        }
    }
}

// A batch whose pixel count stops short of its weights list: the facets of
// the pixels left out have no place for an omni light or a spot to light, and
// those of the listed pixels are lit as in a batch that ends with them. The
// light steps take several facets at a time, where a step can hold facets of
// both kinds.
TEST(ShadeBatch, FacetsBeyondTheListedPixelsAreLeftUnlit) {
    std::mt19937 random(20261209);
    std::vector<uint32_t> weights;
    int pixels = 0;
    FacetArrays whole(300);
    for (int round = 0; round < 120; ++round) {
        auto block = randomBlock(random, round % 4 < 2 ? Omni : Spot);
        randomFacets(random, whole, weights, pixels);
        if (round % 2 == 1)
            takeTheFacetBuilderForm(whole);
        whole.weights = weights;
        const int listed = int(random() % pixels);
        int listedFacets = 0;
        for (size_t w = 0, p = 0; p < size_t(listed); ++w)
            weights[w] != 0 ? ++listedFacets : ++p;
        FacetArrays cut = whole;
        cut.count = listedFacets;
        FacetBatch batch = whole.batch(), cutBatch = cut.batch();
        batch.pixels = cutBatch.pixels = listed;
        batch.unitNormals = cutBatch.unitNormals = round % 2 == 1;
        shadeBatch(*block, batch, false);
        shadeBatch(*block, cutBatch, false);
        const std::string what = "round " + std::to_string(round) + ", " + std::to_string(listed) +
                                 " of " + std::to_string(pixels) + " pixels";
        const auto listedSums = [&](const std::vector<int32_t>& sums) {
            return std::vector<int32_t>(sums.begin(), sums.begin() + 4 * listedFacets);
        };
        ASSERT_EQ(listedSums(whole.diffuse), listedSums(cut.diffuse)) << what;
        ASSERT_EQ(listedSums(whole.specular), listedSums(cut.specular)) << what;
        for (int i = listedFacets; i < whole.count; ++i)
            for (int c = 0; c < 3; ++c)
                ASSERT_TRUE(whole.diffuse[4 * i + c] == 0 && whole.specular[4 * i + c] == 0)
                    << what << ": facet " << i << " was lit";
    }
}

// Adding one more light to a batch's sums gives the sums of the batch lit by
// all of them at once, with relief and without.
TEST(ShadeBatch, OneLightAddsToTheSumsAlreadyThere) {
    std::mt19937 random(31);
    std::vector<uint32_t> weights;
    int pixels = 0;
    FacetArrays all(300), added(300);
    for (int round = 0; round < 40; ++round) {
        auto block = randomBlock(random);
        if (block->lightCount == 0)
            continue;
        randomFacets(random, all, weights, pixels);
        added = all;
        all.weights = added.weights = weights;
        for (bool relief : {true, false}) {
            FacetBatch whole = relief ? all.batch() : all.untexturedBatch();
            FacetBatch stepwise = relief ? added.batch() : added.untexturedBatch();
            whole.pixels = stepwise.pixels = pixels;
            shadeBatch(*block, whole, false);
            block->lightCount--;
            shadeBatch(*block, stepwise, false);
            accumulateLight(block->lights[block->lightCount], stepwise);
            block->lightCount++;
            ASSERT_EQ(all.diffuse, added.diffuse) << "round " << round << ", relief " << relief;
            ASSERT_EQ(all.specular, added.specular) << "round " << round << ", relief " << relief;
        }
    }
}

#ifdef ORVANE_WIDE_LIGHT_STEPS
// scripts/test runs the suite of each build again with ORVANE_NO_AVX512=1 and
// with ORVANE_NO_AVX=1, so that the tests above check the AVX and the SSE2
// light steps on a processor with AVX-512 too: those runs must really take them.
TEST(ShadeBatch, TheEnvironmentHoldsBackTheWiderLightSteps) {
    const auto says = [](const char* name) {
        const char* value = std::getenv(name);
        return value && std::string(value) == "1";
    };
    LightSteps expected = LightSteps::Sse2;
    if (processorHasAvx() && !says("ORVANE_NO_AVX"))
        expected = processorHasAvx512() && !says("ORVANE_NO_AVX512") ? LightSteps::Avx512
                                                                     : LightSteps::Avx;
    EXPECT_EQ(lightStepsInUse(), expected);
    EXPECT_EQ(wideLightStepsInUse(), expected != LightSteps::Sse2);
    const char* names[] = {"SSE2", "AVX", "AVX-512"};
    std::printf("light steps: %s\n", names[int(lightStepsInUse())]);
}
#endif
