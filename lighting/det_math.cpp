#include "lighting/det_math.h"

#include <cstdint>
#include <cstring>
#include <limits>

namespace {
constexpr double kPiOver2Hi = 1.57079632673412561417e+00;   // first 33 bits of pi/2
constexpr double kPiOver2Tail = 6.07710050650619224932e-11; // pi/2 - kPiOver2Hi
constexpr double kPiOver2 = 1.57079632679489655800e+00;
constexpr double kTwoOverPi = 6.36619772367581382433e-01;
constexpr double kLn2Hi = 6.93147180369123816490e-01;
constexpr double kLn2Lo = 1.90821492927058770002e-10;
constexpr double kInvLn2 = 1.44269504088896338700e+00;

double roundToNearest(double x) { return double(int64_t(x < 0 ? x - 0.5 : x + 0.5)); }

// Minimax polynomials on |r| <= pi/4.
double sinKernel(double r) {
    double z = r * r;
    double p = 1.58969099521155010221e-10;
    p = p * z - 2.50507602534068634195e-08;
    p = p * z + 2.75573137070700676789e-06;
    p = p * z - 1.98412698298579493134e-04;
    p = p * z + 8.33333333332248946124e-03;
    p = p * z - 1.66666666666666324348e-01;
    return r + r * z * p;
}

double cosKernel(double r) {
    double z = r * r;
    double p = -1.13596475577881948265e-11;
    p = p * z + 2.08757232129817482790e-09;
    p = p * z - 2.75573143513906633035e-07;
    p = p * z + 2.48015872894767294178e-05;
    p = p * z - 1.38888888888741095749e-03;
    p = p * z + 4.16666666666666019037e-02;
    double half = 0.5 * z;
    double w = 1.0 - half;
    return w + (((1.0 - w) - half) + z * z * p);
}

// x = n * pi/2 + r with |r| <= pi/4; good for the moderate angles we use.
double reduceQuarterTurns(double x, int& quadrant) {
    double n = roundToNearest(x * kTwoOverPi);
    quadrant = int(int64_t(n) & 3);
    return (x - n * kPiOver2Hi) - n * kPiOver2Tail;
}

// atan on [0, 7/16] by polynomial; larger arguments are reduced first.
double atanPolynomial(double x) {
    static const double a[11] = {3.33333333333329318027e-01,  -1.99999999998764832476e-01,
                                 1.42857142725034663711e-01,  -1.11111104054623557880e-01,
                                 9.09088713343650656196e-02,  -7.69187620504482999495e-02,
                                 6.66107313738753120669e-02,  -5.83357013379057348645e-02,
                                 4.97687799461593236017e-02,  -3.65315727442169155270e-02,
                                 1.62858201153657823623e-02};
    double z = x * x;
    double w = z * z;
    double odd = z * (a[0] + w * (a[2] + w * (a[4] + w * (a[6] + w * (a[8] + w * a[10])))));
    double even = w * (a[1] + w * (a[3] + w * (a[5] + w * (a[7] + w * a[9]))));
    return x - x * (odd + even);
}
} // namespace

double detSqrt(double x) { return __builtin_sqrt(x); }

double detSin(double x) {
    int quadrant;
    double r = reduceQuarterTurns(x, quadrant);
    switch (quadrant) {
    case 0: return sinKernel(r);
    case 1: return cosKernel(r);
    case 2: return -sinKernel(r);
    default: return -cosKernel(r);
    }
}

double detCos(double x) {
    int quadrant;
    double r = reduceQuarterTurns(x, quadrant);
    switch (quadrant) {
    case 0: return cosKernel(r);
    case 1: return -sinKernel(r);
    case 2: return -cosKernel(r);
    default: return sinKernel(r);
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
        result = atanPolynomial(ax);
    } else {
        int id;
        double t;
        if (ax < 1.1875) {
            if (ax < 0.6875) {
                id = 0;
                t = (2.0 * ax - 1.0) / (2.0 + ax);
            } else {
                id = 1;
                t = (ax - 1.0) / (ax + 1.0);
            }
        } else if (ax < 2.4375) {
            id = 2;
            t = (ax - 1.5) / (1.0 + 1.5 * ax);
        } else {
            id = 3;
            t = ax > 1e300 ? 0.0 : -1.0 / ax;
        }
        result = atanHi[id] - ((t - atanPolynomial(t)) - atanLo[id] - t);
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
    if (x > 709.0)
        return std::numeric_limits<double>::infinity();
    if (x < -745.0)
        return 0.0;
    double k = roundToNearest(x * kInvLn2);
    double hi = x - k * kLn2Hi;
    double lo = k * kLn2Lo;
    double r = hi - lo;
    double z = r * r;
    double c = r - z * (1.66666666666666019037e-01 +
                        z * (-2.77777777770155933842e-03 +
                             z * (6.61375632143793436117e-05 +
                                  z * (-1.65339022054652515390e-06 + z * 4.13813679705723846039e-08))));
    double y = 1.0 - ((lo - (r * c) / (2.0 - c)) - hi);
    // Scale by 2^k through the exponent field.
    int64_t bits;
    std::memcpy(&bits, &y, sizeof bits);
    bits += int64_t(k) << 52;
    std::memcpy(&y, &bits, sizeof bits);
    return y;
}

double detLog(double x) {
    if (!(x > 0))
        return x == 0 ? -std::numeric_limits<double>::infinity()
                      : std::numeric_limits<double>::quiet_NaN();
    int64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    int exponent = int((bits >> 52) & 0x7ff);
    if (exponent == 0) { // subnormal: scale into the normal range first
        return detLog(x * 18014398509481984.0) - 54 * (kLn2Hi + kLn2Lo);
    }
    int k = exponent - 1023;
    bits = (bits & 0x000fffffffffffffLL) | (int64_t(1023) << 52);
    double m;
    std::memcpy(&m, &bits, sizeof bits);
    if (m > 1.4142135623730951) { // keep m in [sqrt(2)/2, sqrt(2))
        m *= 0.5;
        ++k;
    }
    // log(m) = 2 atanh(s), s = (m - 1) / (m + 1), |s| < 0.1716
    double f = m - 1.0;
    double s = f / (2.0 + f);
    double z = s * s;
    double w = z * z;
    double t1 = w * (3.999999999940941908e-01 +
                     w * (2.222219843214978396e-01 + w * 1.531383769920937332e-01));
    double t2 = z * (6.666666666666735130e-01 +
                     w * (2.857142874366239149e-01 +
                          w * (1.818357216161805012e-01 + w * 1.479819860511658591e-01)));
    double r = t1 + t2;
    double halfSquare = 0.5 * f * f;
    return k * kLn2Hi - ((halfSquare - (s * (halfSquare + r) + k * kLn2Lo)) - f);
}

double detPow(double x, double y) {
    if (y == 0)
        return 1.0;
    if (x == 1.0)
        return 1.0;
    return detExp(y * detLog(x));
}
