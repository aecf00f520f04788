#pragma once
#include <cstdint>

// Conversions between the values a script carries and the settings.

// A colour component 0..255 as a 16-bit channel (x 257, truncated). Components
// outside 0..255 are clamped first, so that 256 cannot wrap to almost black.
uint16_t componentToChannel(double component);
// A 16-bit channel as the component 0..255 that reads back to it: a whole
// number for a multiple of 257 (255 for 65535), otherwise a number with
// three decimals inside the channel's span (127.504 for 32768).
double channelToComponent(uint16_t channel);

// Geometry arrives as doubles of any size; beyond a million percent of the
// frame nothing is meaningful, and there every later conversion is still
// defined. Not-a-number reads as 0.
double boundedGeometry(double percent);

// A length in preview pixels as percent of the frame size. A frame that was
// never measured (size 0) gives 0 rather than dividing by zero.
double pixelsToFramePercent(int32_t pixels, uint16_t frameSize);
