// The scalar lighting formula: its saturating integer steps, which every
// vector form copies, and the ends of the material blend.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "lighting/lighting_formula.h"

namespace {
constexpr int64_t kLargest = std::numeric_limits<int32_t>::max();
constexpr int64_t kSmallest = std::numeric_limits<int32_t>::min();

int32_t heldInRange(int64_t wide) {
    return int32_t(std::clamp(wide, kSmallest, kLargest));
}
} // namespace

// The branch-free steps give what 64-bit arithmetic held at the 32-bit limits
// gives, at the limits themselves and anywhere between.
TEST(LightingFormula, SaturatingStepsAgreeWithWideArithmetic) {
    const int32_t edges[] = {0,
                             1,
                             -1,
                             2,
                             -2,
                             int32_t(kLargest),
                             int32_t(kLargest - 1),
                             int32_t(kSmallest),
                             int32_t(kSmallest + 1),
                             1 << 30,
                             -(1 << 30)};
    for (int32_t sum : edges)
        for (int32_t term : edges)
            ASSERT_EQ(addSaturated(sum, term), heldInRange(int64_t(sum) + term))
                << sum << " + " << term;
    std::mt19937 random(7);
    for (int i = 0; i < 100000; ++i) {
        const int32_t sum = int32_t(random()), term = int32_t(random());
        ASSERT_EQ(addSaturated(sum, term), heldInRange(int64_t(sum) + term))
            << sum << " + " << term;
    }

    const double limit = 2147483648.0;
    const struct {
        double share;
        int32_t truncated;
    } shares[] = {{0.9, 0},
                  {-0.9, 0},
                  {-1.5, -1},
                  {limit - 1.5, int32_t(kLargest - 1)},
                  {limit - 0.5, int32_t(kLargest)},
                  {limit, int32_t(kLargest)},
                  {-limit - 0.5, int32_t(kSmallest)},
                  {1e300, int32_t(kLargest)},
                  {-INFINITY, int32_t(kSmallest)},
                  {INFINITY, int32_t(kLargest)},
                  {NAN, int32_t(kLargest)}};
    for (const auto& s : shares)
        EXPECT_EQ(truncSaturated(s.share), s.truncated) << s.share;
}

// Between plastic (0) and metal (256) the highlight blends white into the
// surface colour: at either end the blend is the pure kind, for every colour.
TEST(LightingFormula, MaterialBlendMeetsWhiteAndSurfaceColourAtItsEnds) {
    EXPECT_EQ(highlightOf(-5), Highlight::White);
    EXPECT_EQ(highlightOf(0), Highlight::White);
    EXPECT_EQ(highlightOf(1), Highlight::Blend);
    EXPECT_EQ(highlightOf(255), Highlight::Blend);
    EXPECT_EQ(highlightOf(256), Highlight::SurfaceColour);
    for (int64_t colour = 0; colour < 256; ++colour) {
        const MaterialTerms plastic{200, 0, 256}, metal{200, 256, 256};
        ASSERT_EQ(highlightFactor<Highlight::Blend>(plastic, colour),
                  highlightFactor<Highlight::White>(plastic, colour));
        ASSERT_EQ(highlightFactor<Highlight::Blend>(metal, colour),
                  highlightFactor<Highlight::SurfaceColour>(metal, colour));
        const MaterialTerms half{200, 128, 256};
        const int64_t blend = highlightFactor<Highlight::Blend>(half, colour);
        EXPECT_GE(blend, highlightFactor<Highlight::SurfaceColour>(half, colour));
        EXPECT_LE(blend, highlightFactor<Highlight::White>(half, colour));
    }
}
