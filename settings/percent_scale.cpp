#include "settings/percent_scale.h"

namespace {
constexpr int32_t kLowestPosition = 0;
constexpr int32_t kHighestPosition = 256;
} // namespace

int32_t PositionToPercent(int32_t position, PercentScale scale) {
    if (scale == PercentScale::Wide)
        return position * 200 / 256 - 100;
    return position * 100 / 256;
}

int32_t PercentToPosition(int32_t percent, PercentScale scale) {
    // The lowest percentage is the slider's lowest position, although the next
    // position shows it too: a setting at position 0 (the default material)
    // records as -100 and must read back as 0 for a recording to replay.
    if (percent <= PositionToPercent(kLowestPosition, scale))
        return kLowestPosition;
    if (percent >= 0) {
        for (int32_t p = kLowestPosition; p <= kHighestPosition; ++p)
            if (PositionToPercent(p, scale) >= percent)
                return p;
        return kHighestPosition;
    }
    for (int32_t p = kHighestPosition; p >= kLowestPosition; --p)
        if (PositionToPercent(p, scale) <= percent)
            return p;
    return kLowestPosition;
}
