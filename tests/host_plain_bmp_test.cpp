// Plain 24-bit bitmaps are read and written without the general codec: the
// bytes written and the samples read must be exactly the general codec's.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <random>

#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include "host/zerafin/image_files/image_io.h"
#include "host/zerafin/image_files/plain_bmp.h"

namespace {
Document randomDocument(int width, int height, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> rgb(size_t(width) * size_t(height) * 3);
    for (uint8_t& sample : rgb)
        sample = uint8_t(random());
    return documentFromRgb(width, height, rgb);
}

void appendBytes(void* context, void* data, int size) {
    auto* file = static_cast<std::vector<uint8_t>*>(context);
    file->insert(file->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

// The general codec's bitmap of the document.
std::vector<uint8_t> generalBmp(const Document& document) {
    std::vector<uint8_t> rgb;
    for (size_t i = 0; i < size_t(document.width) * size_t(document.height); ++i)
        for (int c = 0; c < 3; ++c)
            rgb.push_back(document.channels[size_t(c)].samples[i]);
    std::vector<uint8_t> file;
    EXPECT_TRUE(
        stbi_write_bmp_to_func(appendBytes, &file, document.width, document.height, 3, rgb.data()));
    return file;
}

// The general decoder's samples of a file, `components` to a pixel.
std::vector<uint8_t> generalSamples(const std::vector<uint8_t>& file, int components) {
    int width = 0, height = 0, inFile = 0;
    std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
        stbi_load_from_memory(file.data(), int(file.size()), &width, &height, &inFile, components),
        stbi_image_free);
    EXPECT_TRUE(pixels);
    if (!pixels)
        return {};
    return std::vector<uint8_t>(pixels.get(),
                                pixels.get() + size_t(width) * size_t(height) * size_t(components));
}

// The same image with its rows stored from the top down.
std::vector<uint8_t> topDown(const std::vector<uint8_t>& file, const PlainBmpLayout& layout) {
    std::vector<uint8_t> flipped(file);
    const int32_t negative = -layout.height;
    for (size_t i = 0; i < 4; ++i)
        flipped[22 + i] = uint8_t(uint32_t(negative) >> (8 * i));
    for (int row = 0; row < layout.height; ++row)
        std::copy_n(file.begin() + std::ptrdiff_t(layout.pixelsAt + row * layout.rowBytes),
                    layout.rowBytes,
                    flipped.begin() + std::ptrdiff_t(layout.pixelsAt +
                                                     (layout.height - 1 - row) * layout.rowBytes));
    return flipped;
}
} // namespace

TEST(PlainBmp, WritesTheGeneralCodecsBytesAndReadsItsSamplesForEveryRowPadding) {
    for (int width = 1; width <= 9; ++width) {
        SCOPED_TRACE("width " + std::to_string(width));
        const Document document = randomDocument(width, 5, unsigned(width));
        const std::vector<uint8_t> file = plainBmpFile(document);
        ASSERT_EQ(file, generalBmp(document));

        const std::optional<PlainBmpLayout> layout = plainBmpLayout(file);
        ASSERT_TRUE(layout);
        for (const std::vector<uint8_t>& stored : {file, topDown(file, *layout)}) {
            Document read;
            std::string error;
            ASSERT_TRUE(decodeDocument(stored, "image.bmp", read, error)) << error;
            EXPECT_EQ(read.width, width);
            EXPECT_EQ(read.height, 5);
            EXPECT_FALSE(read.hasAlpha);
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(read.channels[size_t(c)].samples, document.channels[size_t(c)].samples);

            std::vector<uint8_t> grey;
            readPlainBmpGrey(stored, *plainBmpLayout(stored), grey);
            EXPECT_EQ(grey, generalSamples(stored, 1));
        }
    }
}

TEST(PlainBmp, LeavesEveryOtherBitmapToTheGeneralCodec) {
    const std::vector<uint8_t> file = plainBmpFile(randomDocument(7, 3, 1));
    const auto changed = [&](size_t at, uint8_t value) {
        std::vector<uint8_t> other(file);
        other[at] = value;
        return other;
    };
    EXPECT_FALSE(plainBmpLayout(std::vector<uint8_t>(file.begin(), file.end() - 1)))
        << "a row cut short";
    EXPECT_FALSE(plainBmpLayout(changed(28, 32))) << "32 bits per pixel";
    EXPECT_FALSE(plainBmpLayout(changed(30, 1))) << "compressed";
    EXPECT_FALSE(plainBmpLayout(changed(10, 58))) << "pixels further on";
    EXPECT_FALSE(plainBmpLayout(changed(14, 108))) << "a longer information header";
    EXPECT_FALSE(plainBmpLayout(changed(26, 2))) << "two planes";
    EXPECT_FALSE(plainBmpLayout(changed(0, 'X'))) << "not a bitmap";

    // The cut file is refused with the reason the host always gave.
    Document read;
    std::string error;
    EXPECT_FALSE(
        decodeDocument(std::vector<uint8_t>(file.begin(), file.end() - 1), "cut.bmp", read, error));
    EXPECT_NE(error.find("truncated"), std::string::npos) << error;
}

TEST(PlainBmp, AnImageOverTheHostsLimitIsRefusedAsBefore) {
    const std::vector<uint8_t> file = plainBmpFile(randomDocument(40, 30, 2));
    Document read;
    std::string error;
    EXPECT_FALSE(decodeDocument(file, "large.bmp", read, error, 1000));
    EXPECT_NE(error.find("40 x 30 pixels"), std::string::npos) << error;
}
