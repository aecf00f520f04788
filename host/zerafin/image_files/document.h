#pragma once
#include <cstdint>
#include <string>
#include <vector>

// An image as the host holds it: named 8-bit channels of equal size. The first
// three are red, green and blue; then the image's alpha, if any ("Alpha 1"),
// then any channels the user adds.
struct Channel {
    std::string name;
    std::vector<uint8_t> samples; // width x height, row-major
};

// What a photograph carries beside its pixels, kept from the file read to the
// file written: its colour profile and its camera data (EXIF).
struct PhotoMetadata {
    std::vector<uint8_t> iccProfile; // the ICC profile, whole
    std::vector<uint8_t> exif;       // the EXIF block: a TIFF header and its directories
};

struct Document {
    int width = 0;
    int height = 0;
    std::vector<Channel> channels;
    bool hasAlpha = false;
    PhotoMetadata metadata;

    uint8_t sample(int channel, int x, int y) const {
        return channels[size_t(channel)].samples[size_t(y) * size_t(width) + size_t(x)];
    }
    uint8_t& sample(int channel, int x, int y) {
        return channels[size_t(channel)].samples[size_t(y) * size_t(width) + size_t(x)];
    }
};

// Makes an RGB document of the given size from interleaved 3-byte pixels.
Document documentFromRgb(int width, int height, const std::vector<uint8_t>& rgb);
