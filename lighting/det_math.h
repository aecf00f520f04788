#pragma once

// Elementary functions computed by our own code, so that the native and the
// 32-bit Windows builds give the same bits: the C runtimes of the two systems
// do not agree in the last place, and their results feed stored f32 values.
// Every function is plain double arithmetic (SSE2, no fused multiply-add) and
// accurate to about one unit in the last place.
inline double detSqrt(double x) {
    return __builtin_sqrt(x);
} // the exact instruction
double detSin(double x); // |x| < 2^20 * pi / 2
double detCos(double x); // likewise
double detAtan(double x);
double detAsin(double x); // |x| <= 1; beyond, the nearest end of the range
double detAcos(double x); // |x| <= 1; beyond, the nearest end of the range
double detExp(double x);
double detLog(double x);           // x >= 0
double detPow(double x, double y); // x >= 0

// The lighting's formulas take pi as the single-precision 3.1415927.
constexpr double kSinglePrecisionPi = double(3.1415927f);
