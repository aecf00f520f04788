#include "host/zerafin/image_files/plain_bmp.h"

#include <climits>
#include <cstring>

#include "host/zerafin/image_files/byte_order.h"

namespace {
// The two headers of a plain bitmap, as byte offsets into the file.
constexpr size_t kFileSizeAt = 2, kPixelsOffsetAt = 10, kInfoSizeAt = 14, kWidthAt = 18,
                 kHeightAt = 22, kPlanesAt = 26, kBitsAt = 28, kCompressionAt = 30;
constexpr size_t kFileHeaderSize = 14, kInfoHeaderSize = 40;
constexpr size_t kHeadersSize = kFileHeaderSize + kInfoHeaderSize;
static_assert(kInfoSizeAt == kFileHeaderSize && kCompressionAt + 24 == kHeadersSize,
              "the information header follows the file header and ends with six numbers");

int32_t signedAt(std::span<const uint8_t> bytes, size_t at) {
    return int32_t(littleEndianAt(bytes, at, 4));
}

size_t paddedRowBytes(int width) {
    return (size_t(width) * 3 + 3) & ~size_t(3);
}

// The file's row that holds the image's row y.
const uint8_t* fileRow(std::span<const uint8_t> bytes, const PlainBmpLayout& layout, int y) {
    const size_t row = size_t(layout.topDown ? y : layout.height - 1 - y);
    return bytes.data() + layout.pixelsAt + row * layout.rowBytes;
}

void putLittleEndian(uint8_t* at, uint32_t value, size_t size) {
    for (size_t i = 0; i < size; ++i)
        at[i] = uint8_t(value >> (8 * i));
}
} // namespace

std::optional<PlainBmpLayout> plainBmpLayout(std::span<const uint8_t> bytes) {
    if (bytes.size() < kHeadersSize || bytes[0] != 'B' || bytes[1] != 'M')
        return std::nullopt;
    const int32_t width = signedAt(bytes, kWidthAt), height = signedAt(bytes, kHeightAt);
    // The general decoder wants the pixels right after the headers when a
    // bitmap has no palette.
    const bool plain = littleEndianAt(bytes, kInfoSizeAt, 4) == kInfoHeaderSize &&
                       littleEndianAt(bytes, kPixelsOffsetAt, 4) == kHeadersSize &&
                       littleEndianAt(bytes, kPlanesAt, 2) == 1 &&
                       littleEndianAt(bytes, kBitsAt, 2) == 24 &&
                       littleEndianAt(bytes, kCompressionAt, 4) == 0;
    if (!plain || width < 1 || height == 0 || height == INT_MIN)
        return std::nullopt;
    PlainBmpLayout layout;
    layout.width = width;
    layout.height = height < 0 ? -height : height;
    layout.topDown = height < 0;
    layout.pixelsAt = kHeadersSize;
    layout.rowBytes = paddedRowBytes(width);
    const size_t pixelBytes = bytes.size() - kHeadersSize;
    if (layout.rowBytes > pixelBytes / size_t(layout.height))
        return std::nullopt; // rows missing: the general path says so
    return layout;
}

void readPlainBmpColour(std::span<const uint8_t> bytes, const PlainBmpLayout& layout,
                        std::vector<uint8_t>& red, std::vector<uint8_t>& green,
                        std::vector<uint8_t>& blue) {
    const size_t width = size_t(layout.width), count = width * size_t(layout.height);
    red.resize(count);
    green.resize(count);
    blue.resize(count);
    for (int y = 0; y < layout.height; ++y) {
        const uint8_t* in = fileRow(bytes, layout, y);
        const size_t start = size_t(y) * width;
        for (size_t x = 0; x < width; ++x, in += 3) {
            blue[start + x] = in[0];
            green[start + x] = in[1];
            red[start + x] = in[2];
        }
    }
}

void readPlainBmpGrey(std::span<const uint8_t> bytes, const PlainBmpLayout& layout,
                      std::vector<uint8_t>& grey) {
    const size_t width = size_t(layout.width);
    grey.resize(width * size_t(layout.height));
    for (int y = 0; y < layout.height; ++y) {
        const uint8_t* in = fileRow(bytes, layout, y);
        uint8_t* out = grey.data() + size_t(y) * width;
        for (size_t x = 0; x < width; ++x, in += 3)
            out[x] = uint8_t((in[2] * 77 + in[1] * 150 + in[0] * 29) >> 8);
    }
}

std::vector<uint8_t> plainBmpFile(const Document& document) {
    const size_t width = size_t(document.width), rowBytes = paddedRowBytes(document.width);
    const size_t fileSize = kHeadersSize + rowBytes * size_t(document.height);
    std::vector<uint8_t> file(fileSize, 0);
    file[0] = 'B';
    file[1] = 'M';
    putLittleEndian(&file[kFileSizeAt], uint32_t(fileSize), 4);
    putLittleEndian(&file[kPixelsOffsetAt], kHeadersSize, 4);
    putLittleEndian(&file[kInfoSizeAt], kInfoHeaderSize, 4);
    putLittleEndian(&file[kWidthAt], uint32_t(document.width), 4);
    putLittleEndian(&file[kHeightAt], uint32_t(document.height), 4);
    putLittleEndian(&file[kPlanesAt], 1, 2);
    putLittleEndian(&file[kBitsAt], 24, 2);
    const uint8_t* red = document.channels[0].samples.data();
    const uint8_t* green = document.channels[1].samples.data();
    const uint8_t* blue = document.channels[2].samples.data();
    for (int y = 0; y < document.height; ++y) {
        // Rows go from the bottom up; the padding stays zero.
        uint8_t* out = &file[kHeadersSize + size_t(document.height - 1 - y) * rowBytes];
        const size_t start = size_t(y) * width;
        for (size_t x = 0; x < width; ++x, out += 3) {
            out[0] = blue[start + x];
            out[1] = green[start + x];
            out[2] = red[start + x];
        }
    }
    return file;
}
