#pragma once
#include <cstdint>
#include <span>
#include <vector>

// PNG files as the host writes them: each row filtered with the filter that
// suits it best, the rows deflated by zlib at a level chosen for speed, in
// strips compressed side by side on several threads and joined into one
// stream.

// Samples of an image, rows top down, each pixel's samples together; 16-bit
// samples big-endian, as PNG stores them. 1 channel: grey; 2: grey and alpha;
// 3: RGB; 4: RGB and alpha.
struct PngImage {
    int width = 0, height = 0;
    int channels = 3;
    int bitDepth = 8; // 8 or 16
    std::span<const uint8_t> samples;
    // Written before the image data when not empty: the colour profile
    // (deflated into an iCCP chunk) and the EXIF block (an eXIf chunk).
    std::span<const uint8_t> iccProfile, exif;
};

// The image as a PNG file, the same bytes whatever the threads; `threads` 0:
// one per processor. Throws
// std::bad_alloc when zlib runs out of memory.
std::vector<uint8_t> encodePngFile(const PngImage& image, int threads = 0);
