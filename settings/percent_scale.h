#pragma once
#include <cstdint>

// Settings live on a 0..256 scale; scripts show them as percentages, on the
// wide scale (-100..100: gloss, material, exposure, ambience, intensity,
// focus) or the narrow one (0..100: the relief).
enum class PercentScale { Wide, Narrow };

// The percentage a position 0..256 shows, truncated toward zero.
int32_t PositionToPercent(int32_t position, PercentScale scale);

// The position 0..256 whose shown percentage first reaches the value, searched
// upwards from 0 for values >= 0 and downwards from 256 for negative ones, so
// that every whole percentage survives a read followed by a write. The lowest
// percentage and anything below give 0, so that every position's recording
// reads back to a position that records the same; values above the scale
// give 256.
int32_t PercentToPosition(int32_t percent, PercentScale scale);
