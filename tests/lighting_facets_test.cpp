// Cutting pixels into facets by the relief around them, their normals, and
// averaging the lit facets back into pixels.
#include <bit>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "lighting/facets.h"
#include "lighting/relief_piece.h"
#include "lighting/shade_batch.h"

namespace {
Neighbourhood neighbourhood(std::initializer_list<int32_t> rowMajor) {
    Neighbourhood n;
    auto value = rowMajor.begin();
    for (auto& row : n.h)
        for (int32_t& h : row)
            h = *value++;
    return n;
}
} // namespace

TEST(Facets, LevelQuartersMergeIntoOneFacet) {
    PixelFacets level = facetsOfPixel(neighbourhood({5, 5, 5, 5, 5, 5, 5, 5, 5}));
    ASSERT_EQ(level.count, 1);
    EXPECT_EQ(level.weight[0], 16u);
    EXPECT_EQ(level.gx[0], 0);
    EXPECT_EQ(level.gy[0], 0);

    // Only the bottom-right corner is raised: three level quarters and one slope.
    PixelFacets corner = facetsOfPixel(neighbourhood({0, 0, 0, 0, 0, 0, 0, 0, 800}));
    ASSERT_EQ(corner.count, 2);
    EXPECT_EQ(corner.weight[0], 12u);
    EXPECT_EQ(corner.weight[1], 4u);
    EXPECT_EQ(corner.gx[1], 400);  // right side minus left side, halved
    EXPECT_EQ(corner.gy[1], -400); // top side minus bottom side, halved
}

TEST(Facets, FourSlopesGiveFourFacetsAndEqualSlopesStaySeparate) {
    PixelFacets peak = facetsOfPixel(neighbourhood({0, 0, 0, 0, 4096, 0, 0, 0, 0}));
    ASSERT_EQ(peak.count, 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(peak.weight[i], 4u);
    // Quarters in order top-left, top-right, bottom-right, bottom-left.
    EXPECT_EQ(peak.gx[0], 2048);
    EXPECT_EQ(peak.gy[0], -2048);
    EXPECT_EQ(peak.gx[1], -2048);
    EXPECT_EQ(peak.gy[1], -2048);
    EXPECT_EQ(peak.gx[2], -2048);
    EXPECT_EQ(peak.gy[2], 2048);

    PixelFacets ramp = facetsOfPixel(neighbourhood({0, 10, 20, 0, 10, 20, 0, 10, 20}));
    ASSERT_EQ(ramp.count, 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(ramp.gx[i], 10);
}

TEST(Facets, SlopeShiftsAreArithmetic) {
    PixelFacets facets;
    addFacet(0, -3, 0, 0, facets); // (-3 + 0) >> 1 = -2, not -1
    EXPECT_EQ(facets.gx[0], -2);
    EXPECT_EQ(facets.gy[0], -2);
}

TEST(Facets, NormalsAreUnitAndTiltAgainstTheSlope) {
    float n[3];
    facetNormal(0, 0, n);
    EXPECT_EQ(n[0], 0.0f);
    EXPECT_EQ(n[1], 0.0f);
    EXPECT_EQ(n[2], 1.0f);

    facetNormal(4096, 0, n); // rising to the right at 45°
    EXPECT_FLOAT_EQ(n[0], -0.70710677f);
    EXPECT_FLOAT_EQ(n[2], 0.70710677f);
    facetNormal(0, 4096, n); // the top side higher
    EXPECT_FLOAT_EQ(n[1], 0.70710677f);

    // The steepest relief: gx^2 + gy^2 far beyond 32 bits.
    facetNormal(276480, -276480, n);
    const double length =
        std::sqrt(double(n[0]) * n[0] + double(n[1]) * n[1] + double(n[2]) * n[2]);
    EXPECT_NEAR(length, 1.0, 1e-6);
    EXPECT_LT(n[0], -0.7f);
    EXPECT_LT(n[1], -0.7f);
    EXPECT_GT(n[2], 0.0f);
}

// The normals of a row's facets are worked out several at a time, as floats
// or widened with their mirrors: the same bits as one at a time for level,
// ordinary and steep slopes (whose squares leave the exact range of double
// precision), whatever the count (a relief row has 257 cells).
TEST(Facets, NormalsOfManyFacetsAreThoseOfOneAtATime) {
    std::mt19937 random(5);
    const int32_t kinds[] = {0, 276480, 1 << 25, (1 << 25) - 1, 1 << 28};
    for (int count : {1, 3, 4, 9, 255, 256, 257}) {
        std::vector<int32_t> gx(static_cast<size_t>(count)), gy(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            const auto slope = [&] {
                const int32_t reach = kinds[random() % 5];
                return reach == 0 ? 0 : int32_t(random() % uint32_t(reach)) - reach / 2;
            };
            gx[size_t(i)] = slope();
            gy[size_t(i)] = random() % 4 == 0 ? 0 : slope();
        }
        std::vector<float> many(3 * static_cast<size_t>(count)), one(many.size());
        facetNormals(gx.data(), gy.data(), count, many.data());
        for (int i = 0; i < count; ++i)
            facetNormal(gx[size_t(i)], gy[size_t(i)], one.data() + 3 * i);
        ASSERT_EQ(0, std::memcmp(many.data(), one.data(), many.size() * sizeof(float)))
            << count << " facets";

        std::vector<double> components[6];
        for (std::vector<double>& component : components)
            component.resize(size_t(count));
        normalsAndMirrors(gx.data(), gy.data(), count,
                          NormalsAndMirrors{components[0].data(), components[1].data(),
                                            components[2].data(), components[3].data(),
                                            components[4].data(), components[5].data()});
        for (size_t i = 0; i < size_t(count); ++i) {
            const double nx = one[3 * i], ny = one[3 * i + 1], nz = one[3 * i + 2];
            const double expected[6] = {nx, ny, nz, 2 * nz * nx, 2 * nz * ny, 2 * nz * nz - 1};
            for (int c = 0; c < 6; ++c)
                ASSERT_EQ(std::bit_cast<uint64_t>(components[c][i]),
                          std::bit_cast<uint64_t>(expected[c]))
                    << "component " << c << " of facet " << i << " of " << count;
        }
    }
}

// The relief light steps take the facet builder's normals, and their mirror
// images of the view direction, as no longer than kLongestFacetNormal for
// their bounds on the sums, without measuring them: so it must hold for every
// slope, as R is formed there (2 nz N - (0, 0, 1)).
TEST(Facets, NormalsAndTheirMirrorsStayWithinTheLightStepsBound) {
    std::mt19937 random(17);
    std::vector<int32_t> gx, gy;
    const int32_t extremes[] = {0, 1, -1, 4096, -276480, (1 << 25) - 1, 1 << 28, -(1 << 28)};
    for (int32_t x : extremes)
        for (int32_t y : extremes) {
            gx.push_back(x);
            gy.push_back(y);
        }
    for (int i = 0; i < 100000; ++i) {
        const int32_t reach = i % 2 ? 1 << 14 : 1 << 28;
        gx.push_back(int32_t(random() % uint32_t(2 * reach)) - reach);
        gy.push_back(int32_t(random() % uint32_t(2 * reach)) - reach);
    }
    std::vector<float> normals(3 * gx.size());
    facetNormals(gx.data(), gy.data(), int(gx.size()), normals.data());
    const double longestSquared = kLongestFacetNormal * kLongestFacetNormal;
    for (size_t i = 0; i < gx.size(); ++i) {
        const double nx = normals[3 * i], ny = normals[3 * i + 1], nz = normals[3 * i + 2];
        const double rx = 2.0 * nz * nx, ry = 2.0 * nz * ny, rz = 2.0 * nz * nz - 1.0;
        ASSERT_LE(nx * nx + ny * ny + nz * nz, longestSquared) << gx[i] << ", " << gy[i];
        ASSERT_LE(rx * rx + ry * ry + rz * rz, longestSquared) << gx[i] << ", " << gy[i];
    }
}

namespace {
// Each pixel of the row has the facets, weights, order and normals of its own
// neighbourhood.
void expectTheFacetsOfEachPixel(const std::vector<int32_t>& map, uint32_t width, int x, int y,
                                int pixels, RowCells* kept) {
    float normals[3 * 1024];
    uint32_t weights[5 * 256];
    uint8_t counts[256];
    const int32_t* row = map.data() + ptrdiff_t(width) * y;
    const int facets = facetsOfRow(row, width, x, pixels, kept, normals, weights, counts);
    int facet = 0;
    const uint32_t* weight = weights;
    for (int p = 0; p < pixels; ++p) {
        const PixelFacets expected =
            facetsOfPixel(gatherNeighbourhood(map.data(), width, x + p, y));
        ASSERT_EQ(counts[p], expected.count) << "pixel " << p << " of " << pixels << ", row " << y;
        for (int f = 0; f < expected.count; ++f, ++facet, ++weight) {
            float normal[3];
            facetNormal(expected.gx[f], expected.gy[f], normal);
            ASSERT_EQ(0, std::memcmp(normals + 3 * facet, normal, sizeof normal));
            ASSERT_EQ(*weight, expected.weight[f]);
        }
        ASSERT_EQ(*weight++, 0u) << "each pixel's weights end with 0";
    }
    EXPECT_EQ(facets, facet);
}
} // namespace

// A row's facets are found cell by cell, not pixel by pixel, alone or with the
// cells kept from the row above: on rough relief, on level ground, on terraces
// where some quarters are level and on slopes steep enough for the 64-bit path.
TEST(Facets, ARowGivesEachPixelTheFacetsOfItsNeighbourhood) {
    std::mt19937 random(15);
    const int32_t reaches[] = {1, 3, 276480, 1 << 28};
    for (int pixels : {1, 3, 255, 256}) {
        for (int32_t reach : reaches) {
            const int x = int(random() % 5);
            const uint32_t width = uint32_t(x + pixels + 3 + random() % 3);
            constexpr int kRows = 4;
            std::vector<int32_t> map((kRows + 2) * width);
            for (int32_t& h : map)
                h = int32_t(random() % uint32_t(reach)) - reach / 2;
            auto kept = std::make_unique<RowCells[]>(2);
            for (int y = 0; y < kRows; ++y) {
                expectTheFacetsOfEachPixel(map, width, x, y, pixels, nullptr);
                expectTheFacetsOfEachPixel(map, width, x, y, pixels, kept.get());
            }
            // Two pieces in turn with the same kept cells: neither takes the
            // other's.
            for (int y = 0; y < kRows; ++y) {
                expectTheFacetsOfEachPixel(map, width, x, y, pixels, kept.get());
                expectTheFacetsOfEachPixel(map, width, x + 1, y, pixels, kept.get());
            }
        }
    }
}

TEST(Facets, GatherReadsTheThreeByThreeBlockAtThePixel) {
    int32_t map[4 * 5];
    for (int i = 0; i < 20; ++i)
        map[i] = i;
    Neighbourhood n = gatherNeighbourhood(map, 5, 1, 1);
    EXPECT_EQ(n.h[0][0], 6);
    EXPECT_EQ(n.h[1][1], 12);
    EXPECT_EQ(n.h[2][2], 18);
}

// Rough pixels (four facets of weight 4) take a shorter way: it gives the
// weighted average, rounded down, for any lit bytes, beside pixels of other
// forms.
TEST(Facets, AveragingRoughPixelsGivesTheWeightedAverage) {
    std::mt19937 random(23);
    const std::vector<std::vector<uint32_t>> forms = {{4, 4, 4, 4}, {16}, {8, 4, 4}, {4, 4, 8}};
    std::vector<uint32_t> weights;
    std::vector<uint8_t> lit;
    std::vector<uint8_t> expected;
    int pixels = 0;
    for (int p = 0; p < 256; ++p, ++pixels) {
        const std::vector<uint32_t>& form = forms[p % 3 == 0 ? 1 + random() % 3 : 0];
        uint32_t sum[3] = {};
        for (uint32_t weight : form) {
            weights.push_back(weight);
            for (int c = 0; c < 3; ++c) {
                const uint8_t byte = p < 8 ? uint8_t(255 - p % 2) : uint8_t(random());
                lit.push_back(byte);
                sum[c] += weight * byte;
            }
        }
        weights.push_back(0);
        for (uint32_t s : sum)
            expected.push_back(uint8_t(s / 16));
    }
    FacetBatch batch;
    batch.count = int(lit.size() / 3);
    batch.pixels = pixels;
    batch.weights = weights.data();
    batch.lit = lit.data();
    std::vector<uint8_t> out(expected.size());
    averageFacets(batch, out.data());
    EXPECT_EQ(out, expected);
}

TEST(Facets, AveragingWeighsAndRoundsDown) {
    const uint32_t weights[] = {4, 4, 4, 4, 0, 16, 0, 8, 8, 0};
    const uint8_t lit[] = {10, 0,  255, 11, 0, 255, 11, 0, 255, 11, 0, 255, // four facets
                           77, 78, 79,                                      // one facet
                           1,  2,  3,   2,  2, 2};                          // two facets
    FacetBatch batch;
    batch.count = 7;
    batch.pixels = 3;
    batch.weights = weights;
    batch.lit = const_cast<uint8_t*>(lit);
    uint8_t out[9];
    averageFacets(batch, out);
    EXPECT_EQ(out[0], 10); // 43 / 4 = 10.75
    EXPECT_EQ(out[1], 0);
    EXPECT_EQ(out[2], 255);
    EXPECT_EQ(out[3], 77);
    EXPECT_EQ(out[5], 79);
    EXPECT_EQ(out[6], 1); // 1.5
    EXPECT_EQ(out[7], 2);
    EXPECT_EQ(out[8], 2); // 2.5
}
