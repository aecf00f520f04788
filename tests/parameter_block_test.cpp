// The persisted parameter block: creation, header fields, foreign handles.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>

#include "lighting/parameter_block.h"
#include "protocol/plugin_api.h"
#include "tests/support/test_host.h"

namespace {
constexpr int32_t kBlockSize = sizeof(ParameterBlock);
} // namespace

TEST(ParameterBlock, CreatedWithSignatureAtTheFirstStart) {
    TestHost host(16, 16);
    EXPECT_EQ(host.call(SelectorPrepare), 0);
    EXPECT_EQ(host.call(SelectorStart), 0);
    ASSERT_NE(host.block(), nullptr);
    EXPECT_EQ(HostGetHandleSize(nullptr, host.record.parameterHandle), kBlockSize);
    // The header as the host's parameter files read it: little-endian.
    const auto* bytes = static_cast<const uint8_t*>(*host.record.parameterHandle);
    const auto littleEndian = [&](size_t at, size_t size) {
        uint32_t value = 0;
        for (size_t index = size; index-- > 0;)
            value = value << 8 | bytes[at + index];
        return value;
    };
    EXPECT_EQ(littleEndian(offsetof(ParameterBlock, signature), 4), ParameterBlock::kSignature);
    EXPECT_EQ(littleEndian(offsetof(ParameterBlock, one32), 4), 1u);
    EXPECT_EQ(littleEndian(offsetof(ParameterBlock, one16), 2), 1u);
}

TEST(ParameterBlock, HeaderFieldsFollowTheState) {
    PluginState state;
    ParameterBlock block{};
    state.settings.ambience = -127;
    state.settings.gloss = 200;
    state.settings.material = 17;
    state.settings.exposure = 3;
    state.settings.textureChannel = 4;
    state.settings.reliefAmount = 128;
    state.settings.whiteIsHigh = false;
    fillParameterBlock(state.settings, state.preview.width, block, BlockVariant::Script, 0);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(block.ambient[c], -130046) << c; // -8,322,945 / 64 toward zero
    EXPECT_EQ(block.gloss, 200);
    EXPECT_EQ(block.material, 17);
    EXPECT_EQ(block.exposure, 3);
    EXPECT_EQ(block.textureChannel, 4);
    EXPECT_EQ(block.relief, -256);
    state.settings.reliefAmount = 0;
    fillParameterBlock(state.settings, state.preview.width, block, BlockVariant::Script, 0);
    EXPECT_EQ(block.relief, 0);
    state.settings.whiteIsHigh = true;
    state.settings.reliefAmount = 256;
    fillParameterBlock(state.settings, state.preview.width, block, BlockVariant::Script, 0);
    EXPECT_EQ(block.relief, 512);
}

TEST(ParameterBlock, ImageWidthOfBothVariants) {
    PluginState state;
    ParameterBlock block{};
    state.settings.frameCenter = {126, 154};
    state.settings.frameCorner = {0, 0};
    state.preview.width = 63;
    fillParameterBlock(state.settings, state.preview.width, block, BlockVariant::Dialog, 1);
    EXPECT_FLOAT_EQ(block.imageWidth, 0.5f);
    state.settings.imageWidthRatio = 0.75f;
    fillParameterBlock(state.settings, state.preview.width, block, BlockVariant::Script, 0);
    EXPECT_FLOAT_EQ(block.imageWidth, 1.5f);
}

// A frame of no size (the preview not measured yet) counts as one pixel: the
// width stays finite instead of dividing by zero.
TEST(ParameterBlock, UnmeasuredFrameGivesAFiniteImageWidth) {
    PluginState state;
    ParameterBlock block{};
    state.settings.frameCenter = {40, 40};
    state.settings.frameCorner = {40, 40};
    state.preview.width = 0;
    fillParameterBlock(state.settings, state.preview.width, block, BlockVariant::Dialog, 1);
    EXPECT_EQ(block.imageWidth, 0.0f);
    state.preview.width = 30;
    fillParameterBlock(state.settings, state.preview.width, block, BlockVariant::Dialog, 1);
    EXPECT_EQ(block.imageWidth, 30.0f);
    EXPECT_TRUE(std::isfinite(block.imageWidth));
}

TEST(ParameterBlock, ExistingBlockIsUsedUnchecked) {
    TestHost host(16, 16);
    host.record.parameterHandle = NewHandle(kBlockSize);
    auto* block = static_cast<ParameterBlock*>(*host.record.parameterHandle);
    block->signature = 0x12345678;
    block->textureChannel = 0;
    block->lightCount = 0;
    const Handle before = host.record.parameterHandle;
    EXPECT_EQ(host.runFilter(), 0);
    EXPECT_EQ(host.record.parameterHandle, before);
    EXPECT_EQ(host.block()->signature, 0x12345678u);
}

TEST(ParameterBlock, HandleTooSmallIsReplacedNotOverrun) {
    TestHost host(16, 16);
    host.record.parameterHandle = NewHandle(100);
    EXPECT_EQ(host.call(SelectorPrepare), 0);
    EXPECT_EQ(host.call(SelectorStart), 0);
    ASSERT_NE(host.record.parameterHandle, nullptr);
    EXPECT_EQ(HostGetHandleSize(nullptr, host.record.parameterHandle), kBlockSize);
    EXPECT_EQ(host.block()->signature, ParameterBlock::kSignature);
}

TEST(ParameterBlock, TextureChannelBeyondTheImageIsDroppedAtAStartWithoutDialog) {
    TestHost host(16, 16);
    host.record.parameterHandle = NewHandle(kBlockSize);
    host.block()->textureChannel = 9;
    host.block()->relief = 256;
    EXPECT_EQ(host.call(SelectorPrepare), 0);
    EXPECT_EQ(host.call(SelectorStart), 0);
    EXPECT_EQ(host.block()->textureChannel, 0);
    // Untextured: the whole 16 x 16 area is one colour tile.
    EXPECT_EQ(host.record.inputPlaneFirst, 0);
    EXPECT_EQ(host.record.inputRect.right, 16);
}
