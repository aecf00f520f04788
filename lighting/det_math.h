#pragma once

// Elementary functions computed by our own code, so that the native and the
// 32-bit Windows builds give the same bits: the C runtimes of the two systems
// do not agree in the last place, and their results feed stored f32 values.
// Every function is plain double arithmetic (SSE2, no fused multiply-add) and
// accurate to about one unit in the last place.
double detSqrt(double x);
double detSin(double x);
double detCos(double x);
double detAtan(double x);
double detAsin(double x); // |x| <= 1
double detAcos(double x); // |x| <= 1
double detExp(double x);
double detLog(double x);      // x > 0
double detPow(double x, double y); // x > 0
