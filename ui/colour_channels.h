#pragma once
#include <cstdint>

// Settings keep a colour as three 16-bit channels; the pickers answer 8 bits.

constexpr uint8_t highByte(uint16_t channel) {
    return uint8_t(channel >> 8);
}
// The host's picker: 0 stays 0 and 255 becomes 65535.
constexpr uint16_t channelFromHostPick(uint8_t component) {
    return uint16_t(component * 257);
}
// The system colour dialog: the component fills the high byte, the low byte is 255.
constexpr uint16_t channelFromSystemPick(uint8_t component) {
    return uint16_t(component * 256 + 255);
}
