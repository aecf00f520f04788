#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "resources/image_table.h"
#include "tools/resgen/pixel_art.h"

// Pixel art turned into the image files that the resource compiler embeds.
// Black and white pictures keep black and the dark colours black and make
// every other colour white.

// A .bmp file (1 or 4 bits per pixel); bitmaps have no transparent pixels.
std::optional<std::vector<uint8_t>> encodeBitmapFile(const PixelArt& art, ColourDepth depth,
                                                     std::string& error);

struct IconPicture {
    PixelArt art;
    ColourDepth depth;
};
// A .ico file holding every picture, in order.
std::vector<uint8_t> encodeIconFile(const std::vector<IconPicture>& pictures);
// A .cur file holding one black and white picture with its hot spot.
std::vector<uint8_t> encodeCursorFile(const PixelArt& art, int hotSpotX, int hotSpotY);
