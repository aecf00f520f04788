#include "settings/geometry_conversion.h"

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
