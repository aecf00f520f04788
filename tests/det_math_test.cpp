// The deterministic elementary functions against the C library, in units in
// the last place, over the ranges the lighting uses and somewhat beyond. Only
// the native C library is accurate enough to judge by (the Windows runtime's
// sine is far off near multiples of pi/2); the determinism check shows that
// the Win32 build computes the very same bits, so the native verdict holds
// for both.
#include "lighting/det_math.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>

#include <gtest/gtest.h>

namespace {
// Ordered integer view of a double: neighbours differ by one.
int64_t orderedBits(double x) {
    int64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return bits < 0 ? std::numeric_limits<int64_t>::min() - bits : bits;
}

int64_t ulpDistance(double a, double b) {
    int64_t d = orderedBits(a) - orderedBits(b);
    return d < 0 ? -d : d;
}

// The largest distance over `count` evenly spread arguments in [from, to].
struct WorstCase {
    int64_t ulps = 0;
    double argument = 0;
};

WorstCase worstOver(double from, double to, int count, const std::function<double(double)>& ours,
                    const std::function<double(double)>& reference) {
    WorstCase worst;
    for (int i = 0; i <= count; ++i) {
        double x = from + (to - from) * i / count;
        int64_t d = ulpDistance(ours(x), reference(x));
        if (d > worst.ulps)
            worst = {d, x};
    }
    return worst;
}

constexpr int64_t kTolerance = 2; // the C library itself may be a unit off
constexpr int kSamples = 20000;

void expectClose(double from, double to, double (*ours)(double), double (*reference)(double)) {
    WorstCase worst = worstOver(from, to, kSamples, ours, reference);
    EXPECT_LE(worst.ulps, kTolerance) << "at " << worst.argument;
}

#ifdef _WIN32
#define SKIP_WITHOUT_ACCURATE_C_LIBRARY() GTEST_SKIP() << "judged in the native build"
#else
#define SKIP_WITHOUT_ACCURATE_C_LIBRARY()
#endif

double cmathSin(double x) {
    return std::sin(x);
}
double cmathCos(double x) {
    return std::cos(x);
}
double cmathAtan(double x) {
    return std::atan(x);
}
double cmathAsin(double x) {
    return std::asin(x);
}
double cmathAcos(double x) {
    return std::acos(x);
}
double cmathExp(double x) {
    return std::exp(x);
}
double cmathLog(double x) {
    return std::log(x);
}
} // namespace

TEST(DetMath, SineAndCosineOverSeveralTurns) {
    SKIP_WITHOUT_ACCURATE_C_LIBRARY();
    expectClose(-20.0, 20.0, detSin, cmathSin);
    expectClose(-20.0, 20.0, detCos, cmathCos);
    expectClose(-1e-3, 1e-3, detSin, cmathSin);
    // Close to multiples of pi/2 the reduction must not lose the small result.
    for (int quarter = 1; quarter < 200; ++quarter) {
        double x = quarter * 1.5707963267948966;
        EXPECT_LE(ulpDistance(detSin(x), std::sin(x)), kTolerance) << x;
        EXPECT_LE(ulpDistance(detCos(x), std::cos(x)), kTolerance) << x;
    }
}

TEST(DetMath, InverseTrigonometry) {
    SKIP_WITHOUT_ACCURATE_C_LIBRARY();
    expectClose(-50.0, 50.0, detAtan, cmathAtan);
    expectClose(-1e6, 1e6, detAtan, cmathAtan);
    expectClose(-1.0, 1.0, detAsin, cmathAsin);
    expectClose(-1.0, 1.0, detAcos, cmathAcos);
    expectClose(0.99, 1.0, detAcos, cmathAcos); // the spot table's end
}

TEST(DetMath, ExponentialAndLogarithm) {
    SKIP_WITHOUT_ACCURATE_C_LIBRARY();
    expectClose(-30.0, 30.0, detExp, cmathExp);
    expectClose(-744.0, 709.0, detExp, cmathExp); // includes subnormal results
    expectClose(1e-6, 4.0, detLog, cmathLog);
    expectClose(1.0, 1e300, detLog, cmathLog);
    EXPECT_LE(ulpDistance(detLog(1e-310), std::log(1e-310)), kTolerance);
}

TEST(DetMath, PowerOverTheFalloffRanges) {
    SKIP_WITHOUT_ACCURATE_C_LIBRARY();
    // Bases and exponents of the spot falloff: q in 0.25..1.75 to 1..5, and
    // t in 0..1 to 0.25..16.4; large y log x is where a plain exp(y log x) drifts.
    int64_t worst = 0;
    for (int i = 1; i <= 400; ++i) {
        double base = i / 200.0;
        for (int j = 0; j <= 60; ++j) {
            double exponent = 0.25 + j * 0.3;
            worst = std::max(worst, ulpDistance(detPow(base, exponent), std::pow(base, exponent)));
        }
    }
    EXPECT_LE(worst, kTolerance);
}

TEST(DetMath, EdgesOfTheRangesStayDefined) {
    const double infinity = std::numeric_limits<double>::infinity();
    EXPECT_EQ(detAcos(1.0000001), 0.0); // a cosine rounded past 1
    EXPECT_EQ(detAsin(-1.5), detAsin(-1.0));
    EXPECT_EQ(detLog(0.0), -infinity);
    EXPECT_EQ(detExp(800.0), infinity);
    EXPECT_EQ(detExp(-800.0), 0.0);
    EXPECT_GT(detExp(-740.0), 0.0); // subnormal, not a wrapped exponent
    EXPECT_LT(detExp(-740.0), 1e-320);
    EXPECT_EQ(detPow(0.0, 2.5), 0.0);
    EXPECT_EQ(detPow(0.3, 0.0), 1.0);
    EXPECT_EQ(detPow(1.75, 5.0), 16.4130859375); // 1.75^5 exactly
    EXPECT_EQ(detSin(0.0), 0.0);
    EXPECT_EQ(detCos(0.0), 1.0);
    EXPECT_TRUE(std::isnan(detSin(infinity)));
}
