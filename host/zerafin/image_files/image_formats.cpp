#include "host/zerafin/image_files/image_formats.h"

#include <cstring>

#include "host/zerafin/image_files/byte_order.h"

namespace {
bool startsWith(std::span<const uint8_t> bytes, const char* signature, size_t size) {
    return bytes.size() >= size && std::memcmp(bytes.data(), signature, size) == 0;
}

std::string sizeText(uint32_t width, uint32_t height, int maxSide) {
    return "it is " + std::to_string(width) + " x " + std::to_string(height) +
           " pixels, beyond this host's " + std::to_string(maxSide) + " on a side";
}

// A kind of file this host does not read, and the kinds it does.
std::string notRead(const std::string& kind) {
    return "it is " + kind + "; this host reads " + kReadableFormats;
}

// The frame header tells the JPEG's kind: 0xC0 to 0xC2 are the baseline,
// extended and progressive Huffman-coded ones with their precision first.
std::optional<std::string> jpegVariant(std::span<const uint8_t> bytes, int maxSide) {
    for (size_t at = 2; at + 9 <= bytes.size() && bytes[at] == 0xFF;) {
        const uint8_t marker = bytes[at + 1];
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame && marker == 0xC3)
            return notRead("a lossless JPEG");
        if (frame && marker > 0xC2)
            return notRead("a hierarchical or arithmetic-coded JPEG");
        if (frame && bytes[at + 4] != 8)
            return notRead("a JPEG of " + std::to_string(bytes[at + 4]) + " bits per sample");
        if (frame && (bigEndianAt(bytes, at + 5, 2) > uint32_t(maxSide) ||
                      bigEndianAt(bytes, at + 7, 2) > uint32_t(maxSide)))
            return sizeText(bigEndianAt(bytes, at + 7, 2), bigEndianAt(bytes, at + 5, 2), maxSide);
        if (frame || marker == 0xDA)
            return std::nullopt;
        at += 2 + bigEndianAt(bytes, at + 2, 2);
    }
    return std::nullopt;
}

std::optional<std::string> bmpVariant(std::span<const uint8_t> bytes) {
    constexpr size_t kCompressionAt = 30;
    if (bytes.size() < kCompressionAt + 4 || littleEndianAt(bytes, 14, 4) < 40)
        return std::nullopt;
    switch (littleEndianAt(bytes, kCompressionAt, 4)) {
    case 1:
    case 2:
        return notRead("a run-length (RLE) compressed BMP");
    case 4:
    case 5:
        return notRead("a BMP holding JPEG or PNG data");
    }
    return std::nullopt;
}
} // namespace

std::optional<std::string> unsupportedVariant(std::span<const uint8_t> bytes, int maxSide) {
    if (startsWith(bytes, "\x89PNG\r\n\x1A\n", 8)) {
        constexpr size_t kWidthAt = 16; // in the header chunk, first of all
        if (bytes.size() < kWidthAt + 8)
            return std::nullopt;
        const uint32_t width = bigEndianAt(bytes, kWidthAt, 4),
                       height = bigEndianAt(bytes, kWidthAt + 4, 4);
        if (width > uint32_t(maxSide) || height > uint32_t(maxSide))
            return sizeText(width, height, maxSide);
        return std::nullopt;
    }
    if (startsWith(bytes, "\xFF\xD8", 2))
        return jpegVariant(bytes, maxSide);
    if (startsWith(bytes, "BM", 2))
        return bmpVariant(bytes);
    if (startsWith(bytes, "II*\0", 4) || startsWith(bytes, "MM\0*", 4))
        return notRead("a TIFF file");
    if (startsWith(bytes, "GIF8", 4))
        return notRead("a GIF file");
    if (startsWith(bytes, "RIFF", 4) && bytes.size() >= 12 &&
        std::memcmp(&bytes[8], "WEBP", 4) == 0)
        return notRead("a WebP file");
    return std::nullopt;
}
