#include "lighting/render_preparation.h"

#include <algorithm>

namespace {
constexpr double kPercentDivisor = 50; // half the frame in percent

// Prepares the enabled lights in order into consecutive slots from 0.
template <typename PrepareOne>
void prepareEnabledLights(Settings& settings, ParameterBlock& block, PrepareOne prepareOne) {
    uint16_t prepared = 0;
    const int count = std::min<int>(settings.lightCount, kMaxLights);
    for (int i = 0; i < count; ++i) {
        LightSource& light = settings.lights[i];
        if (light.enabled != 1)
            continue;
        prepareOne(light, block.lights[prepared]);
        ++prepared;
    }
    block.lightCount = prepared;
    // The slots beyond are not lit; cleared, a block kept by the host holds no
    // trace of a light removed since, and equal settings give equal blocks.
    std::fill(block.lights + prepared, block.lights + kMaxLights, RenderLight{});
}
} // namespace

void preparePreview(Settings& settings, ParameterBlock& block, int tableSizeFlag) {
    // Before the preview is measured the frame has no size; one pixel keeps
    // the geometry finite.
    const double divisor = std::max<int>(settings.halfFrame(), 1);
    prepareEnabledLights(settings, block, [&](LightSource& light, RenderLight& prepared) {
        prepareLightPreview(light, prepared, divisor, tableSizeFlag);
    });
}

void prepareFromPercent(Settings& settings, ParameterBlock& block, int tableSizeFlag) {
    const uint16_t frameSize = settings.frameSize();
    prepareEnabledLights(settings, block, [&](LightSource& light, RenderLight& prepared) {
        prepareLightPercent(light, prepared, kPercentDivisor, frameSize, tableSizeFlag);
        refreshPixelGeometry(light, frameSize);
    });
}

void refreshPixelGeometry(LightSource& light, uint16_t frameSize) {
    auto toPixels = [&](PointF percent) {
        return Point16{roundToInt16(double(percent.x) * frameSize * 0.01),
                       roundToInt16(double(percent.y) * frameSize * 0.01)};
    };
    light.position = toPixels(light.positionPct);
    light.vector0 = toPixels(light.vector0Pct);
    light.vector1 = toPixels(light.vector1Pct);
    light.radius = truncToInt16(double(light.radiusPct) * frameSize * 0.01 + 0.5);
}

void refreshPercentGeometry(LightSource& light, uint16_t frameSize) {
    auto toPercent = [&](int pixels) {
        return frameSize == 0 ? 0.0f : float(100.0 * pixels / frameSize);
    };
    auto pointToPercent = [&](Point16 p) { return PointF{toPercent(p.x), toPercent(p.y)}; };
    light.positionPct = pointToPercent(light.position);
    light.vector0Pct = pointToPercent(light.vector0);
    light.vector1Pct = pointToPercent(light.vector1);
    light.radiusPct = toPercent(light.radius);
}
