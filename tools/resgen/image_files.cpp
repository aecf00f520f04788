#include "tools/resgen/image_files.h"

#include "tools/resgen/byte_writer.h"
#include "tools/resgen/palette.h"

namespace {
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kFileHeaderSize = 14;

int bitsPerPixel(ColourDepth depth) {
    return depth == ColourDepth::Monochrome ? 1 : 4;
}
int colourCount(ColourDepth depth) {
    return 1 << bitsPerPixel(depth);
}
uint32_t rowBytes(int width, int bits) {
    return uint32_t((width * bits + 31) / 32 * 4);
}

// The pixel value: a palette index, or 0 (black) / 1 (white) in black and
// white. Transparent pixels are 0; the mask makes them see-through.
uint8_t pixelValue(char symbol, ColourDepth depth) {
    if (symbol == kTransparent)
        return 0;
    const int index = paletteIndex(symbol);
    if (depth == ColourDepth::Monochrome)
        return kPalette[index].dark ? 0 : 1;
    return uint8_t(index);
}

void writeInfoHeader(ByteWriter& writer, int width, int heightField, int bits, uint32_t size) {
    writer.u32(kInfoHeaderSize);
    writer.u32(uint32_t(width));
    writer.u32(uint32_t(heightField));
    writer.u16(1); // planes
    writer.u16(uint16_t(bits));
    writer.u32(0); // no compression
    writer.u32(size);
    writer.zeros(16); // resolution and colour counts: the defaults
}

void writePalette(ByteWriter& writer, ColourDepth depth) {
    if (depth == ColourDepth::Monochrome) {
        writer.u32(0x000000);
        writer.u32(0xFFFFFF);
        return;
    }
    for (const PaletteColour& colour : kPalette) {
        writer.u8(colour.blue);
        writer.u8(colour.green);
        writer.u8(colour.red);
        writer.u8(0);
    }
}

// Rows bottom-up, each padded to a multiple of 4 bytes; `value` gives each
// pixel's bits, the leftmost pixel in the highest bits.
template <typename PixelBits>
void writeRows(ByteWriter& writer, const PixelArt& art, int bits, PixelBits value) {
    for (int y = art.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(rowBytes(art.width, bits), 0);
        for (int x = 0; x < art.width; ++x) {
            const int bit = x * bits;
            row[size_t(bit / 8)] |= uint8_t(value(art.at(x, y)) << (8 - bits - bit % 8));
        }
        writer.append(row);
    }
}

void writeColourRows(ByteWriter& writer, const PixelArt& art, ColourDepth depth) {
    writeRows(writer, art, bitsPerPixel(depth),
              [depth](char symbol) { return pixelValue(symbol, depth); });
}

// The mask of an icon or cursor: 1 where the screen shows through.
void writeMaskRows(ByteWriter& writer, const PixelArt& art) {
    writeRows(writer, art, 1, [](char symbol) { return uint8_t(symbol == kTransparent); });
}

// One picture of an icon or cursor: the colour rows and the mask under one
// header whose height counts both.
std::vector<uint8_t> iconImage(const IconPicture& picture) {
    const int bits = bitsPerPixel(picture.depth);
    const uint32_t size = (rowBytes(picture.art.width, bits) + rowBytes(picture.art.width, 1)) *
                          uint32_t(picture.art.height);
    ByteWriter writer;
    writeInfoHeader(writer, picture.art.width, picture.art.height * 2, bits, size);
    writePalette(writer, picture.depth);
    writeColourRows(writer, picture.art, picture.depth);
    writeMaskRows(writer, picture.art);
    return writer.data();
}

// Icons (type 1) and cursors (type 2) share one file layout; for a cursor the
// two 16-bit fields that give an icon's planes and bits hold the hot spot.
std::vector<uint8_t> iconDirectory(uint16_t type, const std::vector<IconPicture>& pictures,
                                   int hotSpotX, int hotSpotY) {
    constexpr uint32_t kEntrySize = 16;
    ByteWriter writer;
    writer.u16(0);
    writer.u16(type);
    writer.u16(uint16_t(pictures.size()));
    std::vector<std::vector<uint8_t>> images;
    uint32_t offset = 6 + kEntrySize * uint32_t(pictures.size());
    for (const IconPicture& picture : pictures) {
        images.push_back(iconImage(picture));
        writer.u8(uint8_t(picture.art.width));
        writer.u8(uint8_t(picture.art.height));
        writer.u8(uint8_t(colourCount(picture.depth)));
        writer.u8(0);
        writer.u16(uint16_t(type == 1 ? 1 : hotSpotX));
        writer.u16(uint16_t(type == 1 ? bitsPerPixel(picture.depth) : hotSpotY));
        writer.u32(uint32_t(images.back().size()));
        writer.u32(offset);
        offset += uint32_t(images.back().size());
    }
    for (const std::vector<uint8_t>& image : images)
        writer.append(image);
    return writer.data();
}
} // namespace

std::optional<std::vector<uint8_t>> encodeBitmapFile(const PixelArt& art, ColourDepth depth,
                                                     std::string& error) {
    if (art.pixels.find(kTransparent) != std::string::npos) {
        error = "a bitmap cannot have transparent pixels";
        return std::nullopt;
    }
    const int bits = bitsPerPixel(depth);
    const uint32_t imageSize = rowBytes(art.width, bits) * uint32_t(art.height);
    const uint32_t bitsOffset =
        kFileHeaderSize + kInfoHeaderSize + 4 * uint32_t(colourCount(depth));
    ByteWriter writer;
    writer.u8('B');
    writer.u8('M');
    writer.u32(bitsOffset + imageSize);
    writer.u32(0); // reserved
    writer.u32(bitsOffset);
    writeInfoHeader(writer, art.width, art.height, bits, imageSize);
    writePalette(writer, depth);
    writeColourRows(writer, art, depth);
    return writer.data();
}

std::vector<uint8_t> encodeIconFile(const std::vector<IconPicture>& pictures) {
    return iconDirectory(1, pictures, 0, 0);
}

std::vector<uint8_t> encodeCursorFile(const PixelArt& art, int hotSpotX, int hotSpotY) {
    return iconDirectory(2, {{art, ColourDepth::Monochrome}}, hotSpotX, hotSpotY);
}
