#include "host/zerafin/image_files/image_io.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "host/zerafin/files/host_files.h"
#include "host/zerafin/image_files/image_formats.h"
#include "host/zerafin/image_files/photo_metadata.h"
#include "host/zerafin/image_files/plain_bmp.h"
#include "host/zerafin/image_files/png_writer.h"
#include "host/zerafin/plugin_services/host_session.h"
#include "host/zerafin/terminal/messages.h"

namespace {
// Set when one of stb's allocations fails: its own message for that is lost
// when it goes on to try the other formats, and running out of memory is not
// the file's fault.
thread_local bool stbRanOutOfMemory = false;

void* stbAllocate(size_t size) {
    void* block = std::malloc(size);
    stbRanOutOfMemory |= block == nullptr;
    return block;
}
void* stbReallocate(void* block, size_t size) {
    void* moved = std::realloc(block, size);
    stbRanOutOfMemory |= moved == nullptr;
    return moved;
}
} // namespace

#define STBI_MALLOC(size) stbAllocate(size)
#define STBI_REALLOC(block, size) stbReallocate(block, size)
#define STBI_FREE(block) std::free(block)
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#define STBI_MAX_DIMENSIONS kMaxImageSide
#include <stb/stb_image.h>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace {
struct StbFree {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};
using StbPixels = std::unique_ptr<stbi_uc, StbFree>;

// ---- What stb is not given ------------------------------------------------
// The decoder trusts a few header fields that a damaged file can set to values
// it does not handle soundly. Such files are refused here, before it sees them,
// and the one harmless oddity it mishandles (an empty PNG image data chunk) is
// dropped from the bytes it gets.

uint32_t bigEndian32(const uint8_t* bytes) {
    return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
}
uint32_t bigEndian16(const uint8_t* bytes) {
    return uint32_t(bytes[0]) << 8 | bytes[1];
}
int32_t littleEndian32(const uint8_t* bytes) {
    return int32_t(uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                   uint32_t(bytes[3]) << 24);
}

bool startsWith(std::span<const uint8_t> bytes, std::span<const uint8_t> signature) {
    return bytes.size() >= signature.size() &&
           std::memcmp(bytes.data(), signature.data(), signature.size()) == 0;
}

constexpr uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint8_t kBmpSignature[] = {'B', 'M'};

// Every chunk must lie within the file. `kept` receives the bytes without the
// empty image data chunks when there are any, and stays empty otherwise.
bool checkPng(std::span<const uint8_t> bytes, std::vector<uint8_t>& kept, std::string& reason) {
    constexpr size_t kChunkFrame = 12; // length, type, then the CRC after the data
    std::vector<std::span<const uint8_t>> chunks;
    bool emptyData = false;
    size_t at = sizeof kPngSignature;
    while (at < bytes.size()) {
        if (bytes.size() - at < kChunkFrame ||
            bigEndian32(&bytes[at]) > bytes.size() - at - kChunkFrame) {
            reason = "a chunk runs past the end of the file";
            return false;
        }
        const size_t length = bigEndian32(&bytes[at]);
        const bool isData = std::memcmp(&bytes[at + 4], "IDAT", 4) == 0;
        const bool isEnd = std::memcmp(&bytes[at + 4], "IEND", 4) == 0;
        if (isData && length == 0)
            emptyData = true;
        else
            chunks.push_back(bytes.subspan(at, kChunkFrame + length));
        at += kChunkFrame + length;
        if (isEnd)
            break;
    }
    if (emptyData) {
        kept.assign(bytes.begin(), bytes.begin() + sizeof kPngSignature);
        for (std::span<const uint8_t> chunk : chunks)
            kept.insert(kept.end(), chunk.begin(), chunk.end());
    }
    return true;
}

// A progressive photograph has about ten scans, each over one component or
// all of them: a few passes over the image. Far more is a file made to hold
// the decoder.
constexpr size_t kMaxJpegScans = 256;
constexpr double kMaxJpegPasses = 64;

// Which tables a JPEG file has defined so far. The decoder keeps no record of
// them: a scan that uses a table the file never defined reads memory that
// nothing wrote, and a Huffman table of more than 256 codes overruns its
// arrays. Such files are refused.
struct JpegTables {
    bool huffman[2][4] = {}; // [DC 0, AC 1][table]
    bool quantization[4] = {};
    std::vector<uint8_t> frameQuantization; // each component's table
    bool progressive = false;
    // Each scan makes the decoder go over every block of the components it
    // holds, however few bytes it has: the scans, and the passes over the
    // whole image they add up to, are counted.
    size_t scans = 0;
    double passes = 0;

    // A Huffman table segment: each table's sixteen code counts add up to at
    // most 256 codes, all present in the segment.
    bool defineHuffman(std::span<const uint8_t> segment) {
        constexpr size_t kTableHead = 17; // class and number, then the sixteen counts
        size_t at = 0;
        while (at < segment.size()) {
            if (segment.size() - at < kTableHead)
                return false;
            size_t codes = 0;
            for (size_t i = 1; i < kTableHead; ++i)
                codes += segment[at + i];
            if (codes > 256 || codes > segment.size() - at - kTableHead)
                return false;
            const int tableClass = segment[at] >> 4, table = segment[at] & 15;
            if (tableClass <= 1 && table <= 3)
                huffman[tableClass][table] = true;
            at += kTableHead + codes;
        }
        return true;
    }
    // A quantization table segment: 64 values of one or two bytes per table.
    void defineQuantization(std::span<const uint8_t> segment) {
        for (size_t at = 0; at < segment.size();) {
            const size_t size = 1 + (segment[at] >> 4 ? 128 : 64);
            if ((segment[at] & 15) <= 3 && size <= segment.size() - at)
                quantization[segment[at] & 15] = true;
            at += size;
        }
    }
    // A frame header: precision, height, width, then per component its id,
    // sampling and quantization table.
    void defineFrame(uint8_t marker, std::span<const uint8_t> segment) {
        constexpr size_t kComponentsAt = 6;
        progressive = marker == 0xC2;
        frameQuantization.clear();
        for (size_t at = kComponentsAt; at + 2 < segment.size(); at += 3)
            frameQuantization.push_back(segment[at + 2]);
    }
    void countScan(std::span<const uint8_t> segment) {
        ++scans;
        if (!segment.empty())
            passes += double(segment[0]) / double(std::max<size_t>(1, frameQuantization.size()));
    }
    // A scan header: per component its id and Huffman tables, then the first
    // coefficient (0 for the DC scans of a progressive file, which use no AC
    // table; the later scans use no DC table).
    bool scanTablesDefined(std::span<const uint8_t> segment) const {
        if (segment.empty())
            return true;
        const size_t components = segment[0];
        if (segment.size() < 1 + 2 * components + 1)
            return true; // the decoder refuses such a scan header itself
        const bool dcScan = segment[1 + 2 * components] == 0;
        for (size_t i = 0; i < components; ++i) {
            const uint8_t tables = segment[2 + 2 * i];
            if ((!progressive || dcScan) && (tables >> 4) <= 3 && !huffman[0][tables >> 4])
                return false;
            if ((!progressive || !dcScan) && (tables & 15) <= 3 && !huffman[1][tables & 15])
                return false;
        }
        for (uint8_t table : frameQuantization)
            if (table <= 3 && !quantization[table])
                return false;
        return true;
    }
};

// Where the markers of a JPEG file start: after its start-of-image marker,
// which the decoder also finds behind fill bytes (FF FF D8); 0 for a file
// that is not a JPEG file.
size_t jpegMarkersStart(std::span<const uint8_t> bytes) {
    constexpr uint8_t kMarker = 0xFF, kStartOfImage = 0xD8;
    size_t at = 0;
    while (at < bytes.size() && bytes[at] == kMarker)
        ++at;
    return at > 0 && at < bytes.size() && bytes[at] == kStartOfImage ? at + 1 : 0;
}

// Walks the markers as the decoder does, skipping the entropy-coded data
// between them: every segment lies within the file, every Huffman table fits,
// and every scan uses tables the file defined before it. Where the decoder
// would stop at a damaged segment, this refuses the file.
bool checkJpeg(std::span<const uint8_t> bytes, std::string& reason) {
    constexpr uint8_t kHuffmanTables = 0xC4, kQuantizationTables = 0xDB, kStartOfScan = 0xDA,
                      kEndOfImage = 0xD9;
    JpegTables tables;
    size_t at = jpegMarkersStart(bytes);
    while (at + 1 < bytes.size()) {
        const uint8_t marker = bytes[at + 1];
        const bool standalone = marker == 0x00 || marker == 0x01 || marker == 0xFF ||
                                (marker >= 0xD0 && marker <= 0xD7);
        if (bytes[at] != 0xFF || standalone) {
            at += bytes[at] == 0xFF && marker != 0xFF ? 2 : 1;
            continue;
        }
        if (marker == kEndOfImage)
            break;
        if (bytes.size() - at < 4 || bigEndian16(&bytes[at + 2]) < 2 ||
            bigEndian16(&bytes[at + 2]) > bytes.size() - at - 2) {
            reason = "a segment runs past the end of the file";
            return false;
        }
        const size_t length = bigEndian16(&bytes[at + 2]);
        const std::span<const uint8_t> segment = bytes.subspan(at + 4, length - 2);
        if (marker == kHuffmanTables && !tables.defineHuffman(segment)) {
            reason = "a Huffman table is damaged";
            return false;
        }
        if (marker == kQuantizationTables)
            tables.defineQuantization(segment);
        if (marker >= 0xC0 && marker <= 0xC2)
            tables.defineFrame(marker, segment);
        if (marker == kStartOfScan && !tables.scanTablesDefined(segment)) {
            reason = "a scan uses a table that the file does not define";
            return false;
        }
        if (marker == kStartOfScan)
            tables.countScan(segment);
        if (tables.scans > kMaxJpegScans || tables.passes > kMaxJpegPasses) {
            reason = "it has more scans than any photograph (over " +
                     std::to_string(kMaxJpegScans) + ", or over " +
                     std::to_string(int(kMaxJpegPasses)) + " passes over the image)";
            return false;
        }
        at += 2 + length;
    }
    return true;
}

uint32_t littleEndian16(const uint8_t* bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8;
}

bool refuseTruncated(std::string& reason) {
    reason = "it is truncated (its pixels end early)";
    return false;
}

// The height of a Windows bitmap is signed (negative: rows top down); the
// lowest 32-bit value has no positive counterpart. Uncompressed rows are
// padded to four bytes and must all be in the file: the decoder would read
// the missing ones as black.
bool checkBmp(std::span<const uint8_t> bytes, std::string& reason) {
    constexpr size_t kPixelsOffset = 10, kInfoHeaderSize = 14, kCoreHeaderSize = 12;
    constexpr size_t kWidthOffset = 18, kHeightOffset = 22, kBitsOffset = 28,
                     kCompressionOffset = 30, kCoreBitsOffset = 24;
    constexpr uint32_t kUncompressed = 0, kBitFields = 3, kAlphaBitFields = 6;
    if (bytes.size() < kHeightOffset + 4)
        return true;
    int64_t width = 0, height = 0;
    uint32_t bits = 0, compression = kUncompressed;
    if (littleEndian32(&bytes[kInfoHeaderSize]) == int32_t(kCoreHeaderSize)) {
        width = littleEndian16(&bytes[kWidthOffset]);
        height = littleEndian16(&bytes[kWidthOffset + 2]);
        bits = littleEndian16(&bytes[kCoreBitsOffset]);
    } else {
        if (littleEndian32(&bytes[kHeightOffset]) == INT_MIN) {
            reason = "its height is out of range";
            return false;
        }
        if (bytes.size() < kCompressionOffset + 4)
            return true;
        width = littleEndian32(&bytes[kWidthOffset]);
        height = std::abs(int64_t(littleEndian32(&bytes[kHeightOffset])));
        bits = littleEndian16(&bytes[kBitsOffset]);
        compression = uint32_t(littleEndian32(&bytes[kCompressionOffset]));
    }
    const bool plain =
        compression == kUncompressed || compression == kBitFields || compression == kAlphaBitFields;
    if (!plain || width < 1 || height < 1 || bits == 0 || bits > 32)
        return true; // the decoder refuses these itself
    const int64_t rowBytes = (width * bits + 31) / 32 * 4;
    const int64_t pixelsStart = uint32_t(littleEndian32(&bytes[kPixelsOffset]));
    // Rows times height can pass any 64-bit number for a forged header:
    // compared by division instead.
    const int64_t pixelBytes = int64_t(bytes.size()) - pixelsStart;
    if (pixelBytes < 0 || rowBytes > pixelBytes / height)
        return refuseTruncated(reason);
    return true;
}

// A Targa file has no signature: it is what remains when no other format
// claims the bytes. Its pixels follow the header, the image's name and its
// colour map, each pixel whole or run-length coded in packets; every pixel
// must be in the file.
bool checkTga(std::span<const uint8_t> bytes, std::string& reason) {
    constexpr size_t kHeaderSize = 18;
    if (bytes.size() < kHeaderSize)
        return true;
    const uint32_t type = bytes[2], mapEntries = littleEndian16(&bytes[5]), mapEntryBits = bytes[7],
                   width = littleEndian16(&bytes[12]), height = littleEndian16(&bytes[14]),
                   bits = bytes[16];
    const bool coded = type == 9 || type == 10 || type == 11;
    const bool known = type == 1 || type == 2 || type == 3 || coded;
    if (!known || bytes[1] > 1 || width == 0 || height == 0 || bits == 0 || bits > 32)
        return true; // not a Targa file the decoder reads
    const uint64_t pixelBytes = (bits + 7) / 8;
    uint64_t at = kHeaderSize + bytes[0] + (bytes[1] ? mapEntries * ((mapEntryBits + 7) / 8) : 0);
    const uint64_t pixels = uint64_t(width) * height;
    if (!coded)
        return at + pixels * pixelBytes <= bytes.size() ? true : refuseTruncated(reason);
    for (uint64_t done = 0; done < pixels;) {
        if (at >= bytes.size())
            return refuseTruncated(reason);
        const uint8_t packet = bytes[at++];
        const uint64_t count = (packet & 0x7F) + 1;
        at += (packet & 0x80) ? pixelBytes : count * pixelBytes;
        done += count;
    }
    return at <= bytes.size() ? true : refuseTruncated(reason);
}

bool checkHeader(std::span<const uint8_t> bytes, std::vector<uint8_t>& kept, std::string& reason) {
    if (startsWith(bytes, kPngSignature))
        return checkPng(bytes, kept, reason);
    if (jpegMarkersStart(bytes) > 0)
        return checkJpeg(bytes, reason);
    if (startsWith(bytes, kBmpSignature))
        return checkBmp(bytes, reason);
    return checkTga(bytes, reason);
}

// Why stb failed; running out of memory is not the file's fault and ends the
// host as any other shortage of memory does.
std::string failureReason() {
    const char* reason = stbi_failure_reason();
    if (stbRanOutOfMemory || (reason && std::strcmp(reason, "outofmem") == 0))
        throw std::bad_alloc();
    return reason ? reason : "the file is damaged";
}

// Hands the decoder the file's bytes a piece at a time, so that an
// interruption is noticed while it decodes: from then on the file seems to
// end, and the decoder stops.
struct PieceReader {
    std::span<const uint8_t> bytes;
    size_t at = 0;
    bool interrupted = false;

    static int read(void* reader, char* data, int size) {
        auto& self = *static_cast<PieceReader*>(reader);
        self.interrupted |= abortRequested();
        if (self.interrupted)
            return 0;
        const size_t count = std::min(size_t(size), self.bytes.size() - self.at);
        std::memcpy(data, self.bytes.data() + self.at, count);
        self.at += count;
        return int(count);
    }
    static void skip(void* reader, int count) {
        auto& self = *static_cast<PieceReader*>(reader);
        const int64_t to =
            std::clamp<int64_t>(int64_t(self.at) + count, 0, int64_t(self.bytes.size()));
        self.at = size_t(to);
    }
    static int atEnd(void* reader) {
        const auto& self = *static_cast<PieceReader*>(reader);
        return self.interrupted || self.at >= self.bytes.size();
    }
};
constexpr stbi_io_callbacks kPieceCallbacks{PieceReader::read, PieceReader::skip,
                                            PieceReader::atEnd};

// Why the file cannot be read: its kind or variant when this host does not
// read it, else the decoder's reason.
std::string unreadable(const std::string& name, std::span<const uint8_t> bytes) {
    const std::string reason = failureReason();
    const std::optional<std::string> variant = unsupportedVariant(bytes, kMaxImageSide);
    if (variant)
        return "cannot read '" + name + "': " + *variant;
    if (reason == "unknown image type")
        return "cannot read '" + name + "': it is not an image this host reads (" +
               kReadableFormats + ")";
    return "cannot read '" + name + "': " + reason;
}

// 16-bit samples rounded to 8 bits, in place: the result is the buffer's
// first half. Null stays null.
stbi_uc* reducedTo8Bits(stbi_us* samples, size_t count) {
    if (!samples)
        return nullptr;
    auto* reduced = reinterpret_cast<stbi_uc*>(samples);
    for (size_t i = 0; i < count; ++i)
        reduced[i] = stbi_uc((uint32_t(samples[i]) * 255 + 32767) / 65535);
    return reduced;
}

bool withinLimits(const std::string& name, int width, int height, int64_t maxPixels,
                  std::string& error) {
    if (width <= kMaxImageSide && height <= kMaxImageSide && int64_t(width) * height <= maxPixels)
        return true;
    error = "'" + name + "' is " + std::to_string(width) + " x " + std::to_string(height) +
            " pixels; this host reads at most " + std::to_string(kMaxImageSide) +
            " on a side and " + std::to_string(maxPixels) + " in all";
    return false;
}

// A plain bitmap of a size this host reads: its layout, read without the
// general decoder. Any other file, or one too large (refused by the general
// path with its message), gives nullopt.
std::optional<PlainBmpLayout> readablePlainBmp(std::span<const uint8_t> bytes, int64_t maxPixels) {
    std::optional<PlainBmpLayout> layout = plainBmpLayout(bytes);
    std::string tooLarge;
    if (layout && !withinLimits("", layout->width, layout->height, maxPixels, tooLarge))
        return std::nullopt;
    return layout;
}

// The decoded pixels with `wanted` samples each, after the header said that
// the image is of a size this host reads; `deep` tells that the file had 16
// bits per sample.
StbPixels decodePixels(std::span<const uint8_t> bytes, const std::string& name, int wanted,
                       int64_t maxPixels, int& width, int& height, int& components, bool& deep,
                       std::string& error) {
    std::vector<uint8_t> kept;
    std::string reason;
    stbRanOutOfMemory = false;
    if (!checkHeader(bytes, kept, reason)) {
        error = "cannot read '" + name + "': " + reason;
        return nullptr;
    }
    if (!kept.empty())
        bytes = kept;
    if (bytes.size() > size_t(INT_MAX)) {
        error = "'" + name + "' is too large a file";
        return nullptr;
    }
    const int size = int(bytes.size());
    if (!stbi_info_from_memory(bytes.data(), size, &width, &height, &components)) {
        error = unreadable(name, bytes);
        return nullptr;
    }
    // A bitmap's header gives a negative height for rows stored top first;
    // the decoder reads them in the right order.
    if (startsWith(bytes, kBmpSignature) && height < 0)
        height = -height;
    if (width < 1 || height < 1) {
        error = "'" + name + "' has no pixels (" + std::to_string(width) + " x " +
                std::to_string(height) + ")";
        return nullptr;
    }
    if (!withinLimits(name, width, height, maxPixels, error))
        return nullptr;
    int decodedWidth = 0, decodedHeight = 0;
    deep = stbi_is_16_bit_from_memory(bytes.data(), size) != 0;
    PieceReader reader{bytes};
    StbPixels pixels(
        deep ? reducedTo8Bits(stbi_load_16_from_callbacks(&kPieceCallbacks, &reader, &decodedWidth,
                                                          &decodedHeight, &components, wanted),
                              size_t(width) * size_t(height) * size_t(wanted))
             : stbi_load_from_callbacks(&kPieceCallbacks, &reader, &decodedWidth, &decodedHeight,
                                        &components, wanted));
    if (reader.interrupted) {
        error = "interrupted while reading '" + name + "'";
        return nullptr;
    }
    if (!pixels) {
        error = unreadable(name, bytes);
        return nullptr;
    }
    if (decodedWidth != width || decodedHeight != height) {
        error = "cannot read '" + name + "': its header and its pixels disagree on its size";
        return nullptr;
    }
    return pixels;
}

// The profile and EXIF block the file carries. A JPEG's pixels are turned
// upright as its EXIF orientation says, so that the lights sit where the
// viewer sees them; a PNG's pixels are taken as they stand, as PNG viewers
// show them. Either way the EXIF data then says upright (1), so that the file
// written stands as the image lit.
void readMetadata(std::span<const uint8_t> bytes, Document& document) {
    const size_t markers = jpegMarkersStart(bytes);
    if (startsWith(bytes, kPngSignature)) {
        document.metadata = pngMetadata(bytes);
    } else if (markers > 0) {
        document.metadata = jpegMetadata(bytes.subspan(markers - 2));
        turnUpright(document, exifOrientation(document.metadata.exif));
    }
    setExifOrientation(document.metadata.exif, 1);
}

Channel channelOf(std::string name, const stbi_uc* pixels, size_t count, int step, int offset) {
    Channel channel{std::move(name), std::vector<uint8_t>(count)};
    for (size_t i = 0; i < count; ++i)
        channel.samples[i] = pixels[i * size_t(step) + size_t(offset)];
    return channel;
}
} // namespace

Document documentFromRgb(int width, int height, const std::vector<uint8_t>& rgb) {
    Document document;
    document.width = width;
    document.height = height;
    const char* names[3] = {"Rouge", "Vert", "Bleu"};
    const size_t count = size_t(width) * size_t(height);
    for (int c = 0; c < 3; ++c)
        document.channels.push_back(channelOf(names[c], rgb.data(), count, 3, c));
    return document;
}

bool decodeDocument(std::span<const uint8_t> bytes, const std::string& name, Document& document,
                    std::string& error, int64_t maxPixels, bool* reducedFrom16Bits) {
    const char* names[3] = {"Rouge", "Vert", "Bleu"};
    Document decoded;
    if (reducedFrom16Bits)
        *reducedFrom16Bits = false;
    if (const std::optional<PlainBmpLayout> layout = readablePlainBmp(bytes, maxPixels)) {
        decoded.width = layout->width;
        decoded.height = layout->height;
        for (const char* channelName : names)
            decoded.channels.push_back(Channel{channelName, {}});
        readPlainBmpColour(bytes, *layout, decoded.channels[0].samples, decoded.channels[1].samples,
                           decoded.channels[2].samples);
        document = std::move(decoded);
        return true;
    }
    int width = 0, height = 0, components = 0;
    bool deep = false;
    StbPixels pixels =
        decodePixels(bytes, name, 4, maxPixels, width, height, components, deep, error);
    if (reducedFrom16Bits)
        *reducedFrom16Bits = deep;
    if (!pixels)
        return false;
    const size_t count = size_t(width) * size_t(height);
    decoded.width = width;
    decoded.height = height;
    for (int c = 0; c < 3; ++c)
        decoded.channels.push_back(channelOf(names[c], pixels.get(), count, 4, c));
    decoded.hasAlpha = components == 2 || components == 4;
    if (decoded.hasAlpha)
        decoded.channels.push_back(channelOf("Alpha 1", pixels.get(), count, 4, 3));
    readMetadata(bytes, decoded);
    document = std::move(decoded);
    return true;
}

namespace {
void noteReduction(const std::string& path) {
    printMessage(stderr, "'" + path + "' has 16 bits per sample; it is read rounded to 8 bits");
}
} // namespace

bool loadDocument(const std::string& path, Document& document, std::string& error) {
    std::vector<uint8_t> bytes;
    bool deep = false;
    if (!readInputFile(path, "the image", kMaxImageFileBytes, bytes, error) ||
        !decodeDocument(bytes, path, document, error, kMaxImagePixels, &deep))
        return false;
    if (deep)
        noteReduction(path);
    return true;
}

bool readChannelImage(const std::string& path, const std::string& name, ChannelImage& image,
                      std::string& error) {
    std::vector<uint8_t> bytes;
    if (!readInputFile(path, "the channel image", kMaxImageFileBytes, bytes, error))
        return false;
    image.path = path;
    image.channel = Channel{name, {}};
    if (const std::optional<PlainBmpLayout> layout = readablePlainBmp(bytes, kMaxImagePixels)) {
        image.width = layout->width;
        image.height = layout->height;
        readPlainBmpGrey(bytes, *layout, image.channel.samples);
        return true;
    }
    int components = 0;
    bool deep = false;
    StbPixels pixels = decodePixels(bytes, path, 1, kMaxImagePixels, image.width, image.height,
                                    components, deep, error);
    if (!pixels)
        return false;
    if (deep)
        noteReduction(path);
    image.channel = channelOf(name, pixels.get(), size_t(image.width) * size_t(image.height), 1, 0);
    return true;
}

bool addChannel(ChannelImage&& image, Document& document, std::string& error) {
    if (image.width != document.width || image.height != document.height) {
        error = "channel '" + image.channel.name + "' (" + image.path + ") is " +
                std::to_string(image.width) + " x " + std::to_string(image.height) +
                " but the image is " + std::to_string(document.width) + " x " +
                std::to_string(document.height);
        return false;
    }
    document.channels.push_back(std::move(image.channel));
    return true;
}

bool loadChannel(const std::string& path, const std::string& name, Document& document,
                 std::string& error) {
    ChannelImage image;
    return readChannelImage(path, name, image, error) &&
           addChannel(std::move(image), document, error);
}

namespace {
// The colour (and alpha) interleaved, as the stb writers take it.
std::vector<uint8_t> interleaved(const Document& document, int components) {
    const size_t count = size_t(document.width) * size_t(document.height);
    std::vector<uint8_t> pixels(count * size_t(components));
    for (size_t i = 0; i < count; ++i)
        for (int c = 0; c < components; ++c)
            pixels[i * size_t(components) + size_t(c)] = document.channels[size_t(c)].samples[i];
    return pixels;
}

void appendBytes(void* context, void* data, int size) {
    auto* bytes = static_cast<uint8_t*>(data);
    auto* encoded = static_cast<std::vector<uint8_t>*>(context);
    encoded->insert(encoded->end(), bytes, bytes + size);
}

} // namespace

bool encodeImage(ImageFormat format, const Document& document, std::vector<uint8_t>& encoded,
                 std::string& error, int quality) {
    const int components = document.hasAlpha && format != ImageFormat::Jpeg ? 4 : 3;
    const int w = document.width, h = document.height;
    if (w < 1 || h < 1) {
        error = "an image without pixels cannot be written";
        return false;
    }
    // Most bitmaps are written straight from the planes.
    if (format == ImageFormat::Bmp && components == 3) {
        encoded = plainBmpFile(document);
        return true;
    }
    const std::vector<uint8_t> pixels = interleaved(document, components);
    encoded.clear();
    int written = 0;
    switch (format) {
    case ImageFormat::Png:
        encoded = encodePngFile(PngImage{w, h, components, 8, pixels, document.metadata.iccProfile,
                                         document.metadata.exif});
        written = 1;
        break;
    case ImageFormat::Bmp:
        written = stbi_write_bmp_to_func(appendBytes, &encoded, w, h, components, pixels.data());
        break;
    case ImageFormat::Tga:
        written = stbi_write_tga_to_func(appendBytes, &encoded, w, h, components, pixels.data());
        break;
    case ImageFormat::Jpeg:
        written =
            stbi_write_jpg_to_func(appendBytes, &encoded, w, h, components, pixels.data(), quality);
        break;
    }
    // The encoders fail only when they cannot allocate their buffers.
    if (!written)
        throw std::bad_alloc();
    // BMP and TGA have no place for a profile or EXIF data.
    if (format == ImageFormat::Jpeg)
        encoded = jpegWithMetadata(encoded, document.metadata);
    return true;
}

namespace {
bool saveAs(ImageFormat format, const std::string& path, const Document& document,
            std::string& error) {
    std::vector<uint8_t> encoded;
    PendingOutputs outputs;
    size_t index = 0;
    return encodeImage(format, document, encoded, error) && outputs.reserve(path, index, error) &&
           outputs.write(index, encoded, error) && outputs.commit(error);
}
} // namespace

std::optional<ImageFormat> imageFormatOfPath(const std::string& path) {
    const size_t dot = path.find_last_of("./\\");
    if (dot == std::string::npos || path[dot] != '.')
        return std::nullopt;
    std::string extension = path.substr(dot + 1);
    for (char& c : extension)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    if (extension == "png")
        return ImageFormat::Png;
    if (extension == "jpg" || extension == "jpeg")
        return ImageFormat::Jpeg;
    if (extension == "bmp")
        return ImageFormat::Bmp;
    if (extension == "tga")
        return ImageFormat::Tga;
    return std::nullopt;
}

bool saveImage(const std::string& path, const Document& document, std::string& error) {
    const std::optional<ImageFormat> format = imageFormatOfPath(path);
    if (!format) {
        error = "'" + path + "' names no image format this host writes";
        return false;
    }
    return saveAs(*format, path, document, error);
}

bool savePng(const std::string& path, const Document& document, std::string& error) {
    return saveAs(ImageFormat::Png, path, document, error);
}
