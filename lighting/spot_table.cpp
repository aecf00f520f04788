#include <algorithm>

#include "lighting/det_math.h"
#include "lighting/render_preparation.h"
#include "settings/light_source.h"

namespace {
constexpr double kSqrt2 = 1.4142135623730951;
constexpr int kPreviewEntries = 256;

// The exponent that shapes the falloff: 1 at focus 128 (linear in angle),
// 0.25 at 0 ("Etroit", a bright core), 1.75^5 at 256 ("Large", even light).
double falloffExponent(int16_t focus) {
    const double f = std::clamp<int>(focus, 0, 256); // script values of any size stay defined
    const double q = (0.75 * (f - 128) + 128) / 128;
    return detPow(q, f / 64 + 1);
}
} // namespace

void fillSpotTable(const LightSource& light, RenderLight& prepared, int tableSizeFlag) {
    const int entries = tableSizeFlag == 1 ? kPreviewEntries : RenderLight::kMaxFalloffEntries;
    const double exponent = falloffExponent(light.focus);
    // Entry i holds the cosine start + i * step, from cos 45° to 1; start,
    // step and scale are single precision.
    const float start = float(kSqrt2 / 2);
    const float step = float((2 - kSqrt2) / (2.0 * (entries - 1)));
    prepared.falloffStart = start;
    prepared.falloffScale = float(2.0 * (entries - 1) / (2 - kSqrt2));
    const double quarterTurn = kSinglePrecisionPi / 2;
    for (int i = 0; i < entries; ++i) {
        const double c = start + i * double(step);
        const double t = detAcos(c) * 2 / quarterTurn; // 0 on the axis, 1 at the edge
        prepared.falloff[i] = float(detCos(quarterTurn * detPow(t, exponent)));
    }
    // A short table is followed by its last entry, so that a cosine that
    // rounds past 1 still reads the value on the axis.
    std::fill(prepared.falloff + entries, prepared.falloff + RenderLight::kMaxFalloffEntries,
              prepared.falloff[entries - 1]);
}
