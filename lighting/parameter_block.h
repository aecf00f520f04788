#pragma once
#include <cstddef>
#include <cstdint>

#include "lighting/render_light.h"
#include "settings/light_source.h"

// The render-ready settings, kept by the host in the parameter handle between
// operations. Its layout is fixed little-endian and identical in every build.
struct ParameterBlock {
    static constexpr uint32_t kSignature = 0x05BF44FD;
    static constexpr int kMaxLights = ::kMaxLights;

    uint32_t signature;
    uint32_t one32;
    uint16_t one16;
    int16_t gloss;
    int16_t material;
    int16_t exposure;
    int32_t ambient[3]; // trunc(ambientColor channel x ambience / 64)
    uint8_t unused28[4];
    float imageWidth; // in render units (half the preview frame)
    uint16_t lightCount;
    uint8_t unused38[2];
    RenderLight lights[kMaxLights];
    uint16_t textureChannel;
    uint8_t unused66730[2];
    int32_t relief; // 2 x reliefAmount, negated when white is low
};

static_assert(offsetof(ParameterBlock, gloss) == 10);
static_assert(offsetof(ParameterBlock, material) == 12);
static_assert(offsetof(ParameterBlock, exposure) == 14);
static_assert(offsetof(ParameterBlock, ambient) == 16);
static_assert(offsetof(ParameterBlock, imageWidth) == 32);
static_assert(offsetof(ParameterBlock, lightCount) == 36);
static_assert(offsetof(ParameterBlock, lights) == 40);
static_assert(offsetof(ParameterBlock, textureChannel) == 66728);
static_assert(offsetof(ParameterBlock, relief) == 66732);
static_assert(sizeof(ParameterBlock) == 66736);

struct Settings;

// Which geometry the lights are prepared from: the preview pixels the dialog
// edits, or the percent of the frame a script gives.
enum class BlockVariant { Dialog, Script };

// Writes every field of the block from the settings; previewWidth is the
// preview image's width in preview pixels. tableSizeFlag 1 asks for the
// preview's short spot tables. Preparing from the percent geometry also
// refreshes the lights' pixel geometry.
void fillParameterBlock(Settings& settings, int previewWidth, ParameterBlock& block,
                        BlockVariant variant, int tableSizeFlag);
