#include "styles/style_body.h"

int16_t RescaleToFrame(int16_t value, int16_t savedHalfFrame, int16_t currentHalfFrame) {
    if (savedHalfFrame == 0)
        return 0;
    // The product of two 16-bit values always fits 32 bits.
    const int32_t scaled = int32_t(value) * currentHalfFrame;
    const int32_t half = savedHalfFrame / 2;
    return int16_t((value >= 0 ? scaled + half : scaled - half) / savedHalfFrame);
}
