#pragma once
#include <cstdint>
#include <type_traits>

#include "lighting/det_math.h"
#include "lighting/render_light.h"

// The lighting formula, one light on one facet and then the material step on
// one channel, in plain scalar steps. This is its one definition: the tests'
// reference shader applies these functions facet by facet, and the kernels
// (accumulate_relief*.cpp, accumulate_untextured*.cpp, shade_batch.cpp) take
// the same steps in SSE2 and AVX vectors.
//
// Why the vector forms give the same bits:
// - Addition, multiplication, division, square root and the conversion to
//   single precision round correctly in SSE2 and AVX alike, one lane as the
//   scalar instruction; there is no fused multiply-add in either build. A lane
//   that takes the operations of a function below in its order, on the same
//   operands, gets its bits.
// - The kernels may work a value out once for many facets (e per pixel, I x n
//   per untextured light, N and R per chunk) but never change the order of
//   the operations that make it.
// - For omni and directional lights the falloff f is 1, and x × 1 = x, so the
//   vector forms leave that multiplication out.
// - Where the formula skips a facet (N.L or R.L not above 0, outside a spot's
//   cone), a vector form adds a share masked to 0, and sum + 0 is the sum.
// - truncSaturated and addSaturated are what the clamping vector steps do
//   (min and max against kSumUpper and kSumLower, with NaN held at the upper
//   limit). Where a bound on the sums shows that nothing can reach the
//   limits, the kernels truncate and add without clamping, which then gives
//   the same.
// - The material step is integer arithmetic; the 32-bit build and the AVX
//   steps take it in double precision. Every value there is an integer below
//   2^47 (a 33-bit light times a byte plus a 23-bit highlight times a 23-bit
//   factor), so every product and sum is exact and equals the 64-bit integer
//   step's; value >> 8 and the shift by 15 are exact divisions by powers of
//   two truncated toward zero, which for the non-negative values that can
//   light a byte is rounding down. With an exposure of 0 or more (which the
//   double forms need) a negative value gives 0 either way, and value >> 8 at
//   or above 255 x 32768 gives 255 for any exposure from 1 on, so the double
//   forms hold it there to keep the product with the exposure exact.

// The 32-bit sums' limits as doubles: shares are truncated into them, and
// while bounds on the sums stay below kSumUpper nothing needs clamping.
constexpr double kSumUpper = 2147483647.0, kSumLower = -2147483648.0;

// How the highlight takes its colour: white for plastic, the surface colour
// for metal, a blend of the two in between.
enum class Highlight { White, Blend, SurfaceColour };

// The block's material settings, widened for the material step.
struct MaterialTerms {
    int64_t gloss, material, exposure;
};

// The functions below are compiled into each file that includes this header,
// with internal linkage: the AVX files include it too, and their copies must
// not stand in for those of the SSE2 files at link time.
namespace {
inline Highlight highlightOf(int material) {
    return material <= 0     ? Highlight::White
           : material >= 256 ? Highlight::SurfaceColour
                             : Highlight::Blend;
}

// Calls apply with the material's Highlight as a type, whose ::value is a
// constant, so that the material steps are built once for each kind.
template <typename Apply> void withHighlightOf(int material, Apply apply) {
    switch (highlightOf(material)) {
    case Highlight::White:
        apply(std::integral_constant<Highlight, Highlight::White>{});
        break;
    case Highlight::Blend:
        apply(std::integral_constant<Highlight, Highlight::Blend>{});
        break;
    case Highlight::SurfaceColour:
        apply(std::integral_constant<Highlight, Highlight::SurfaceColour>{});
        break;
    }
}

// Truncation toward zero into 32 bits; out-of-range values saturate (NaN as
// the largest value), so that absurd geometry (a light far away, a block from
// the host with any content) stays defined.
inline int32_t truncSaturated(double x) {
    x = x < kSumUpper ? x : kSumUpper;
    x = x > kSumLower ? x : kSumLower;
    return int32_t(x);
}

// sum + term, held at the 32-bit limits instead of wrapping: an overflow is
// when both operands share a sign that the wrapped sum lacks.
inline int32_t addSaturated(int32_t sum, int32_t term) {
    const uint32_t a = uint32_t(sum), b = uint32_t(term), wrapped = a + b;
    const uint32_t overflow = uint32_t(int32_t((a ^ wrapped) & (b ^ wrapped)) >> 31);
    const uint32_t limit = (a >> 31) + 0x7FFFFFFFu; // INT32_MAX, or INT32_MIN below zero
    return int32_t((wrapped & ~overflow) | (limit & overflow));
}

// (a.x b.x + a.y b.y) + a.z b.z: N.L and R.L, |L|^2, the spot's L.axis.
inline double dotOf(double ax, double ay, double az, double bx, double by, double bz) {
    return (ax * bx + ay * by) + az * bz;
}

// The spot's falloff table entry for the cosine a; whatever rounding makes
// of a, the index stays inside the table.
inline double falloffEntry(const float* table, double start, double scale, float a) {
    constexpr int kLastEntry = RenderLight::kMaxFalloffEntries - 1;
    const int32_t index = truncSaturated((a - start) * scale);
    return table[index < 0 ? 0 : index > kLastEntry ? kLastEntry : index];
}

// One light as the pixel centred at (x, y) sees it: L towards the light,
// e = 1 / |L|, the spot falloff f (1 for the other types), and whether the
// pixel is lit at all (not outside a spot's cone).
struct LightAtPixel {
    bool lit = true;
    double x = 0, y = 0, z = 0, e = 0, falloff = 1.0;
};

inline LightAtPixel lightAtPixel(const RenderLight& light, float x, float y) {
    LightAtPixel l;
    const bool directional = light.type == Directional;
    l.x = directional ? double(light.direction[0]) : double(light.point[0]) - x;
    l.y = directional ? double(light.direction[1]) : double(light.point[1]) - y;
    l.z = directional ? light.direction[2] : light.point[2];
    l.e = 1.0 / detSqrt(dotOf(l.x, l.y, l.z, l.x, l.y, l.z));
    if (light.type != Spot)
        return l;
    // The spot keeps e and the cosine a in single precision.
    const float e = float(l.e);
    const float a = float(
        -dotOf(l.x, l.y, l.z, light.direction[0], light.direction[1], light.direction[2]) * e);
    l.e = e;
    l.lit = a > light.coneCosine;
    if (l.lit)
        l.falloff = falloffEntry(light.falloff, light.falloffStart, light.falloffScale, a);
    return l;
}

// A light's share of one channel before truncation: I x product x e x f, in
// this order, where the product is n (N.L rounded to single precision) for
// the diffuse sum and r^2 (R.L squared) for the highlight's.
inline double shareOf(double strength, double product, double e, double falloff) {
    return strength * product * e * falloff;
}

// Adds one light's shares to a facet's three diffuse and three specular sums.
// R is the view direction (0, 0, 1) mirrored about N.
inline void addFacetShares(const RenderLight& light, const LightAtPixel& l, const float normal[3],
                           int32_t diffuse[3], int32_t specular[3]) {
    const double nx = normal[0], ny = normal[1], nz = normal[2];
    const double n = dotOf(nx, ny, nz, l.x, l.y, l.z);
    if (!l.lit || !(n > 0))
        return;
    const double nSingle = float(n);
    for (int c = 0; c < 3; ++c)
        diffuse[c] = addSaturated(
            diffuse[c], truncSaturated(shareOf(light.strength[c], nSingle, l.e, l.falloff)));
    const double rx = 2.0 * nz * nx, ry = 2.0 * nz * ny, rz = 2.0 * nz * nz - 1.0;
    const double r = dotOf(rx, ry, rz, l.x, l.y, l.z);
    if (!(r > 0))
        return;
    for (int c = 0; c < 3; ++c)
        specular[c] = addSaturated(
            specular[c], truncSaturated(shareOf(light.strength[c], r * r, l.e, l.falloff)));
}

// The highlight's colour weight times gloss.
template <Highlight kKind> int64_t highlightFactor(const MaterialTerms& m, int64_t colour) {
    if constexpr (kKind == Highlight::White)
        return m.gloss * 255;
    else if constexpr (kKind == Highlight::SurfaceColour)
        return m.gloss * colour;
    else
        return ((colour * m.material + (256 - m.material) * 255) >> 8) * m.gloss;
}

// The material step of one channel, from its sums to the lit byte, in 64 bits:
// with strong lights at full gloss the highlight product leaves 32 bits.
template <Highlight kKind>
uint8_t litByte(const MaterialTerms& m, int64_t colour, int64_t ambient, int32_t diffuse,
                int32_t specular) {
    const int64_t light = ambient + diffuse;
    const int64_t highlight = int64_t(specular) >> 8;
    const int64_t value = light * colour + highlight * highlightFactor<kKind>(m, colour);
    const int64_t v = ((value >> 8) * m.exposure) >> 15;
    return uint8_t(v <= 0 ? 0 : v >= 255 ? 255 : v);
}
} // namespace
