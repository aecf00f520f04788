#pragma once
#include <cstdint>
#include <span>

#include "shell/plugin_state.h"
#include "styles/style_record.h"

// Writes the settings from offset 6 onward (version, material, texture, the
// lights and the writer's half frame). The state is not changed. 1 or 0.
int WriteStyleBody(const PluginState& state, StyleFile& file);

// Reads the settings from offset 6 onward, rescaling the light geometry to the
// state's own frame. The state changes only when the header and at least one
// light were read, and then all at once. 1 or 0.
int ReadStyleBody(PluginState& state, StyleSource& source);
// The same, rescaled to the given half frame instead of the state's.
int ReadStyleBodyForHalfFrame(PluginState& state, StyleSource& source, int16_t currentHalfFrame);

// A stored coordinate or length at another frame size: value x current / saved,
// rounded half away from zero, in 16 bits; 0 when the saved half frame is 0.
int16_t RescaleToFrame(int16_t value, int16_t savedHalfFrame, int16_t currentHalfFrame);

// A whole style file's bytes (header included) read into the state with the
// geometry rescaled to the given half frame, without touching the style folder:
// the host applies styles this way. 1 or 0, as LoadStyle.
int LoadStyleFromBytes(std::span<const uint8_t> bytes, int16_t currentHalfFrame,
                       PluginState& state);
// The half frame a style file's bytes were saved with; 0 when they do not
// hold a style.
int16_t SavedHalfFrame(std::span<const uint8_t> bytes);
