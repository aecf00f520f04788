#include "ui/slider_geometry.h"

#include <algorithm>

#include "settings/percent_scale.h"

SliderGeometry sliderGeometry(int16_t width, int16_t height, int16_t labelWidth,
                              int16_t textHeight) {
    SliderGeometry g{};
    g.trackLeft = int16_t(labelWidth + 4);
    g.trackRight = int16_t(width - 5);
    g.trackY = std::max(int16_t(height / 2 + 4), textHeight);
    g.thumbTop = int16_t(g.trackY + 1);
    return g;
}

int16_t thumbXForValue(const SliderGeometry& g, SliderRange range, int16_t value) {
    const int span = range.maximum - range.minimum;
    const int trackLength = g.trackRight - g.trackLeft;
    if (span == 0 || trackLength <= 0)
        return g.trackLeft;
    const double share = double(value - range.minimum) / double(span);
    return int16_t(g.trackLeft + int(share * trackLength));
}

int16_t valueForX(const SliderGeometry& g, SliderRange range, int x) {
    const int trackLength = g.trackRight - g.trackLeft;
    if (trackLength <= 0)
        return range.minimum;
    if (x < g.trackLeft)
        x = g.trackLeft;
    if (x > g.trackRight)
        x = g.trackRight;
    const double share = double(x - g.trackLeft) / double(trackLength);
    return int16_t(range.minimum + int(double(range.maximum - range.minimum) * share));
}

namespace {
PercentScale scaleShown(bool percent) {
    return percent ? PercentScale::Narrow : PercentScale::Wide;
}
} // namespace

int16_t restingValue(int16_t value, bool percent) {
    const PercentScale scale = scaleShown(percent);
    return int16_t(PercentToPosition(PositionToPercent(value, scale), scale));
}

bool isInThumbZone(const SliderGeometry& g, int x, int y) {
    return x >= g.trackLeft && x <= g.trackRight && y >= g.trackY - 1;
}

int16_t shownNumber(int16_t value, bool percent) {
    return int16_t(PositionToPercent(value, scaleShown(percent)));
}
