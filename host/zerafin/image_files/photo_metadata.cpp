#include "host/zerafin/image_files/photo_metadata.h"

#include <algorithm>
#include <cstring>

#include "host/zerafin/image_files/byte_order.h"
#include <map>
#include <new>
#include <string_view>

#include <zlib.h>

namespace {
constexpr std::string_view kExifTag{"Exif\0\0", 6};
constexpr std::string_view kProfileTag{"ICC_PROFILE\0", 12};
constexpr uint8_t kMarker = 0xFF, kStartOfImage = 0xD8, kStartOfScan = 0xDA, kEndOfImage = 0xD9;
constexpr uint8_t kApp0 = 0xE0, kApp1 = 0xE1, kApp2 = 0xE2;
constexpr size_t kMaxSegmentData = 65533; // a segment's length counts its own two bytes
constexpr size_t kMaxProfileBytes = size_t(16) << 20;
constexpr uint16_t kOrientationTag = 0x0112, kShortType = 3;

bool startsWith(std::span<const uint8_t> bytes, std::string_view tag) {
    return bytes.size() >= tag.size() && std::memcmp(bytes.data(), tag.data(), tag.size()) == 0;
}

// The profile from its numbered APP2 pieces, when every piece from 1 to the
// count is there once.
std::vector<uint8_t> joinedProfile(const std::map<int, std::span<const uint8_t>>& pieces,
                                   int count) {
    std::vector<uint8_t> profile;
    if (count < 1 || int(pieces.size()) != count)
        return profile;
    for (int number = 1; number <= count; ++number) {
        const auto piece = pieces.find(number);
        if (piece == pieces.end())
            return {};
        profile.insert(profile.end(), piece->second.begin(), piece->second.end());
    }
    return profile;
}

// A TIFF block's numbers, in the byte order its header says ("II" little-endian,
// "MM" big-endian), every read within the block.
struct TiffReader {
    std::span<const uint8_t> bytes;
    bool littleEndian = false;

    bool valid() const {
        return bytes.size() >= 8 && ((bytes[0] == 'I' && bytes[1] == 'I' && read(2, 2) == 42) ||
                                     (bytes[0] == 'M' && bytes[1] == 'M' && read(2, 2) == 42));
    }
    uint32_t read(size_t at, size_t size) const {
        return littleEndian ? littleEndianAt(bytes, at, size) : bigEndianAt(bytes, at, size);
    }
    // Where the first directory's orientation value lies; 0 when it has none.
    size_t orientationAt() const {
        const size_t directory = read(4, 4);
        if (directory > bytes.size() || bytes.size() - directory < 2)
            return 0;
        const size_t entries = read(directory, 2);
        constexpr size_t kEntrySize = 12;
        if ((bytes.size() - directory - 2) / kEntrySize < entries)
            return 0;
        for (size_t i = 0; i < entries; ++i) {
            const size_t entry = directory + 2 + i * kEntrySize;
            if (read(entry, 2) == kOrientationTag && read(entry + 2, 2) == kShortType &&
                read(entry + 4, 4) == 1)
                return entry + 8;
        }
        return 0;
    }
};

TiffReader tiffOf(std::span<const uint8_t> exif) {
    TiffReader reader{exif, exif.size() >= 2 && exif[0] == 'I'};
    if (!reader.valid())
        reader.bytes = {};
    return reader;
}

// Where each pixel of the upright image lies in the stored one, by
// orientation: the axes exchanged or not, then the stored column and row
// counted from the right or the bottom.
struct Turn {
    bool transposed, fromRight, fromBottom;
};
constexpr Turn kTurns[9] = {
    {false, false, false}, {false, false, false}, {false, true, false},
    {false, true, true},   {false, false, true},  {true, false, false},
    {true, false, true},   {true, true, true},    {true, true, false},
};

// One plane turned: `source` is width x height; the result has the turned size.
std::vector<uint8_t> turned(const std::vector<uint8_t>& source, size_t width, size_t height,
                            const Turn& turn) {
    const size_t newWidth = turn.transposed ? height : width;
    const size_t newHeight = turn.transposed ? width : height;
    std::vector<uint8_t> result(source.size());
    for (size_t y = 0; y < newHeight; ++y)
        for (size_t x = 0; x < newWidth; ++x) {
            size_t sx = turn.transposed ? y : x, sy = turn.transposed ? x : y;
            if (turn.fromRight)
                sx = width - 1 - sx;
            if (turn.fromBottom)
                sy = height - 1 - sy;
            result[y * newWidth + x] = source[sy * width + sx];
        }
    return result;
}

void appendSegment(std::vector<uint8_t>& out, uint8_t marker, std::string_view tag,
                   std::span<const uint8_t> head, std::span<const uint8_t> data) {
    const size_t length = 2 + tag.size() + head.size() + data.size();
    out.insert(out.end(), {kMarker, marker, uint8_t(length >> 8), uint8_t(length)});
    out.insert(out.end(), tag.begin(), tag.end());
    out.insert(out.end(), head.begin(), head.end());
    out.insert(out.end(), data.begin(), data.end());
}

// The profile deflated in an iCCP chunk's data (name, 0, method 0, stream);
// empty when it does not inflate within the limit.
std::vector<uint8_t> inflatedProfile(std::span<const uint8_t> chunk) {
    const auto nameEnd = std::find(chunk.begin(), chunk.end(), uint8_t(0));
    if (chunk.end() - nameEnd < 2 || nameEnd[1] != 0)
        return {};
    const std::span<const uint8_t> deflated(nameEnd + 2, chunk.end());
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        throw std::bad_alloc();
    std::vector<uint8_t> profile;
    stream.next_in = const_cast<Bytef*>(deflated.data());
    stream.avail_in = uInt(deflated.size());
    int result = Z_OK;
    while (result == Z_OK && profile.size() < kMaxProfileBytes) {
        uint8_t piece[16384];
        stream.next_out = piece;
        stream.avail_out = sizeof piece;
        result = inflate(&stream, Z_NO_FLUSH);
        profile.insert(profile.end(), piece, piece + (sizeof piece - stream.avail_out));
    }
    inflateEnd(&stream);
    if (result == Z_MEM_ERROR)
        throw std::bad_alloc();
    return result == Z_STREAM_END ? profile : std::vector<uint8_t>{};
}
} // namespace

PhotoMetadata jpegMetadata(std::span<const uint8_t> file) {
    PhotoMetadata metadata;
    std::map<int, std::span<const uint8_t>> profilePieces;
    int profileCount = 0;
    if (file.size() < 2 || file[0] != kMarker || file[1] != kStartOfImage)
        return metadata;
    // The segments before the first scan, each with its length.
    for (size_t at = 2; file.size() - at >= 4 && file[at] == kMarker;) {
        const uint8_t marker = file[at + 1];
        const size_t length = bigEndianAt(file, at + 2, 2);
        if (marker == kStartOfScan || marker == kEndOfImage || length < 2 ||
            length > file.size() - at - 2)
            break;
        const std::span<const uint8_t> data = file.subspan(at + 4, length - 2);
        if (marker == kApp1 && metadata.exif.empty() && startsWith(data, kExifTag))
            metadata.exif.assign(data.begin() + kExifTag.size(), data.end());
        if (marker == kApp2 && startsWith(data, kProfileTag) &&
            data.size() >= kProfileTag.size() + 2) {
            const int number = data[kProfileTag.size()];
            profileCount = data[kProfileTag.size() + 1];
            profilePieces.emplace(number, data.subspan(kProfileTag.size() + 2));
        }
        at += 2 + length;
    }
    metadata.iccProfile = joinedProfile(profilePieces, profileCount);
    return metadata;
}

PhotoMetadata pngMetadata(std::span<const uint8_t> file) {
    PhotoMetadata metadata;
    constexpr size_t kSignatureSize = 8, kChunkFrame = 12;
    for (size_t at = kSignatureSize; file.size() >= at && file.size() - at >= kChunkFrame;) {
        const size_t length = bigEndianAt(file, at, 4);
        if (length > file.size() - at - kChunkFrame)
            break;
        const std::span<const uint8_t> type = file.subspan(at + 4, 4),
                                       data = file.subspan(at + 8, length);
        if (startsWith(type, "iCCP") && metadata.iccProfile.empty())
            metadata.iccProfile = inflatedProfile(data);
        if (startsWith(type, "eXIf") && metadata.exif.empty())
            metadata.exif.assign(data.begin(), data.end());
        if (startsWith(type, "IDAT"))
            break; // both come before the image data
        at += kChunkFrame + length;
    }
    return metadata;
}

int exifOrientation(std::span<const uint8_t> exif) {
    const TiffReader tiff = tiffOf(exif);
    const size_t at = tiff.bytes.empty() ? 0 : tiff.orientationAt();
    const int orientation = at ? int(tiff.read(at, 2)) : 1;
    return orientation >= 1 && orientation <= 8 ? orientation : 1;
}

void setExifOrientation(std::vector<uint8_t>& exif, int orientation) {
    const TiffReader tiff = tiffOf(exif);
    const size_t at = tiff.bytes.empty() ? 0 : tiff.orientationAt();
    if (at == 0)
        return;
    exif[at + (tiff.littleEndian ? 0 : 1)] = uint8_t(orientation);
    exif[at + (tiff.littleEndian ? 1 : 0)] = 0;
}

void turnUpright(Document& document, int orientation) {
    if (orientation < 2 || orientation > 8)
        return;
    const Turn& turn = kTurns[orientation];
    for (Channel& channel : document.channels)
        channel.samples =
            turned(channel.samples, size_t(document.width), size_t(document.height), turn);
    if (turn.transposed)
        std::swap(document.width, document.height);
}

std::vector<uint8_t> jpegWithMetadata(std::span<const uint8_t> jpeg,
                                      const PhotoMetadata& metadata) {
    // After the start of image and the encoder's first segment (its JFIF
    // header), where readers look for them.
    size_t insertAt = std::min<size_t>(jpeg.size(), 2);
    if (jpeg.size() >= 6 && jpeg[2] == kMarker && jpeg[3] == kApp0)
        insertAt = std::min(jpeg.size(), 4 + size_t(bigEndianAt(jpeg, 4, 2)));
    std::vector<uint8_t> out(jpeg.begin(), jpeg.begin() + std::ptrdiff_t(insertAt));
    if (!metadata.exif.empty() && metadata.exif.size() <= kMaxSegmentData - kExifTag.size())
        appendSegment(out, kApp1, kExifTag, {}, metadata.exif);
    constexpr size_t kPieceBytes = kMaxSegmentData - kProfileTag.size() - 2;
    const std::span<const uint8_t> profile = metadata.iccProfile;
    const size_t pieces = (profile.size() + kPieceBytes - 1) / kPieceBytes;
    for (size_t i = 0; pieces <= 255 && i < pieces; ++i) {
        const uint8_t head[2] = {uint8_t(i + 1), uint8_t(pieces)};
        appendSegment(out, kApp2, kProfileTag, head,
                      profile.subspan(i * kPieceBytes,
                                      std::min(kPieceBytes, profile.size() - i * kPieceBytes)));
    }
    out.insert(out.end(), jpeg.begin() + std::ptrdiff_t(insertAt), jpeg.end());
    return out;
}
