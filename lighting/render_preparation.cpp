#include "lighting/render_preparation.h"

#include <algorithm>

#include "settings/geometry_conversion.h"

namespace {
constexpr double kPercentDivisor = 50; // half the frame in percent

// Prepares the enabled lights in order into consecutive slots from 0.
template <typename PrepareOne>
void prepareEnabledLights(Settings& settings, ParameterBlock& block, PrepareOne prepareOne) {
    uint16_t prepared = 0;
    const int count = std::min<int>(settings.lightCount, kMaxLights);
    for (int i = 0; i < count; ++i) {
        LightSource& light = settings.lights[i];
        if (!light.enabled)
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
