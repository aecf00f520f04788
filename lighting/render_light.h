#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>

#include "settings/light_type.h"

static_assert(std::endian::native == std::endian::little,
              "the render block is stored little-endian and read in place");

// A light prepared for shading, as it lies in the parameter block. The layout is
// the same in every build: it persists in the host's parameter handle.
struct RenderLight {
    static constexpr int kMaxFalloffEntries = 1024;

    uint32_t type;       // 0 omni, 1 directional, 2 spot; other values add nothing
    int32_t strength[3]; // red, green, blue: trunc(colour x intensity / 32)
    uint32_t unused16;
    float point[3];     // omni and spot: light position in render units
    float direction[3]; // directional: towards the light; spot: cone axis, away from it
    float coneCosine;   // spot: 0.707
    float falloff[kMaxFalloffEntries];
    float falloffScale;
    float falloffStart;
    uint32_t cacheCopies[4]; // copies of the light's reserved cache slots, always zero
};

static_assert(offsetof(RenderLight, strength) == 4);
static_assert(offsetof(RenderLight, point) == 20);
static_assert(offsetof(RenderLight, direction) == 32);
static_assert(offsetof(RenderLight, coneCosine) == 44);
static_assert(offsetof(RenderLight, falloff) == 48);
static_assert(offsetof(RenderLight, falloffScale) == 4144);
static_assert(offsetof(RenderLight, falloffStart) == 4148);
static_assert(offsetof(RenderLight, cacheCopies) == 4152);
static_assert(sizeof(RenderLight) == 4168);
