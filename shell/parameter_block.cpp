#include "shell/parameter_block.h"

#include <algorithm>

#include "lighting/render_preparation.h"
#include "protocol/host_tables.h"
#include "protocol/plugin_api.h"
#include "shell/plugin_state.h"

namespace {
bool handleHoldsBlock(HostRecord& host) {
    return HostGetHandleSize(host.handleTable, host.parameterHandle) >=
           int32_t(sizeof(ParameterBlock));
}

float imageWidthInRenderUnits(const PluginState& state, BlockVariant variant) {
    if (variant == BlockVariant::Script)
        return state.imageWidthRatio * 100.0f * 0.02f;
    // Before the preview is measured the frame has no size; one pixel keeps
    // the width finite, as the light preparation does.
    return float(state.previewImageWidth) / float(std::max<int>(state.halfFrame(), 1));
}
} // namespace

int16_t createParameterBlock(HostRecord& host) {
    // A handle too small for the block would be written past its end: treat
    // it as absent.
    if (host.parameterHandle && !handleHoldsBlock(host)) {
        HostDisposeHandle(host.handleTable, host.parameterHandle);
        host.parameterHandle = nullptr;
    }
    if (host.parameterHandle)
        return 0;
    Handle handle = NewHandle(int32_t(sizeof(ParameterBlock)));
    if (!handle)
        return -108;
    host.parameterHandle = handle;
    auto* block = static_cast<ParameterBlock*>(*handle);
    block->signature = ParameterBlock::kSignature;
    block->one32 = 1;
    block->one16 = 1;
    return 0;
}

ParameterBlock* lockParameterBlock(HostRecord& host) {
    if (!host.parameterHandle)
        return nullptr;
    HLock(host.parameterHandle);
    return static_cast<ParameterBlock*>(*host.parameterHandle);
}

void fillParameterBlock(PluginState& state, ParameterBlock& block, BlockVariant variant,
                        int tableSizeFlag) {
    block.gloss = state.gloss;
    block.material = state.material;
    block.exposure = state.exposure;
    for (int c = 0; c < 3; ++c)
        block.ambient[c] = int32_t(state.ambientColor[c]) * state.ambience / 64;
    block.imageWidth = imageWidthInRenderUnits(state, variant);
    block.textureChannel = state.textureChannel;
    int32_t relief = 2 * state.reliefAmount;
    block.relief = state.whiteIsHigh == 0 ? -relief : relief;
    if (variant == BlockVariant::Script)
        prepareFromPercent(state, block, tableSizeFlag);
    else
        preparePreview(state, block, tableSizeFlag);
}
