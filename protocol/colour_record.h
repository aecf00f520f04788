#pragma once
#include <cstddef>
#include <cstdint>

// The record the plug-in hands to the host's colour service (HostRecord::
// colorService): the colour to start from and a prompt in; the chosen colour
// out, as 8-bit components. Fixed little-endian layout of 36 bytes in the
// 32-bit module.
struct ColourRecord {
    uint32_t size;        // 36
    uint16_t request;     // 0: pick a colour
    uint16_t sourceSpace; // 0: RGB
    uint16_t resultSpace; // 0: RGB
    uint8_t notSet10[2];
    uint32_t zero12;
    uint32_t zero16;
    uint16_t components[3]; // red, green, blue, 0..255 each
    uint16_t notSet26;
    uint32_t zero28;
    const uint8_t* prompt; // a length byte, then the text
};

constexpr uint16_t kColourRequestPick = 0;
constexpr uint16_t kColourSpaceRgb = 0;

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(offsetof(ColourRecord, request) == 4);
static_assert(offsetof(ColourRecord, resultSpace) == 8);
static_assert(offsetof(ColourRecord, components) == 20);
static_assert(offsetof(ColourRecord, prompt) == 32);
static_assert(sizeof(ColourRecord) == 36);
#endif
