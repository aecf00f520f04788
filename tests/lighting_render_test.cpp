// Rows of pixels through the relief strip renderer and the untextured path:
// the strip lights each pixel as its facets lit by the plain formulas, the
// two agree on a level surface, a row does not depend on how it is cut, and
// strips without size are left alone.
#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "lighting/relief_piece.h"
#include "lighting/relief_strip.h"
#include "lighting/render_preparation.h"
#include "lighting/untextured_rows.h"
#include "settings/settings.h"
#include "tests/support/lighting_scene.h"
#include "tests/support/reference_shading.h"

namespace {
// Every kind of light at once, prepared the way the dialog prepares them.
std::unique_ptr<ParameterBlock> mixedBlock(int tableSizeFlag, int16_t gloss, int16_t material) {
    auto state = std::make_unique<Settings>();
    state->frameCenter = {100, 100};
    state->frameCorner = {40, 40}; // half frame 60 pixels
    state->resetToDefaultStyle();  // a yellow spot at the centre
    state->gloss = gloss;
    state->material = material;
    state->ambience = -20;
    state->addLightAt(80, 110); // a white spot
    state->lights[1].focus = 0;
    state->lights[1].vector0 = {40, 10};
    state->lights[1].vector1 = {-3, 12};
    state->addLightAt(130, 90);
    state->lights[2].type = Omni;
    state->lights[2].radius = 40;
    state->addLightAt(100, 100);
    state->lights[3].type = Directional;
    state->lights[3].vector0 = {30, -50};
    state->addLightAt(60, 60);
    state->lights[4].type = Omni;
    state->lights[4].intensity = -60;
    auto block = neutralBlock();
    fillParameterBlock(*state, 90, *block, BlockVariant::Dialog, tableSizeFlag);
    return block;
}

struct Picture {
    Picture(int width, int height, uint32_t seed)
        : width(width), height(height), rowBytes(3 * width + 2),
          source(randomBytes(size_t(rowBytes) * height, seed)),
          destination(size_t(rowBytes) * height, 0) {}
    int width, height, rowBytes;
    std::vector<uint8_t> source, destination;
};

RowRun runOver(const ParameterBlock& block, Picture& picture, const ShadingScratch& scratch) {
    return wholePictureRun(block, picture.width, picture.height, picture.source.data(),
                           picture.destination.data(), picture.rowBytes, scratch);
}

ReliefStrip stripOver(const ParameterBlock& block, Picture& picture,
                      const std::vector<int32_t>& heights, const ShadingScratch& scratch) {
    return ReliefStrip{runOver(block, picture, scratch), heights.data(),
                       uint32_t(picture.width + 2)};
}

UntexturedRows untexturedOver(const ParameterBlock& block, Picture& picture,
                              const ShadingScratch& scratch) {
    return UntexturedRows{runOver(block, picture, scratch)};
}

// Rough relief: a height map of random values up to the strongest relief.
std::vector<int32_t> roughHeights(int width, int height, uint32_t seed) {
    std::vector<uint8_t> bytes = randomBytes(size_t(width + 2) * (height + 2), seed);
    std::vector<int32_t> heights(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i)
        heights[i] = bytes[i] * 542; // 255 x 72 x 512 / 68 at most
    return heights;
}

} // namespace

TEST(ReliefAndUntexturedRender, AgreeOnALevelSurface) {
    ScratchSet scratch;
    const struct {
        int tableSizeFlag;
        int16_t gloss, material;
    } settings[] = {{0, 128, 0}, {1, 256, 128}, {0, 256, 256}, {1, 0, 40}};
    for (const auto& s : settings) {
        auto block = mixedBlock(s.tableSizeFlag, s.gloss, s.material);
        Picture relief(53, 7, 11), untextured(53, 7, 11);
        const std::vector<int32_t> level(size_t(53 + 2) * (7 + 2), 12345);
        shadeStrip(stripOver(*block, relief, level, scratch.view));
        shadeUntexturedRows(untexturedOver(*block, untextured, scratch.view));
        EXPECT_EQ(relief.destination, untextured.destination)
            << "gloss " << s.gloss << ", material " << s.material;
        EXPECT_NE(relief.destination, std::vector<uint8_t>(relief.destination.size(), 0));
    }
}

TEST(ReliefAndUntexturedRender, ARowDoesNotDependOnHowItIsCut) {
    ScratchSet scratch;
    auto block = mixedBlock(0, 200, 60);
    const int width = 300, height = 3; // wider than one batch of 256 pixels
    const std::vector<int32_t> heights = roughHeights(width, height, 5);
    Picture whole(width, height, 9);
    shadeStrip(stripOver(*block, whole, heights, scratch.view));

    Picture pieces(width, height, 9);
    const int cuts[] = {0, 1, 97, 98, 256, 300};
    for (int i = 0; i + 1 < int(std::size(cuts)); ++i) {
        ReliefStrip strip = stripOver(*block, pieces, heights, scratch.view);
        strip.columns = cuts[i + 1] - cuts[i];
        strip.columnOffset = cuts[i];
        strip.source += 3 * cuts[i];
        strip.destination += 3 * cuts[i];
        strip.heights += cuts[i];
        shadeStrip(strip);
    }
    EXPECT_EQ(whole.destination, pieces.destination);

    // The untextured path likewise, cut into runs of rows and columns.
    Picture untexturedWhole(width, height, 9), untexturedPieces(width, height, 9);
    shadeUntexturedRows(untexturedOver(*block, untexturedWhole, scratch.view));
    for (int i = 0; i + 1 < int(std::size(cuts)); ++i) {
        for (int y = 0; y < height; ++y) {
            UntexturedRows rows = untexturedOver(*block, untexturedPieces, scratch.view);
            rows.rows = 1;
            rows.rowOffset = y;
            rows.columns = cuts[i + 1] - cuts[i];
            rows.columnOffset = cuts[i];
            rows.source += untexturedPieces.rowBytes * y + 3 * cuts[i];
            rows.destination += untexturedPieces.rowBytes * y + 3 * cuts[i];
            shadeUntexturedRows(rows);
        }
    }
    EXPECT_EQ(untexturedWhole.destination, untexturedPieces.destination);
}

TEST(ReliefAndUntexturedRender, ReliefTiltsTheLight) {
    ScratchSet scratch;
    auto block = mixedBlock(0, 128, 0);
    Picture level(40, 4, 3), rough(40, 4, 3);
    const std::vector<int32_t> zero(size_t(42) * 6, 0);
    shadeStrip(stripOver(*block, level, zero, scratch.view));
    shadeStrip(stripOver(*block, rough, roughHeights(40, 4, 8), scratch.view));
    EXPECT_NE(level.destination, rough.destination);
}

TEST(ReliefAndUntexturedRender, StripsAndRowsWithoutSizeAreLeftAlone) {
    ScratchSet scratch;
    auto block = mixedBlock(0, 128, 0);
    Picture picture(8, 2, 1);
    const std::vector<int32_t> heights(size_t(10) * 4, 0);
    ReliefStrip strip = stripOver(*block, picture, heights, scratch.view);
    strip.rows = 0;
    shadeStrip(strip);
    UntexturedRows rows = untexturedOver(*block, picture, scratch.view);
    rows.columns = 0;
    shadeUntexturedRows(rows);
    EXPECT_EQ(picture.destination, std::vector<uint8_t>(picture.destination.size(), 0));
}

TEST(SpotLight, LightsNothingBeyondItsFortyFiveDegreeCone) {
    // A circle of radius 30 pixels, half frame 60: the spot hangs 0.5 above
    // the centre and looks straight down.
    LightSource light;
    light.vector0 = {30, 0};
    light.vector1 = {0, 30};
    light.color[0] = light.color[1] = light.color[2] = 65535;
    auto block = neutralBlock();
    prepareLightPreview(light, block->lights[0], 60, 0);
    block->lightCount = 1;
    FacetArrays samples(4);
    const float offsets[] = {0.0f, 0.45f, 0.55f, 1.5f};
    const float up[3] = {0, 0, 1};
    for (int i = 0; i < 4; ++i)
        samples.setFacet(i, offsets[i], 0.0f, up, 200, 200, 200);
    shadeBatch(*block, samples.untexturedBatch(), false);
    EXPECT_GT(samples.diffuse[0], 0);
    EXPECT_GT(samples.diffuse[4], 0);
    EXPECT_EQ(samples.diffuse[8], 0) << "atan(0.55 / 0.5) is beyond 45°";
    EXPECT_EQ(samples.specular[8], 0);
    EXPECT_EQ(samples.diffuse[12], 0);
}

TEST(SpotLight, FalloffAtFocus128IsLinearInAngle) {
    LightSource light;
    light.focus = 128;
    RenderLight prepared{};
    fillSpotTable(light, prepared, 0);
    // cos(pi/2 x t) with t = angle / 45°: cos of twice the angle, 2c^2 - 1.
    for (int i = 0; i < 1024; ++i) {
        const double c = prepared.falloffStart + i / double(prepared.falloffScale);
        ASSERT_NEAR(prepared.falloff[i], 2 * c * c - 1, 2e-6) << i;
    }
    EXPECT_FLOAT_EQ(prepared.falloff[1023], 1.0f);
    EXPECT_NEAR(prepared.falloff[0], 0.0f, 1e-6);
}

TEST(SpotLight, FocusNarrowsOrWidensTheBeam) {
    LightSource light;
    RenderLight narrow{}, linear{}, wide{};
    light.focus = 0;
    fillSpotTable(light, narrow, 1);
    light.focus = 128;
    fillSpotTable(light, linear, 1);
    light.focus = 256;
    fillSpotTable(light, wide, 1);
    // Half way in cosine: the narrow beam has fallen off further, the wide one less.
    EXPECT_LT(narrow.falloff[128], linear.falloff[128]);
    EXPECT_GT(wide.falloff[128], linear.falloff[128]);
    for (int i = 1; i < 256; ++i)
        ASSERT_GE(narrow.falloff[i], narrow.falloff[i - 1]) << "rises towards the axis";
    // Focus values from scripts outside 0..256 stay finite.
    light.focus = -32768;
    RenderLight odd{};
    fillSpotTable(light, odd, 0);
    for (float f : odd.falloff)
        ASSERT_TRUE(std::isfinite(f));
}

TEST(UntexturedRender, CachesKeepPositionsAndSums) {
    ScratchSet scratch;
    auto block = mixedBlock(1, 128, 0);
    const int width = 20, height = 3, samples = width * height;
    std::vector<float> positions(2 * samples);
    std::vector<int32_t> diffuse(4 * samples), specular(4 * samples);
    Picture first(width, height, 4);
    UntexturedRows rows = untexturedOver(*block, first, scratch.view);
    rows.positionsCache = positions.data();
    rows.diffuseCache = diffuse.data();
    rows.specularCache = specular.data();
    shadeUntexturedRows(rows);
    // Row 2's last sample sits at the last cache slot.
    EXPECT_FLOAT_EQ(positions[2 * samples - 2], (19 - 10 + 0.5f) * rows.scale);
    EXPECT_FLOAT_EQ(positions[2 * samples - 1], (2 - 1.5f + 0.5f) * rows.scale);

    // With every cache valid no light is evaluated: the sums give the same picture.
    Picture second(width, height, 4);
    rows.destination = second.destination.data();
    rows.positionsValid = true;
    rows.sumsValid = true;
    const uint16_t lightCount = block->lightCount;
    block->lightCount = 0;
    shadeUntexturedRows(rows);
    EXPECT_EQ(first.destination, second.destination);

    // Valid positions are read, not recomputed.
    block->lightCount = lightCount;
    rows.sumsValid = false;
    std::fill(positions.begin(), positions.end(), 5.0f);
    Picture third(width, height, 4);
    rows.destination = third.destination.data();
    shadeUntexturedRows(rows);
    EXPECT_NE(first.destination, third.destination);
}

// What the script reference promises: one white light from straight above
// whose strength and the ambience's add up to one full light, at the neutral
// exposure and without gloss, gives every pixel back (less the one level the
// integer steps lose).
TEST(NeutralLight, OneFullLightFromAboveKeepsThePhotograph) {
    ScratchSet scratch;
    const struct { int16_t intensity, ambience; } sums[] = {{32, 0}, {24, 16}};
    for (const auto& sum : sums) {
        Settings settings;
        settings.frameCenter = {100, 100};
        settings.frameCorner = {40, 40};
        settings.resetToDefaultStyle();
        LightSource& light = settings.lights[0];
        light.type = Directional;
        light.color[2] = 65535;
        light.vector0 = {0, 0}; // straight above
        light.intensity = sum.intensity;
        settings.ambience = sum.ambience;
        settings.exposure = 128;
        settings.gloss = 0;
        auto block = neutralBlock();
        fillParameterBlock(settings, 90, *block, BlockVariant::Dialog, 0);
        Picture picture(40, 5, 3);
        shadeUntexturedRows(untexturedOver(*block, picture, scratch.view));
        for (int y = 0; y < picture.height; ++y)
            for (int i = 0; i < 3 * picture.width; ++i) {
                const size_t at = size_t(y * picture.rowBytes + i);
                const int source = picture.source[at], lit = picture.destination[at];
                ASSERT_TRUE(lit <= source && lit >= source - 1)
                    << "intensity " << sum.intensity << ": " << source << " lit as " << lit;
            }
    }
}

namespace {
// A height map whose columns come in stretches of about 64 (as many as a
// chunk of a relief row has pixels, give or take two): level, level with
// stray bumps, or rough. Chunks of pixels are then all level, level but for
// a quarter or a few at their edges or within, or rough throughout.
std::vector<int32_t> patchyHeights(int width, int height, std::mt19937& random) {
    const int columns = width + 2, shift = int(random() % 5) - 2;
    std::vector<int> kindOfStretch(size_t(columns) / 64 + 2);
    for (int& kind : kindOfStretch)
        kind = int(random() % 3);
    std::vector<int32_t> heights(size_t(columns) * (height + 2));
    for (size_t i = 0; i < heights.size(); ++i) {
        const int column = int(i % columns);
        const int kind = kindOfStretch[size_t(std::max(column - shift, 0)) / 64];
        const bool bump = kind == 2 || (kind == 1 && random() % 12 == 0);
        heights[i] = 70000 + (bump ? int32_t(random() % 276480) - 138240 : 0);
    }
    return heights;
}

// The picture lit the facet builder's way, row piece by row piece: each
// pixel's facets (its level quarters joined into one) lit by the plain
// formulas and averaged by their weights.
std::vector<uint8_t> litByThePlainFormulas(const ParameterBlock& block, const Picture& picture,
                                           const std::vector<int32_t>& heights,
                                           const ShadingScratch& scratch) {
    std::vector<uint8_t> lit(picture.destination.size(), 0);
    for (int y = 0; y < picture.height; ++y) {
        for (int first = 0; first < picture.width; first += kMaxBatchPixels) {
            ReliefPiece piece{};
            piece.heights = heights.data() + size_t(picture.width + 2) * y;
            piece.heightsWidth = uint32_t(picture.width + 2);
            piece.firstColumn = first;
            piece.pixels = std::min(kMaxBatchPixels, picture.width - first);
            piece.source = picture.source.data() + size_t(picture.rowBytes) * y + 3 * first;
            piece.areaColumn = first;
            piece.areaRow = y;
            piece.areaWidth = picture.width;
            piece.areaHeight = picture.height;
            piece.scale = block.imageWidth / float(picture.width);
            const FacetBatch batch = buildReliefPiece(piece, scratch, FacetPlaces::PerFacet);
            referenceShadeBatch(block, batch, false);
            averageFacets(batch, lit.data() + size_t(picture.rowBytes) * y + 3 * first);
        }
    }
    return lit;
}
} // namespace

// Random lights of every kind, from ordinary to absurd, any material and
// exposure, over pictures up to two row pieces wide whose relief is level in
// places and rough in others.
TEST(ReliefStrip, LightsEveryPixelAsItsFacetsByThePlainFormulas) {
    std::mt19937 random(20261209);
    ScratchSet stripScratch, referenceScratch;
    for (int round = 0; round < 120; ++round) {
        auto block = randomBlock(random);
        const int width = round < 4 ? 64 * (round + 1) : int(random() % 300) + 1;
        const int height = int(random() % 4) + 1;
        Picture picture(width, height, uint32_t(round));
        const std::vector<int32_t> heights = patchyHeights(width, height, random);
        shadeStrip(stripOver(*block, picture, heights, stripScratch.view));
        ASSERT_EQ(picture.destination,
                  litByThePlainFormulas(*block, picture, heights, referenceScratch.view))
            << "round " << round << ", " << width << " x " << height << " pixels, "
            << block->lightCount << " lights";
    }
}
