// Hostile inputs the host must refuse cleanly, and the files it writes:
// damaged fonts, truncated and unusual bitmaps, JPEG files made to hold the
// decoder, nonsense parameter blocks, outputs written through links and over
// protected files, pipes given as inputs, and batch names that one volume
// takes for one file.
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>

#include "host/zerafin/commands/batch.h"
#include "host/zerafin/commands/gallery.h"
#include "host/zerafin/files/host_files.h"
#include "host/zerafin/files/parameter_file.h"
#include "host/zerafin/image_files/image_io.h"
#include "host/zerafin/labels/label_font.h"
#include "lighting/parameter_block.h"
#include "tests/support/styles_test_support.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {
// ---- Fonts ---------------------------------------------------------------

uint16_t bigEndian16(const std::vector<uint8_t>& bytes, size_t at) {
    return uint16_t(bytes[at] << 8 | bytes[at + 1]);
}
uint32_t bigEndian32(const std::vector<uint8_t>& bytes, size_t at) {
    return uint32_t(bigEndian16(bytes, at)) << 16 | bigEndian16(bytes, at + 2);
}
void putBigEndian16(std::vector<uint8_t>& bytes, size_t at, uint16_t value) {
    bytes[at] = uint8_t(value >> 8);
    bytes[at + 1] = uint8_t(value);
}
void putBigEndian32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    putBigEndian16(bytes, at, uint16_t(value >> 16));
    putBigEndian16(bytes, at + 2, uint16_t(value));
}

// The default label font, and where its tables and glyphs are.
class RealFont : public testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(readInputFile(kDefaultGalleryFont, "the font", 64 << 20, bytes, error))
            << error;
    }
    // Where the directory records the table's offset.
    size_t recordOf(const char* tag) const {
        for (size_t i = 0; i < bigEndian16(bytes, 4); ++i)
            if (std::memcmp(&bytes[12 + 16 * i], tag, 4) == 0)
                return 12 + 16 * i;
        ADD_FAILURE() << "no table " << tag;
        return 0;
    }
    size_t tableOf(const char* tag) const { return bigEndian32(bytes, recordOf(tag) + 8); }
    // Where a glyph's outline starts in the file.
    size_t glyphAt(uint16_t glyph) const {
        const bool longOffsets = bigEndian16(bytes, tableOf("head") + 50) == 1;
        const size_t loca = tableOf("loca");
        const uint32_t offset = longOffsets ? bigEndian32(bytes, loca + 4 * glyph)
                                            : uint32_t(bigEndian16(bytes, loca + 2 * glyph)) * 2;
        return tableOf("glyf") + offset;
    }
    // Makes `glyph` a composite of one part, `part`, in the copy.
    void makeComposite(std::vector<uint8_t>& copy, uint16_t glyph, uint16_t part) const {
        constexpr uint16_t kOffsetsGiven = 2;
        const size_t at = glyphAt(glyph);
        putBigEndian16(copy, at, 0xFFFF); // -1 contours: a composite
        putBigEndian16(copy, at + 10, kOffsetsGiven);
        putBigEndian16(copy, at + 12, part);
        putBigEndian16(copy, at + 14, 0); // the part's offsets, a byte each
    }
    // Loads the copy; the reason it is refused, empty when it loads.
    static std::string refusal(const std::vector<uint8_t>& copy) {
        LabelFont font;
        std::string error;
        return font.load(copy, error) ? std::string() : error;
    }
    std::vector<uint8_t> bytes;
};

constexpr uint16_t kGlyphA = 36, kGlyphB = 37; // 'A' and 'B' in the default font

TEST_F(RealFont, DamagedCopiesAreRefusedWithTheirReason) {
    EXPECT_EQ(refusal(bytes), "");
    EXPECT_NE(refusal({}), "") << "an empty file";
    EXPECT_NE(refusal(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 11)), "");
    EXPECT_NE(refusal(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 57648)), "")
        << "cut short";
    for (const char* tag : {"head", "cmap", "loca", "maxp", "glyf", "hmtx"}) {
        std::vector<uint8_t> copy = bytes;
        putBigEndian32(copy, recordOf(tag) + 8, uint32_t(bytes.size() + 100));
        EXPECT_NE(refusal(copy).find("runs past the end"), std::string::npos) << tag;
    }
    std::vector<uint8_t> itself = bytes;
    makeComposite(itself, kGlyphA, kGlyphA);
    EXPECT_NE(refusal(itself).find("made of itself"), std::string::npos) << refusal(itself);
    std::vector<uint8_t> eachOther = bytes;
    makeComposite(eachOther, kGlyphA, kGlyphB);
    makeComposite(eachOther, kGlyphB, kGlyphA);
    EXPECT_NE(refusal(eachOther).find("made of itself"), std::string::npos);
    std::vector<uint8_t> deep = bytes;
    for (uint16_t glyph = kGlyphA; glyph < kGlyphA + 12; ++glyph)
        makeComposite(deep, glyph, uint16_t(glyph + 1));
    EXPECT_NE(refusal(deep).find("nest more than"), std::string::npos) << refusal(deep);
    std::vector<uint8_t> unknownPart = bytes;
    makeComposite(unknownPart, kGlyphA, 0xFFFE);
    EXPECT_NE(refusal(unknownPart).find("lacks"), std::string::npos);
    std::vector<uint8_t> flat = bytes;
    putBigEndian16(flat, tableOf("hhea") + 6, bigEndian16(flat, tableOf("hhea") + 4));
    EXPECT_NE(refusal(flat).find("ascent"), std::string::npos) << "ascent equal to descent";
    std::vector<uint8_t> manyGlyphs = bytes;
    putBigEndian16(manyGlyphs, tableOf("maxp") + 4, 0xFFFF);
    EXPECT_NE(refusal(manyGlyphs), "") << "more glyphs than its tables hold";
}

// Whatever a font holds, drawing stays inside the label's box and its pixels
// are the only ones that change.
TEST_F(RealFont, LabelsStayInTheirBoxEvenWithANonsenseScale) {
    std::vector<uint8_t> tall = bytes;
    const size_t hhea = tableOf("hhea");
    putBigEndian16(tall, hhea + 4, 1); // an ascent of 1 and a descent of 0: each
    putBigEndian16(tall, hhea + 6, 0); // unit of the font is a whole label high
    for (const std::vector<uint8_t>* font : {&bytes, &tall}) {
        LabelFont label;
        std::string error;
        ASSERT_TRUE(label.load(*font, error)) << error;
        constexpr uint8_t kUntouched = 7;
        const uint8_t white[3] = {255, 255, 255};
        RgbImage image(60, 40, kUntouched);
        label.drawCentred(image, 10, 8, 40, 20, "WAVE \xC3\xA9t\xC3\xA9 wide and long", 17, white);
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
                if (x < 10 || x >= 50 || y < 8 || y >= 28) {
                    ASSERT_EQ(image.rgb[(size_t(y) * 60 + size_t(x)) * 3], kUntouched)
                        << x << ", " << y;
                }
    }
}

// A font asked for must be usable; the default font, missing or damaged,
// only leaves the labels out.
TEST_F(RealFont, AnUnusableDefaultFontLeavesTheLabelsOutButAFontAskedForMustBeUsable) {
    const std::string folder = (fs::temp_directory_path() / "orvane-label-fonts").string();
    fs::create_directories(folder);
    const std::string damaged = pathInFolder(folder, "damaged.ttf");
    const std::string missing = pathInFolder(folder, "missing.ttf");
    writeWholeFile(damaged, std::vector<uint8_t>(bytes.begin(), bytes.begin() + 57648));
    std::string message;
    LabelFont font;
    EXPECT_EQ(chooseLabelFont("", kDefaultGalleryFont, font, message), LabelFontChoice::Labelled);
    EXPECT_EQ(chooseLabelFont(kDefaultGalleryFont, missing, font, message),
              LabelFontChoice::Labelled);
    for (const std::string& fallback : {missing, damaged}) {
        LabelFont unusable;
        EXPECT_EQ(chooseLabelFont("", fallback, unusable, message), LabelFontChoice::Unlabelled);
        EXPECT_NE(message.find("without their names"), std::string::npos) << message;
        EXPECT_EQ(chooseLabelFont(fallback, kDefaultGalleryFont, unusable, message),
                  LabelFontChoice::Refused);
    }
    EXPECT_NE(message.find("damaged font"), std::string::npos) << message;
    fs::remove_all(folder);
}

// ---- Images --------------------------------------------------------------

Document gradient(int width, int height) {
    std::vector<uint8_t> rgb(size_t(width) * size_t(height) * 3);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = uint8_t(i * 7 % 251);
    return documentFromRgb(width, height, rgb);
}

std::vector<uint8_t> encoded(ImageFormat format, const Document& document) {
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(encodeImage(format, document, bytes, error)) << error;
    return bytes;
}

TEST(HostileImages, TruncatedBitmapsAndTargaFilesAreRefused) {
    const Document image = gradient(13, 11);
    for (const ImageFormat format : {ImageFormat::Bmp, ImageFormat::Tga}) {
        const std::vector<uint8_t> whole = encoded(format, image);
        Document read;
        std::string error;
        ASSERT_TRUE(decodeDocument(whole, "whole", read, error)) << error;
        EXPECT_EQ(read.channels[1].samples, image.channels[1].samples);
        for (size_t length = 19; length < whole.size(); length += 7) {
            const std::span<const uint8_t> cut(whole.data(), length);
            EXPECT_FALSE(decodeDocument(cut, "cut", read, error)) << length;
        }
    }
}

TEST(HostileImages, ATopDownBitmapReadsAsItsBottomUpTwin) {
    const Document image = gradient(13, 11);
    const std::vector<uint8_t> bottomUp = encoded(ImageFormat::Bmp, image);
    // The same pixels with the rows stored top first and the height negative.
    constexpr size_t kHeightAt = 22, kPixelsAt = 10;
    const size_t start = bottomUp[kPixelsAt] | size_t(bottomUp[kPixelsAt + 1]) << 8;
    const size_t row = (bottomUp.size() - start) / 11;
    std::vector<uint8_t> topDown(bottomUp.begin(), bottomUp.begin() + ptrdiff_t(start));
    for (size_t y = 11; y-- > 0;)
        topDown.insert(topDown.end(), bottomUp.begin() + ptrdiff_t(start + y * row),
                       bottomUp.begin() + ptrdiff_t(start + (y + 1) * row));
    const int32_t negative = -11;
    std::memcpy(&topDown[kHeightAt], &negative, 4);
    Document read;
    std::string error;
    ASSERT_TRUE(decodeDocument(topDown, "top-down", read, error)) << error;
    ASSERT_EQ(read.height, 11);
    for (size_t c = 0; c < 3; ++c)
        EXPECT_EQ(read.channels[c].samples, image.channels[c].samples) << c;
}

TEST(HostileImages, AJpegWithMoreScansThanAnyPhotographIsRefused) {
    const std::vector<uint8_t> jpeg = encoded(ImageFormat::Jpeg, gradient(64, 48));
    // Its one scan, from its header to the end of image, repeated.
    size_t scan = 0;
    for (size_t at = 2; at + 1 < jpeg.size() && scan == 0; ++at)
        if (jpeg[at] == 0xFF && jpeg[at + 1] == 0xDA)
            scan = at;
    ASSERT_GT(scan, 0u);
    const size_t end = jpeg.size() - 2;
    const auto repeated = [&](int times) {
        std::vector<uint8_t> bytes(jpeg.begin(), jpeg.begin() + ptrdiff_t(scan));
        for (int i = 0; i < times; ++i)
            bytes.insert(bytes.end(), jpeg.begin() + ptrdiff_t(scan),
                         jpeg.begin() + ptrdiff_t(end));
        bytes.insert(bytes.end(), {0xFF, 0xD9});
        return bytes;
    };
    Document read;
    std::string error;
    EXPECT_TRUE(decodeDocument(repeated(1), "once", read, error)) << error;
    EXPECT_TRUE(decodeDocument(repeated(20), "twenty times", read, error)) << error;
    EXPECT_FALSE(decodeDocument(repeated(300), "three hundred times", read, error));
    EXPECT_NE(error.find("more scans than any photograph"), std::string::npos) << error;
}

// ---- Parameter files -----------------------------------------------------

TEST(StoredParameters, TheBlockIsCheckedForWhatTheFilterWrites) {
    static_assert(kParameterBlockSize == sizeof(ParameterBlock));
    static_assert(kParameterBlockSignature == ParameterBlock::kSignature);
    static_assert(kParameterBlockLightCountOffset == offsetof(ParameterBlock, lightCount));
    static_assert(kParameterBlockMaxLights == std::size(ParameterBlock{}.lights));
    std::vector<uint8_t> block(kParameterBlockSize, 0);
    const uint8_t start[10] = {0xFD, 0x44, 0xBF, 0x05, 1, 0, 0, 0, 1, 0};
    std::copy(std::begin(start), std::end(start), block.begin());
    block[kParameterBlockLightCountOffset] = 16;
    std::vector<uint8_t> read;
    std::string error;
    ASSERT_TRUE(readParameterFile(parameterFileBytes("Orvane...", block), "Orvane...", read, error))
        << error;
    const auto refusedWith = [&](std::vector<uint8_t> nonsense, const char* reason) {
        EXPECT_FALSE(
            readParameterFile(parameterFileBytes("Orvane...", nonsense), "Orvane...", read, error))
            << reason;
        EXPECT_NE(error.find(reason), std::string::npos) << error;
    };
    std::vector<uint8_t> unsigned_ = block;
    unsigned_[0] ^= 1;
    refusedWith(unsigned_, "signature");
    std::vector<uint8_t> manyLights = block;
    manyLights[kParameterBlockLightCountOffset] = 17;
    refusedWith(manyLights, "more than 16 lights");
    refusedWith(std::vector<uint8_t>(block.begin(), block.end() - 4), "not 66736");
    refusedWith(std::vector<uint8_t>(kParameterBlockSize, 0xA5), "signature");
}

// ---- Files the host reads and writes -------------------------------------

class HostFilesHardening : public testing::Test {
  protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("orvane-hardening-" +
                  std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder / "out");
    }
    void TearDown() override { fs::remove_all(folder); }
    // Joined as text: a name in the system's code page stays as it is.
    std::string path(const std::string& name) const { return pathInFolder(folder.string(), name); }
    fs::path folder;
};

// Outputs A.png and a.png, or É.png and é.png, are one file where the volume
// folds case: Windows always; elsewhere as the output folder shows.
TEST_F(HostFilesHardening, BatchOutputsThatTheVolumeFoldsToOneFileClash) {
    const std::vector<std::string> inputs = {path(systemName("A.jpg")), path(systemName("a.png")),
                                             path(systemName("\xC3\x89t\xC3\xA9.jpg")),
                                             path(systemName("\xC3\xA9t\xC3\xA9.png"))};
    const auto out = [&](size_t i) {
        return batchOutputPath(inputs[i], path("out"), ImageFormat::Png);
    };
#ifdef _WIN32
    const bool folds = true;
#else
    writeWholeFile(path("out/Probe"), {1});
    const bool folds = fs::exists(folder / "out" / "probe");
    fs::remove(folder / "out" / "Probe");
#endif
    EXPECT_EQ(batchClash({inputs[0], inputs[1]}, {out(0), out(1)}).has_value(), folds);
    EXPECT_EQ(batchClash({inputs[2], inputs[3]}, {out(2), out(3)}).has_value(), folds);
    EXPECT_FALSE(batchClash({inputs[0], inputs[2]}, {out(0), out(2)}));
    EXPECT_TRUE(fs::is_empty(folder / "out")) << "the check leaves nothing behind";
}

#ifndef _WIN32
TEST_F(HostFilesHardening, AnOutputThroughALinkReplacesItsTargetAndKeepsItsMode) {
    fs::create_directories(folder / "shared");
    writeWholeFile(path("shared/current.png"), {'o', 'l', 'd'});
    ASSERT_EQ(chmod(path("shared/current.png").c_str(), 0640), 0);
    fs::create_symlink("shared/current.png", folder / "out.png");
    fs::create_symlink("shared/new.png", folder / "dangling.png");
    std::string error;
    {
        PendingOutputs outputs;
        size_t linked = 0, dangling = 0;
        ASSERT_TRUE(outputs.reserve(path("out.png"), linked, error)) << error;
        ASSERT_TRUE(outputs.reserve(path("dangling.png"), dangling, error)) << error;
        ASSERT_TRUE(outputs.write(linked, {'n', 'e', 'w'}, error)) << error;
        ASSERT_TRUE(outputs.write(dangling, {'f', 'i', 'r', 's', 't'}, error)) << error;
        ASSERT_TRUE(outputs.commit(error)) << error;
    }
    EXPECT_TRUE(fs::is_symlink(folder / "out.png"));
    EXPECT_EQ(readWholeFile(path("shared/current.png")), (std::vector<uint8_t>{'n', 'e', 'w'}));
    EXPECT_TRUE(fs::is_symlink(folder / "dangling.png"));
    EXPECT_EQ(readWholeFile(path("shared/new.png")).size(), 5u);
    struct stat status {};
    ASSERT_EQ(stat(path("shared/current.png").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u) << "never wider than before";
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "shared"), fs::directory_iterator()), 2)
        << "no temporary file is left";
}

TEST_F(HostFilesHardening, APipeAsAnInputIsRefusedWithoutWaiting) {
    ASSERT_EQ(mkfifo(path("pipe.png").c_str(), 0600), 0);
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_FALSE(readInputFile(path("pipe.png"), "the image", 1 << 20, bytes, error));
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
}
#endif
} // namespace
