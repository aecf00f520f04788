#pragma once
#include <cstdint>
#include <span>

#include "settings/settings.h"
#include "styles/style_record.h"
#include "styles/style_record_of_settings.h"

// Writes the settings from offset 6 onward (version, material, texture, the
// lights and the writer's half frame). The settings are not changed. 1 or 0.
int WriteStyleBody(const Settings& settings, StyleFile& file);

// Reads the settings from offset 6 onward, rescaling the light geometry to the
// settings' own frame. The settings change only when the header and at least one
// light were read, and then all at once. 1 or 0.
int ReadStyleBody(Settings& settings, StyleSource& source);
// The same, rescaled to the given half frame instead of the settings'.
int readStyleBodyForHalfFrame(Settings& settings, StyleSource& source, int16_t currentHalfFrame);

// A stored coordinate or length at another frame size: value x current / saved,
// rounded half away from zero, in 16 bits; 0 when the saved half frame is 0.
int16_t RescaleToFrame(int16_t value, int16_t savedHalfFrame, int16_t currentHalfFrame);

// A whole style file's bytes (header included) read into the settings with the
// geometry rescaled to the given half frame, without touching the style folder:
// the host applies styles this way. 1 or 0, as LoadStyle.
int loadStyleFromBytes(std::span<const uint8_t> bytes, int16_t currentHalfFrame,
                       Settings& settings);
// The half frame a style file's bytes were saved with; 0 when they do not
// hold a style.
int16_t savedHalfFrame(std::span<const uint8_t> bytes);

struct HostRecord;
// Records a whole style file's settings as a script in the host's script
// record, at the style's own frame size so that no light is rescaled (a frame
// of no size keeps one pixel: the geometry is all 0 then). False when the
// bytes hold no style; the error cell receives the recording's outcome.
bool recordStyleAsScript(std::span<const uint8_t> bytes, HostRecord& host, int16_t* errorCell);
