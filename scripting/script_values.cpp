#include "scripting/script_values.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kLargestComponent = 255.0;
constexpr double kChannelPerComponent = 257.0;
constexpr double kDecimals = 1000.0;
constexpr double kGeometryLimit = 1.0e6;
} // namespace

uint16_t componentToChannel(double component) {
    if (std::isnan(component))
        return 0;
    const double bounded = std::clamp(component, 0.0, kLargestComponent);
    return uint16_t(bounded * kChannelPerComponent);
}

double channelToComponent(uint16_t channel) {
    if (channel % 257 == 0)
        return double(channel / 257);
    // Any other channel lies between two whole components: the middle of its
    // span, to three decimals, reads back to it with room to spare for the
    // decimal text of a script (the span is 1/257, almost four thousandths).
    const double middle = (channel + 0.5) / kChannelPerComponent;
    return std::round(middle * kDecimals) / kDecimals;
}

double boundedGeometry(double percent) {
    if (std::isnan(percent))
        return 0.0;
    return std::clamp(percent, -kGeometryLimit, kGeometryLimit);
}

double pixelsToFramePercent(int32_t pixels, uint16_t frameSize) {
    if (frameSize == 0)
        return 0.0;
    return 100.0 * pixels / frameSize;
}
