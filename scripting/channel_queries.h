#pragma once
#include <cstdint>

struct HostRecord;

// The document's channels as the host's property services report them; the
// texture key and the dialog's texture list use them. Both answer 0 or an
// error: -30900 without the property services, otherwise the host's own code.
int16_t GetChannelCount(uint16_t* count, const HostRecord& host);
// The name of channel `index` (0-based) as a length byte and up to 255
// characters.
int16_t GetChannelName(uint16_t index, uint8_t name[256], const HostRecord& host);

// Two length-prefixed strings are equal when their lengths are and the
// characters match byte for byte (case matters).
bool LengthPrefixedEqual(const uint8_t* a, const uint8_t* b);
