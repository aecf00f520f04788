#include "lighting/det_math.h"

#include <cstdint>
#include <cstring>
#include <limits>

namespace {
constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// pi/2 in three pieces of 33 bits each with their tails, so that n * piece is
// exact and a reduced angle keeps its accuracy close to a multiple of pi/2.
constexpr double kPiOver2Part1 = 1.57079632673412561417e+00;
constexpr double kPiOver2Tail1 = 6.07710050650619224932e-11;
constexpr double kPiOver2Part2 = 6.07710050630396597660e-11;
constexpr double kPiOver2Tail2 = 2.02226624879595063154e-21;
constexpr double kPiOver2Part3 = 2.02226624871116645580e-21;
constexpr double kPiOver2Tail3 = 8.47842766036889956997e-32;
constexpr double kPiOver2 = 1.57079632679489655800e+00;
constexpr double kTwoOverPi = 6.36619772367581382433e-01;

// ln 2 with a short leading part, so that k * kLn2Hi is exact.
constexpr double kLn2Hi = 6.93147180369123816490e-01;
constexpr double kLn2Lo = 1.90821492927058770002e-10;
constexpr double kInvLn2 = 1.44269504088896338700e+00;
constexpr double kExpOverflow = 7.09782712893383973096e+02;
constexpr double kExpUnderflow = -7.45133219101941108420e+02;

uint64_t bitsOf(double x) {
    uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

double fromBits(uint64_t bits) {
    double x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

int biasedExponent(double x) {
    return int((bitsOf(x) >> 52) & 0x7ff);
}

bool isFinite(double x) {
    return x - x == 0;
}

double roundToNearest(double x) {
    return double(int64_t(x < 0 ? x - 0.5 : x + 0.5));
}

// y * 2^k, also where the result leaves the normal range.
double scaleByPowerOfTwo(double y, int k) {
    auto power = [](int e) { return fromBits(uint64_t(e + 1023) << 52); };
    if (k < -1021)
        return y * power(k + 54) * 0x1p-54;
    if (k > 1023)
        return y * 2.0 * power(k - 1);
    return y * power(k);
}

// A value carried as an unevaluated sum hi + lo, |lo| below half an ulp of hi.
struct DoubleDouble {
    double hi, lo;
};

DoubleDouble fastTwoSum(double big, double small) {
    double sum = big + small;
    return {sum, small - (sum - big)};
}

DoubleDouble twoSum(double a, double b) {
    double sum = a + b;
    double bPart = sum - a;
    return {sum, (a - (sum - bPart)) + (b - bPart)};
}

// Splits into two halves of 26 bits whose products are exact.
void split(double a, double& hi, double& lo) {
    double t = 134217729.0 * a;
    hi = t - (t - a);
    lo = a - hi;
}

// The exact product as hi + lo, without fused multiply-add.
DoubleDouble twoProduct(double a, double b) {
    double aHi, aLo, bHi, bLo;
    split(a, aHi, aLo);
    split(b, bHi, bLo);
    double product = a * b;
    double error = ((aHi * bHi - product) + aHi * bLo + aLo * bHi) + aLo * bLo;
    return {product, error};
}

// Minimax polynomials on |x| <= pi/4; y is the tail of the reduced angle.
double sinKernel(double x, double y) {
    double z = x * x;
    double v = z * x;
    double r = 8.33333333332248946124e-03 +
               z * (-1.98412698298579493134e-04 +
                    z * (2.75573137070700676789e-06 +
                         z * (-2.50507602534068634195e-08 + z * 1.58969099521155010221e-10)));
    return x - ((z * (0.5 * y - v * r) - y) - v * -1.66666666666666324348e-01);
}

double cosKernel(double x, double y) {
    double z = x * x;
    double r =
        z * (4.16666666666666019037e-02 +
             z * (-1.38888888888741095749e-03 +
                  z * (2.48015872894767294178e-05 +
                       z * (-2.75573143513906633035e-07 +
                            z * (2.08757232129817482790e-09 + z * -1.13596475577881948265e-11)))));
    double half = 0.5 * z;
    double w = 1.0 - half;
    return w + (((1.0 - w) - half) + (z * r - x * y));
}

// x = quadrant * pi/2 + (hi + lo), |hi + lo| <= pi/4. A further piece of pi/2
// is taken whenever the subtraction cancelled many leading bits.
struct ReducedAngle {
    double hi, lo;
    int quadrant;
};

ReducedAngle reduceQuarterTurns(double x) {
    double n = roundToNearest(x * kTwoOverPi);
    int exponent = biasedExponent(x);
    double r = x - n * kPiOver2Part1;
    double w = n * kPiOver2Tail1;
    double hi = r - w;
    if (exponent - biasedExponent(hi) > 16) {
        double t = r;
        w = n * kPiOver2Part2;
        r = t - w;
        w = n * kPiOver2Tail2 - ((t - r) - w);
        hi = r - w;
        if (exponent - biasedExponent(hi) > 49) {
            t = r;
            w = n * kPiOver2Part3;
            r = t - w;
            w = n * kPiOver2Tail3 - ((t - r) - w);
            hi = r - w;
        }
    }
    return {hi, (r - hi) - w, int(int64_t(n) & 3)};
}

// atan(t) = t - atanCorrection(t) for |t| <= 7/16.
double atanCorrection(double t) {
    static const double a[11] = {
        3.33333333333329318027e-01,  -1.99999999998764832476e-01, 1.42857142725034663711e-01,
        -1.11111104054623557880e-01, 9.09088713343650656196e-02,  -7.69187620504482999495e-02,
        6.66107313738753120669e-02,  -5.83357013379057348645e-02, 4.97687799461593236017e-02,
        -3.65315727442169155270e-02, 1.62858201153657823623e-02};
    double z = t * t;
    double w = z * z;
    double odd = z * (a[0] + w * (a[2] + w * (a[4] + w * (a[6] + w * (a[8] + w * a[10])))));
    double even = w * (a[1] + w * (a[3] + w * (a[5] + w * (a[7] + w * a[9]))));
    return t * (odd + even);
}

// x = 2^k * (1 + f) with 1 + f in [sqrt(2)/2, sqrt(2)); x positive and finite.
struct LogParts {
    int k;
    double f;
};

LogParts splitForLog(double x) {
    int k = 0;
    if (biasedExponent(x) == 0) { // subnormal: scale into the normal range first
        x *= 0x1p54;
        k = -54;
    }
    uint64_t bits = bitsOf(x);
    k += int((bits >> 52) & 0x7ff) - 1023;
    double m = fromBits((bits & 0x000fffffffffffffULL) | (uint64_t(1023) << 52));
    if (m > 1.4142135623730951) {
        m *= 0.5;
        ++k;
    }
    return {k, m - 1.0};
}

// log(1 + f) = 2s + s * R(s^2), s = f / (2 + f); this is R.
double logRemainder(double s) {
    double z = s * s;
    double w = z * z;
    double t1 = w * (3.999999999940941908e-01 +
                     w * (2.222219843214978396e-01 + w * 1.531383769920937332e-01));
    double t2 = z * (6.666666666666735130e-01 +
                     w * (2.857142874366239149e-01 +
                          w * (1.818357216161805012e-01 + w * 1.479819860511658591e-01)));
    return t1 + t2;
}

// log(x) to about 100 bits, for the products of detPow.
DoubleDouble logDoubleDouble(double x) {
    LogParts parts = splitForLog(x);
    double f = parts.f;
    double u = 2.0 + f;
    double uLo = f - (u - 2.0); // the rounding error of 2 + f, exactly
    double s = f / u;
    DoubleDouble su = twoProduct(s, u);
    double sLo = (((f - su.hi) - su.lo) - s * uLo) / u;
    DoubleDouble lead = twoSum(parts.k * kLn2Hi, 2.0 * s);
    double rest = lead.lo + (parts.k * kLn2Lo + (2.0 * sLo + s * logRemainder(s)));
    return fastTwoSum(lead.hi, rest);
}
} // namespace

double detSin(double x) {
    if (!isFinite(x))
        return kNaN;
    ReducedAngle r = reduceQuarterTurns(x);
    switch (r.quadrant) {
    case 0:
        return sinKernel(r.hi, r.lo);
    case 1:
        return cosKernel(r.hi, r.lo);
    case 2:
        return -sinKernel(r.hi, r.lo);
    default:
        return -cosKernel(r.hi, r.lo);
    }
}

double detCos(double x) {
    if (!isFinite(x))
        return kNaN;
    ReducedAngle r = reduceQuarterTurns(x);
    switch (r.quadrant) {
    case 0:
        return cosKernel(r.hi, r.lo);
    case 1:
        return -sinKernel(r.hi, r.lo);
    case 2:
        return -cosKernel(r.hi, r.lo);
    default:
        return sinKernel(r.hi, r.lo);
    }
}

double detAtan(double x) {
    static const double atanHi[4] = {4.63647609000806093515e-01, 7.85398163397448278999e-01,
                                     9.82793723247329054082e-01, 1.57079632679489655800e+00};
    static const double atanLo[4] = {2.26987774529616870924e-17, 3.06161699786838301793e-17,
                                     1.39033110312309984516e-17, 6.12323399573676603587e-17};
    if (x != x)
        return x;
    bool negative = x < 0;
    double ax = negative ? -x : x;
    double result;
    if (ax < 0.4375) {
        result = ax - atanCorrection(ax);
    } else {
        // atan(ax) = atan(c) + atan(t) for a nearby c with known atan.
        int id;
        double t;
        if (ax < 0.6875) {
            id = 0;
            t = (2.0 * ax - 1.0) / (2.0 + ax);
        } else if (ax < 1.1875) {
            id = 1;
            t = (ax - 1.0) / (ax + 1.0);
        } else if (ax < 2.4375) {
            id = 2;
            t = (ax - 1.5) / (1.0 + 1.5 * ax);
        } else {
            id = 3;
            t = ax > 1e300 ? 0.0 : -1.0 / ax;
        }
        result = atanHi[id] - ((atanCorrection(t) - atanLo[id]) - t);
    }
    return negative ? -result : result;
}

double detAsin(double x) {
    if (x >= 1.0)
        return kPiOver2;
    if (x <= -1.0)
        return -kPiOver2;
    return detAtan(x / detSqrt((1.0 - x) * (1.0 + x)));
}

double detAcos(double x) {
    if (x >= 1.0)
        return 0.0;
    if (x <= -1.0)
        return 2.0 * kPiOver2;
    return 2.0 * detAtan(detSqrt((1.0 - x) / (1.0 + x)));
}

double detExp(double x) {
    if (x != x)
        return x;
    if (x > kExpOverflow)
        return kInfinity;
    if (x < kExpUnderflow)
        return 0.0;
    // x = k ln2 + r, |r| <= ln2 / 2; exp(r) by a rational approximation.
    double k = roundToNearest(x * kInvLn2);
    double hi = x - k * kLn2Hi;
    double lo = k * kLn2Lo;
    double r = hi - lo;
    double z = r * r;
    double c =
        r - z * (1.66666666666666019037e-01 +
                 z * (-2.77777777770155933842e-03 +
                      z * (6.61375632143793436117e-05 +
                           z * (-1.65339022054652515390e-06 + z * 4.13813679705723846039e-08))));
    double y = 1.0 - ((lo - (r * c) / (2.0 - c)) - hi);
    return scaleByPowerOfTwo(y, int(k));
}

double detLog(double x) {
    if (x != x || x < 0)
        return kNaN;
    if (x == 0)
        return -kInfinity;
    if (x == kInfinity)
        return x;
    LogParts parts = splitForLog(x);
    double f = parts.f;
    double s = f / (2.0 + f);
    double halfSquare = 0.5 * f * f;
    double r = logRemainder(s);
    return parts.k * kLn2Hi - ((halfSquare - (s * (halfSquare + r) + parts.k * kLn2Lo)) - f);
}

double detPow(double x, double y) {
    if (y == 0 || x == 1.0)
        return 1.0;
    if (x != x || y != y || x < 0)
        return kNaN;
    if (x == 0)
        return y > 0 ? 0.0 : kInfinity;
    if (x == kInfinity)
        return y > 0 ? kInfinity : 0.0;
    DoubleDouble logX = logDoubleDouble(x);
    DoubleDouble product = twoProduct(y, logX.hi);
    if (!(product.hi < 700 && product.hi > -700))
        return detExp(product.hi); // overflow, underflow or near them: no tail needed
    product = fastTwoSum(product.hi, product.lo + y * logX.lo);
    double power = detExp(product.hi);
    return power + power * product.lo;
}
