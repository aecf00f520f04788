#include "lighting/parameter_block.h"

#include <algorithm>

#include "lighting/render_preparation.h"
#include "settings/settings.h"

namespace {
float imageWidthInRenderUnits(const Settings& settings, int previewWidth, BlockVariant variant) {
    if (variant == BlockVariant::Script)
        return settings.imageWidthRatio * 100.0f * 0.02f;
    // Before the preview is measured the frame has no size; one pixel keeps
    // the width finite, as the light preparation does.
    return float(previewWidth) / float(std::max<int>(settings.halfFrame(), 1));
}
} // namespace

void fillParameterBlock(Settings& settings, int previewWidth, ParameterBlock& block,
                        BlockVariant variant, int tableSizeFlag) {
    block.gloss = settings.gloss;
    block.material = settings.material;
    block.exposure = settings.exposure;
    for (int c = 0; c < 3; ++c)
        block.ambient[c] = int32_t(settings.ambientColor[c]) * settings.ambience / 64;
    block.imageWidth = imageWidthInRenderUnits(settings, previewWidth, variant);
    block.textureChannel = settings.textureChannel;
    int32_t relief = 2 * settings.reliefAmount;
    block.relief = settings.whiteIsHigh ? relief : -relief;
    if (variant == BlockVariant::Script)
        prepareFromPercent(settings, block, tableSizeFlag);
    else
        preparePreview(settings, block, tableSizeFlag);
}
