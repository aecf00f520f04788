#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "host/zerafin/image_files/document.h"

// The bitmaps this host writes, and most programs do: uncompressed 24-bit
// rows of blue, green and red, each padded to four bytes. They are read and
// written straight between the file's rows and the document's planes, with
// no interleaved copy of the image in between; the bytes and samples are the
// general codec's, which every other bitmap still goes through.

// Where a plain bitmap's pixels lie in its file: rows of `rowBytes` from
// `pixelsAt`, the first one the image's top when `topDown`, else its bottom.
struct PlainBmpLayout {
    int width = 0, height = 0;
    bool topDown = false;
    size_t pixelsAt = 0, rowBytes = 0;
};

// The layout when the bytes are a plain bitmap with every row in the file;
// nullopt for any other file, which the general codec then reads or refuses.
std::optional<PlainBmpLayout> plainBmpLayout(std::span<const uint8_t> bytes);

// The image's red, green and blue planes, each width x height, top row first.
void readPlainBmpColour(std::span<const uint8_t> bytes, const PlainBmpLayout& layout,
                        std::vector<uint8_t>& red, std::vector<uint8_t>& green,
                        std::vector<uint8_t>& blue);

// The image as grey, with the weights the general decoder gives a colour
// image read as grey: (77 red + 150 green + 29 blue) / 256, rounded down.
void readPlainBmpGrey(std::span<const uint8_t> bytes, const PlainBmpLayout& layout,
                      std::vector<uint8_t>& grey);

// The document's red, green and blue as a plain bitmap file: a 14-byte file
// header, a 40-byte information header, then the rows from the bottom up.
std::vector<uint8_t> plainBmpFile(const Document& document);
