#pragma once
#include <cstddef>
#include <cstdint>

// A preview picture in the form the host's drawPixelMap service receives it:
// fourteen 32-bit words in the 32-bit module.
struct MaskRecord {
    int32_t zero0;
    uint8_t* pixels;
    int32_t rowBytes;
    int32_t one;
    int32_t zero4;
};

struct ImageRecord {
    int32_t version; // 1 when a mask is attached
    int32_t top, left, bottom, right;
    int32_t imageMode;
    int32_t rowBytes;
    int32_t bytesPerPixel;
    int32_t planeBytes;
    uint8_t* pixels;
    int32_t zero10;
    MaskRecord* mask;
    int32_t zero12, zero13;

    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(ImageRecord) == 56);
static_assert(offsetof(ImageRecord, pixels) == 36);
static_assert(offsetof(ImageRecord, mask) == 44);
static_assert(sizeof(MaskRecord) == 20);
#endif
