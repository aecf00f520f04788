// A photograph's colour profile and EXIF data: read from JPEG and PNG files
// within their bounds, written back into the host's outputs, and the EXIF
// orientation applied so that the image stands upright.
#include <gtest/gtest.h>

#include "host/zerafin/image_files/image_io.h"
#include "host/zerafin/image_files/photo_metadata.h"
#include "host/zerafin/image_files/png_writer.h"

namespace {
// A TIFF block with one directory: the orientation entry (of `count` values),
// in either byte order.
std::vector<uint8_t> exifBlock(bool littleEndian, uint16_t orientation, uint32_t count = 1) {
    auto put = [&](std::vector<uint8_t>& out, uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            out.push_back(uint8_t(value >> (8 * (littleEndian ? i : size - 1 - i))));
    };
    std::vector<uint8_t> block = {uint8_t(littleEndian ? 'I' : 'M'),
                                  uint8_t(littleEndian ? 'I' : 'M')};
    put(block, 42, 2);
    put(block, 8, 4); // the first directory follows the header
    put(block, 1, 2);
    put(block, 0x0112, 2);
    put(block, 3, 2);
    put(block, count, 4);
    put(block, orientation, 2);
    put(block, 0, 2);
    put(block, 0, 4); // no next directory
    return block;
}

std::vector<uint8_t> profileOf(size_t size) {
    std::vector<uint8_t> profile(size);
    for (size_t i = 0; i < size; ++i)
        profile[i] = uint8_t(i * 13 + i / 7);
    return profile;
}

// A JPEG file's frame: start of image, a JFIF header, a scan and the end.
const std::vector<uint8_t> kJpegFrame = {0xFF, 0xD8, 0xFF, 0xE0, 0, 6, 'J', 'F',  'I', 'F',
                                         0xFF, 0xDA, 0,    2,    1, 2, 3,   0xFF, 0xD9};

// A width x height document whose samples count up, in every channel.
Document countingDocument(int width, int height) {
    std::vector<uint8_t> rgb;
    for (int i = 0; i < width * height; ++i)
        rgb.insert(rgb.end(), {uint8_t(i), uint8_t(i + 100), uint8_t(i + 200)});
    return documentFromRgb(width, height, rgb);
}
} // namespace

TEST(PhotoMetadata, TheOrientationIsReadAndSetInEitherByteOrderWithinTheBlock) {
    for (bool littleEndian : {true, false}) {
        std::vector<uint8_t> block = exifBlock(littleEndian, 6);
        EXPECT_EQ(exifOrientation(block), 6);
        std::vector<uint8_t> upright = block;
        setExifOrientation(upright, 1);
        EXPECT_EQ(exifOrientation(upright), 1);
        // Only the value changed.
        size_t changed = 0;
        for (size_t i = 0; i < block.size(); ++i)
            changed += block[i] != upright[i];
        EXPECT_EQ(changed, 1u);
    }
    EXPECT_EQ(exifOrientation(exifBlock(true, 9)), 1);    // not an orientation
    EXPECT_EQ(exifOrientation(exifBlock(true, 6, 2)), 1); // not one value
    EXPECT_EQ(exifOrientation({}), 1);
    // Cut anywhere, the block is read no further than its end.
    const std::vector<uint8_t> whole = exifBlock(false, 8);
    for (size_t size = 0; size < whole.size() - 4; ++size) {
        std::vector<uint8_t> cut(whole.begin(), whole.begin() + std::ptrdiff_t(size));
        EXPECT_EQ(exifOrientation(cut), 1) << size;
        setExifOrientation(cut, 1);
        EXPECT_TRUE(std::equal(cut.begin(), cut.end(), whole.begin())) << size;
    }
}

TEST(PhotoMetadata, AJpegCarriesItsProfileInNumberedPiecesAndItsExifAfterItsHeader) {
    const PhotoMetadata metadata{profileOf(150000), exifBlock(true, 6)};
    const std::vector<uint8_t> file = jpegWithMetadata(kJpegFrame, metadata);
    // The JFIF header stays first; three profile pieces follow the EXIF block.
    EXPECT_TRUE(std::equal(kJpegFrame.begin(), kJpegFrame.begin() + 10, file.begin()));
    EXPECT_EQ(file[11], 0xE1);
    EXPECT_TRUE(std::equal(kJpegFrame.begin() + 10, kJpegFrame.end(), file.end() - 9));
    const PhotoMetadata read = jpegMetadata(file);
    EXPECT_EQ(read.iccProfile, metadata.iccProfile);
    EXPECT_EQ(read.exif, metadata.exif);

    // A profile that lacks a piece is dropped whole; a damaged segment
    // length ends the walk.
    std::vector<uint8_t> lacking = jpegWithMetadata(kJpegFrame, {profileOf(10), {}});
    lacking[lacking.size() - 9 - 10 - 1] = 2; // one piece of two
    EXPECT_TRUE(jpegMetadata(lacking).iccProfile.empty());
    std::vector<uint8_t> damaged = jpegWithMetadata(kJpegFrame, {{}, exifBlock(true, 6)});
    ASSERT_EQ(jpegMetadata(damaged).exif, exifBlock(true, 6));
    damaged[12] = 0xFF; // the EXIF segment runs past the end
    EXPECT_TRUE(jpegMetadata(damaged).exif.empty());
    EXPECT_TRUE(jpegMetadata(std::vector<uint8_t>{0xFF, 0xD8, 0xFF}).iccProfile.empty());
}

TEST(PhotoMetadata, APngCarriesItsProfileDeflatedAndItsExifBeforeItsImageDataAndStandsAsStored) {
    const std::vector<uint8_t> profile = profileOf(5000), exif = exifBlock(false, 6);
    const std::vector<uint8_t> samples(4 * 3 * 3, 77);
    const std::vector<uint8_t> file = encodePngFile(PngImage{4, 3, 3, 8, samples, profile, exif});
    const PhotoMetadata read = pngMetadata(file);
    EXPECT_EQ(read.iccProfile, profile);
    EXPECT_EQ(read.exif, exif);
    Document document;
    std::string error;
    ASSERT_TRUE(decodeDocument(file, "p.png", document, error)) << error;
    EXPECT_EQ(document.metadata.iccProfile, profile);
    // A PNG's pixels stand as they are stored, and its EXIF data says so.
    EXPECT_EQ(document.width, 4);
    EXPECT_EQ(exifOrientation(document.metadata.exif), 1);
    // Without metadata the file is as it always was.
    EXPECT_TRUE(pngMetadata(encodePngFile(PngImage{4, 3, 3, 8, samples})).iccProfile.empty());
}

TEST(PhotoMetadata, EveryOrientationIsUndoneByItsInverseAndSixTurnsAQuarterRight) {
    const Document stored = countingDocument(3, 2);
    // 6 turns a quarter to the right: the bottom left corner comes to the top left.
    Document turned = stored;
    turnUpright(turned, 6);
    ASSERT_EQ(turned.width, 2);
    ASSERT_EQ(turned.height, 3);
    EXPECT_EQ(turned.sample(0, 0, 0), stored.sample(0, 0, 1));
    EXPECT_EQ(turned.sample(2, 1, 0), stored.sample(2, 0, 0));
    const int inverse[9] = {0, 1, 2, 3, 4, 5, 8, 7, 6};
    for (int orientation = 1; orientation <= 8; ++orientation) {
        Document document = stored;
        turnUpright(document, orientation);
        turnUpright(document, inverse[orientation]);
        EXPECT_EQ(document.width, stored.width) << orientation;
        for (size_t c = 0; c < 3; ++c)
            EXPECT_EQ(document.channels[c].samples, stored.channels[c].samples) << orientation;
    }
}

TEST(PhotoMetadata, AJpegIsReadUprightAndWrittenWithItsDataSayingSo) {
    Document lying = countingDocument(16, 8);
    lying.metadata = {profileOf(300), exifBlock(true, 6)};
    std::vector<uint8_t> jpeg;
    std::string error;
    ASSERT_TRUE(encodeImage(ImageFormat::Jpeg, lying, jpeg, error, 100));
    Document read;
    ASSERT_TRUE(decodeDocument(jpeg, "phone.jpg", read, error)) << error;
    EXPECT_EQ(read.width, 8);
    EXPECT_EQ(read.height, 16);
    EXPECT_EQ(exifOrientation(read.metadata.exif), 1);
    EXPECT_EQ(read.metadata.iccProfile, lying.metadata.iccProfile);
    // BMP and TGA have no place for either.
    std::vector<uint8_t> bmp;
    ASSERT_TRUE(encodeImage(ImageFormat::Bmp, read, bmp, error));
    Document fromBmp;
    ASSERT_TRUE(decodeDocument(bmp, "x.bmp", fromBmp, error)) << error;
    EXPECT_TRUE(fromBmp.metadata.iccProfile.empty() && fromBmp.metadata.exif.empty());
}
