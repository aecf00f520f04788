#pragma once
#include <cstdint>

// The characters of the pixel art: the sixteen standard colours of a 16-colour
// image in their usual order (the index is the pixel value), and '-' for a
// transparent pixel of an icon or cursor. resources/art/README.md shows the
// same legend for the artist.
struct PaletteColour {
    char symbol;
    uint8_t red, green, blue;
    // Dark colours become black in a black-and-white picture, the others white.
    bool dark;
};

constexpr PaletteColour kPalette[16] = {
    {'#', 0x00, 0x00, 0x00, true},  // black
    {'r', 0x80, 0x00, 0x00, true},  // maroon
    {'g', 0x00, 0x80, 0x00, true},  // dark green
    {'o', 0x80, 0x80, 0x00, true},  // olive
    {'b', 0x00, 0x00, 0x80, true},  // navy
    {'p', 0x80, 0x00, 0x80, true},  // purple
    {'t', 0x00, 0x80, 0x80, true},  // teal
    {'+', 0xC0, 0xC0, 0xC0, false}, // silver (the button face)
    {'=', 0x80, 0x80, 0x80, true},  // grey
    {'R', 0xFF, 0x00, 0x00, false}, // red
    {'G', 0x00, 0xFF, 0x00, false}, // green
    {'Y', 0xFF, 0xFF, 0x00, false}, // yellow
    {'B', 0x00, 0x00, 0xFF, false}, // blue
    {'M', 0xFF, 0x00, 0xFF, false}, // magenta
    {'C', 0x00, 0xFF, 0xFF, false}, // cyan
    {'.', 0xFF, 0xFF, 0xFF, false}, // white
};

constexpr char kTransparent = '-';

// The palette index of a colour character, or -1.
inline int paletteIndex(char symbol) {
    for (int index = 0; index < 16; ++index)
        if (kPalette[index].symbol == symbol)
            return index;
    return -1;
}
