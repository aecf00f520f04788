#include "host/zerafin/image_files/png_writer.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <new>
#include <string_view>

#include <zlib.h>

#include "host/threads/parallel_for.h"

namespace {
// The fastest level: on photographs the next one saves under 1% of the size.
constexpr int kDeflateLevel = 1;
// The strips depend on the image alone, never on the processors, so that one
// image always gives the same file: about a MiB each (shorter ones would cost
// more in joints than they gain in parallel), at most 64.
constexpr size_t kStripBytes = size_t(1) << 20;
constexpr size_t kMaxStrips = 64;

void appendBigEndian32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(value >> shift));
}

void appendChunk(std::vector<uint8_t>& out, std::string_view type, std::span<const uint8_t> data) {
    appendBigEndian32(out, uint32_t(data.size()));
    const size_t typeAt = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0, out.data() + typeAt, uInt(type.size()));
    // zlib takes lengths as unsigned int: large data goes in pieces.
    for (size_t at = 0; at < data.size();) {
        const size_t piece = std::min<size_t>(data.size() - at, size_t(1) << 30);
        crc = crc32(crc, data.data() + at, uInt(piece));
        at += piece;
    }
    appendBigEndian32(out, uint32_t(crc));
}

// An iCCP chunk's data: the profile's name, its compression method (0,
// deflate) and the deflated profile.
std::vector<uint8_t> profileChunkData(std::span<const uint8_t> profile) {
    constexpr std::string_view kName = "ICC profile";
    std::vector<uint8_t> data(kName.begin(), kName.end());
    data.insert(data.end(), {0, 0});
    uLongf size = compressBound(uLong(profile.size()));
    const size_t start = data.size();
    data.resize(start + size);
    if (compress2(data.data() + start, &size, profile.data(), uLong(profile.size()),
                  Z_DEFAULT_COMPRESSION) != Z_OK)
        throw std::bad_alloc(); // with room enough, only memory can fail
    data.resize(start + size);
    return data;
}

// PNG's filter types: what each predicts a byte from, given the bytes to its
// left, above, and above to the left.
enum FilterType { kNone, kSub, kUp, kAverage, kPaeth, kFilterTypes };

template <int Type> int predicted(int left, int up, int upLeft) {
    if constexpr (Type == kSub)
        return left;
    else if constexpr (Type == kUp)
        return up;
    else if constexpr (Type == kAverage)
        return (left + up) / 2;
    else if constexpr (Type == kPaeth) {
        const int estimate = left + up - upLeft;
        const int toLeft = std::abs(estimate - left), toUp = std::abs(estimate - up),
                  toUpLeft = std::abs(estimate - upLeft);
        return toLeft <= toUp && toLeft <= toUpLeft ? left : toUp <= toUpLeft ? up : upLeft;
    } else
        return 0;
}

// One row under one filter, `step` bytes per pixel; `previous` is the row
// above (zeros for the first). Returns the sum of the output's magnitudes,
// read as signed bytes.
template <int Type>
uint64_t filterRow(const uint8_t* row, const uint8_t* previous, size_t bytes, size_t step,
                   uint8_t* out) {
    uint64_t cost = 0;
    for (size_t i = 0; i < bytes; ++i) {
        const int left = i >= step ? row[i - step] : 0;
        const int upLeft = i >= step ? previous[i - step] : 0;
        out[i] = uint8_t(row[i] - predicted<Type>(left, previous[i], upLeft));
        cost += uint64_t(std::abs(int(int8_t(out[i]))));
    }
    return cost;
}

// The row filtered, led by its filter type: the filter whose output has the
// smallest sum of magnitudes, which usually deflates best.
void filterRowBest(const uint8_t* row, const uint8_t* previous, size_t bytes, size_t step,
                   uint8_t* out, std::vector<uint8_t>& scratch) {
    scratch.resize(bytes * kFilterTypes);
    const uint64_t costs[kFilterTypes] = {
        filterRow<kNone>(row, previous, bytes, step, scratch.data()),
        filterRow<kSub>(row, previous, bytes, step, scratch.data() + bytes),
        filterRow<kUp>(row, previous, bytes, step, scratch.data() + 2 * bytes),
        filterRow<kAverage>(row, previous, bytes, step, scratch.data() + 3 * bytes),
        filterRow<kPaeth>(row, previous, bytes, step, scratch.data() + 4 * bytes)};
    const size_t best = size_t(std::min_element(costs, costs + kFilterTypes) - costs);
    out[0] = uint8_t(best);
    std::copy_n(scratch.data() + best * bytes, bytes, out + 1);
}

// One strip of rows, filtered and deflated as a raw stream; every strip but
// the last ends on a byte boundary without ending the stream, so that strips
// joined in order make one stream.
struct Strip {
    int firstRow = 0, endRow = 0;
    bool last = false;
    std::vector<uint8_t> deflated;
    uLong adler = 1;
    size_t filteredBytes = 0;
    bool outOfMemory = false;
};

void deflateStrip(const PngImage& image, Strip& strip) {
    const size_t step = size_t(image.channels * image.bitDepth / 8);
    const size_t rowBytes = size_t(image.width) * step;
    const std::vector<uint8_t> zeros(rowBytes, 0);
    std::vector<uint8_t> filtered((rowBytes + 1) * size_t(strip.endRow - strip.firstRow));
    std::vector<uint8_t> scratch;
    for (int y = strip.firstRow; y < strip.endRow; ++y) {
        const uint8_t* row = image.samples.data() + size_t(y) * rowBytes;
        const uint8_t* previous = y > 0 ? row - rowBytes : zeros.data();
        filterRowBest(row, previous, rowBytes, step,
                      filtered.data() + size_t(y - strip.firstRow) * (rowBytes + 1), scratch);
    }
    strip.filteredBytes = filtered.size();
    strip.adler = adler32_z(1, filtered.data(), filtered.size());

    z_stream stream{};
    if (deflateInit2(&stream, kDeflateLevel, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        strip.outOfMemory = true;
        return;
    }
    stream.next_in = filtered.data();
    stream.avail_in = uInt(filtered.size());
    // The bound is enough for one call; more room is given should it not be.
    size_t room = deflateBound(&stream, uLong(filtered.size())) + 16;
    const int flush = strip.last ? Z_FINISH : Z_SYNC_FLUSH;
    int result = Z_OK;
    do {
        const size_t used = stream.total_out;
        strip.deflated.resize(used + room);
        stream.next_out = strip.deflated.data() + used;
        stream.avail_out = uInt(room);
        result = deflate(&stream, flush);
    } while (result == Z_OK && (strip.last || stream.avail_out == 0));
    strip.outOfMemory = result != (strip.last ? Z_STREAM_END : Z_OK);
    strip.deflated.resize(stream.total_out);
    deflateEnd(&stream);
}

// Deflates the strips on `threads` threads, each taking the next strip left.
// False when one ran out of memory.
bool deflateStrips(const PngImage& image, std::vector<Strip>& parts, int threads) {
    return parallelFor(parts.size(), threads, [&](size_t i) { deflateStrip(image, parts[i]); });
}

// The zlib stream of the filtered rows: its header, the strips, and the
// checksum of everything they hold.
std::vector<uint8_t> compressedRows(const PngImage& image, int threads) {
    const size_t rowBytes = size_t(image.width) * size_t(image.channels * image.bitDepth / 8);
    const int strips = int(std::clamp<size_t>(rowBytes * size_t(image.height) / kStripBytes, 1,
                                              std::min(kMaxStrips, size_t(image.height))));
    std::vector<Strip> parts(static_cast<size_t>(strips));
    for (int i = 0; i < strips; ++i) {
        parts[size_t(i)].firstRow = int(int64_t(image.height) * i / strips);
        parts[size_t(i)].endRow = int(int64_t(image.height) * (i + 1) / strips);
        parts[size_t(i)].last = i + 1 == strips;
    }
    if (!deflateStrips(image, parts, threads > 0 ? threads : hostThreadCount()))
        throw std::bad_alloc();

    constexpr uint8_t kZlibHeader[] = {0x78, 0x01}; // deflate, 32 KiB window
    std::vector<uint8_t> stream(kZlibHeader, kZlibHeader + 2);
    uLong adler = 1;
    for (const Strip& part : parts) {
        if (part.outOfMemory)
            throw std::bad_alloc();
        stream.insert(stream.end(), part.deflated.begin(), part.deflated.end());
        adler = part.firstRow == 0
                    ? part.adler
                    : adler32_combine(adler, part.adler, z_off_t(part.filteredBytes));
    }
    appendBigEndian32(stream, uint32_t(adler));
    return stream;
}
} // namespace

std::vector<uint8_t> encodePngFile(const PngImage& image, int threads) {
    constexpr uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    constexpr std::array<uint8_t, 5> kColourType = {0, 0, 4, 2, 6}; // by channel count
    std::vector<uint8_t> file(kSignature, kSignature + sizeof kSignature);
    std::vector<uint8_t> header;
    appendBigEndian32(header, uint32_t(image.width));
    appendBigEndian32(header, uint32_t(image.height));
    header.push_back(uint8_t(image.bitDepth));
    header.push_back(kColourType[size_t(image.channels)]);
    header.insert(header.end(), {0, 0, 0}); // deflate, adaptive filters, not interlaced
    appendChunk(file, "IHDR", header);
    if (!image.iccProfile.empty())
        appendChunk(file, "iCCP", profileChunkData(image.iccProfile));
    if (!image.exif.empty())
        appendChunk(file, "eXIf", image.exif);
    const std::vector<uint8_t> rows = compressedRows(image, threads);
    constexpr size_t kMaxChunkData = size_t(1) << 24;
    for (size_t at = 0; at < rows.size(); at += kMaxChunkData)
        appendChunk(file, "IDAT",
                    std::span(rows).subspan(at, std::min(kMaxChunkData, rows.size() - at)));
    appendChunk(file, "IEND", {});
    return file;
}
