// The host's PNG files, read back by the host's own reader: every channel
// layout and depth, strips deflated on several threads, and the other formats.
#include <gtest/gtest.h>

#include "host/zerafin/image_files/image_io.h"
#include "host/zerafin/image_files/png_writer.h"

namespace {
// Samples that vary in every direction, as a photograph's do, with flat runs.
std::vector<uint8_t> pattern(size_t count) {
    std::vector<uint8_t> samples(count);
    for (size_t i = 0; i < count; ++i)
        samples[i] = uint8_t(i % 4000 < 1000 ? 77 : (i * 2654435761u) >> 24 ^ i / 97);
    return samples;
}

Document decoded(const std::vector<uint8_t>& file) {
    Document document;
    std::string error;
    bool deep = false;
    EXPECT_TRUE(decodeDocument(file, "test.png", document, error, kMaxImagePixels, &deep)) << error;
    return document;
}
} // namespace

TEST(PngWriter, EveryLayoutReadsBackAsWritten) {
    for (int channels = 1; channels <= 4; ++channels) {
        const int width = 37, height = 23;
        const std::vector<uint8_t> samples = pattern(size_t(width * height * channels));
        const Document document =
            decoded(encodePngFile(PngImage{width, height, channels, 8, samples}));
        ASSERT_EQ(document.width, width);
        ASSERT_EQ(document.height, height);
        EXPECT_EQ(document.hasAlpha, channels % 2 == 0) << channels;
        const int colours = channels >= 3 ? 3 : 1;
        for (size_t i = 0; i < size_t(width * height); ++i) {
            // Grey is read as three equal colours.
            ASSERT_EQ(document.channels[2].samples[i], samples[i * size_t(channels) + colours - 1]);
            if (document.hasAlpha) {
                ASSERT_EQ(document.channels[3].samples[i], samples[i * size_t(channels) + colours]);
            }
        }
    }
}

TEST(PngWriter, StripsOnSeveralThreadsMakeOneImageAndTheSameFile) {
    // 3 MiB of RGB: three strips of one MiB each.
    const int width = 1024, height = 1024;
    const std::vector<uint8_t> samples = pattern(size_t(width * height * 3));
    const std::vector<uint8_t> alone = encodePngFile(PngImage{width, height, 3, 8, samples}, 1);
    const std::vector<uint8_t> split = encodePngFile(PngImage{width, height, 3, 8, samples}, 3);
    EXPECT_EQ(alone, split);
    const Document a = decoded(alone), b = decoded(split);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(a.channels[size_t(c)].samples, b.channels[size_t(c)].samples);
    for (size_t i = 0; i < samples.size(); i += 4099)
        ASSERT_EQ(b.channels[i % 3].samples[i / 3], samples[i]);
}

TEST(PngWriter, SixteenBitSamplesAreReadRoundedToEightBits) {
    const uint16_t values[] = {0, 128, 129, 257 * 9 + 128, 257 * 9 - 128, 257 * 9 - 129, 65535};
    const uint8_t rounded[] = {0, 0, 1, 9, 9, 8, 255};
    std::vector<uint8_t> samples;
    for (uint16_t value : values)
        samples.insert(samples.end(), {uint8_t(value >> 8), uint8_t(value)});
    Document document;
    std::string error;
    bool deep = false;
    ASSERT_TRUE(decodeDocument(encodePngFile(PngImage{7, 1, 1, 16, samples}), "deep.png", document,
                               error, kMaxImagePixels, &deep));
    EXPECT_TRUE(deep);
    EXPECT_EQ(document.channels[0].samples, std::vector<uint8_t>(rounded, rounded + 7));
}

TEST(ImageFormats, EachExtensionNamesItsFormatAndLosslessOnesKeepAlpha) {
    EXPECT_EQ(imageFormatOfPath("a/b.PNG"), ImageFormat::Png);
    EXPECT_EQ(imageFormatOfPath("b.jpeg"), ImageFormat::Jpeg);
    EXPECT_EQ(imageFormatOfPath("b.Jpg"), ImageFormat::Jpeg);
    EXPECT_EQ(imageFormatOfPath("b.tga"), ImageFormat::Tga);
    EXPECT_EQ(imageFormatOfPath("b.bmp"), ImageFormat::Bmp);
    for (const char* path : {"b.gif", "b", "dir.png/b", "b.png.txt", ".png/x"})
        EXPECT_FALSE(imageFormatOfPath(path)) << path;

    const std::vector<uint8_t> rgba = pattern(16 * 8 * 4);
    const Document source = decoded(encodePngFile(PngImage{16, 8, 4, 8, rgba}));
    for (ImageFormat format : {ImageFormat::Png, ImageFormat::Bmp, ImageFormat::Tga}) {
        std::vector<uint8_t> file;
        std::string error;
        ASSERT_TRUE(encodeImage(format, source, file, error));
        const Document back = decoded(file);
        EXPECT_TRUE(back.hasAlpha);
        for (size_t c = 0; c < 4; ++c)
            EXPECT_EQ(back.channels[c].samples, source.channels[c].samples) << int(format);
    }
}
