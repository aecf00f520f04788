// The pure parts of batches and of the style gallery: where each image of a
// batch goes and which batches are refused, the contact sheet's grid, the
// reduced copy, and labels drawn with accents whatever the names' encoding.
#include <filesystem>

#include <gtest/gtest.h>

#include "host/zerafin/commands/batch.h"
#include "host/zerafin/commands/gallery.h"
#include "host/zerafin/files/host_files.h"
#include "host/zerafin/labels/label_font.h"
#include "tests/support/styles_test_support.h"

namespace fs = std::filesystem;

namespace {
const std::string kSep(1, fs::path::preferred_separator);

class Batch : public testing::Test {
  protected:
    void SetUp() override {
        folder = (fs::temp_directory_path() / "orvane-batch").string();
        fs::remove_all(folder);
        fs::create_directories(folder + kSep + "out");
        for (const char* name : {"a.png", "a.jpg", "b.png"})
            writeWholeFile(folder + kSep + name, {1});
    }
    void TearDown() override { fs::remove_all(folder); }
    std::string in(const char* name) const { return folder + kSep + name; }
    std::string out(const std::string& input) const {
        return batchOutputPath(input, folder + kSep + "out", ImageFormat::Png);
    }
    std::string folder;
};
} // namespace

TEST_F(Batch, EachImageGoesToTheFolderUnderItsNameWithTheFormatsExtension) {
    EXPECT_EQ(batchOutputPath("photos" + kSep + "a.b.jpeg", "out", ImageFormat::Jpeg),
              "out" + kSep + "a.b.jpg");
    EXPECT_EQ(batchOutputPath("a", "out" + kSep, ImageFormat::Tga), "out" + kSep + "a.tga");
    EXPECT_EQ(batchOutputPath(".hidden", "out", ImageFormat::Bmp), "out" + kSep + ".hidden.bmp");
}

TEST_F(Batch, OutputsThatMeetAnotherOutputOrInputAreRefused) {
    const std::vector<std::string> distinct = {in("a.png"), in("b.png")};
    EXPECT_FALSE(batchClash(distinct, {out(distinct[0]), out(distinct[1])}));

    const std::vector<std::string> sameName = {in("a.png"), in("a.jpg")};
    EXPECT_TRUE(batchClash(sameName, {out(sameName[0]), out(sameName[1])}));

    // Lit in place (the output folder is the inputs' own) is allowed, but not
    // over another input that is yet to be read.
    EXPECT_FALSE(batchClash({in("a.png")}, {in("a.png")}));
    const std::optional<std::string> overwritten =
        batchClash({in("b.jpg"), in("b.png")}, {in("b.png"), in("b.jpg")});
    ASSERT_TRUE(overwritten);
    EXPECT_NE(overwritten->find("which is the input"), std::string::npos) << *overwritten;
}

TEST(Gallery, TheGridHasOneCellPerStyleAndEveryCellLiesApartOnTheSheet) {
    for (const auto& [count, imageWidth] :
         {std::pair{1, 256}, {2, 256}, {5, 256}, {16, 256}, {17, 256}, {3, 1}}) {
        const GalleryLayout layout = galleryLayout(count, imageWidth, 160);
        EXPECT_GE(layout.columns * layout.rows, count);
        EXPECT_LT(layout.columns * (layout.rows - 1), count) << "no empty row";
        EXPECT_LE(layout.rows, layout.columns) << "as square as it can";
        EXPECT_GE(layout.cellWidth, 100) << "room for a label";
        for (int i = 0; i < count; ++i) {
            EXPECT_GE(layout.imageLeft(i), layout.cellLeft(i));
            EXPECT_LE(layout.imageLeft(i) + layout.imageWidth,
                      layout.cellLeft(i) + layout.cellWidth);
            EXPECT_LE(layout.cellLeft(i) + layout.cellWidth, layout.sheetWidth);
            EXPECT_LE(layout.cellTop(i) + layout.imageHeight + layout.labelHeight,
                      layout.sheetHeight);
            const bool besideThePrevious = i % layout.columns != 0;
            if (besideThePrevious) {
                EXPECT_GE(layout.cellLeft(i), layout.cellLeft(i - 1) + layout.cellWidth);
            }
            if (i >= layout.columns) {
                EXPECT_GE(layout.cellTop(i), layout.cellTop(i - layout.columns) +
                                                 layout.imageHeight + layout.labelHeight);
            }
        }
    }
}

TEST(Gallery, TheReducedCopyAveragesThePixelsItCovers) {
    // 4 x 2: a left half of 0 and 100, a right half of 200 and 255.
    const Document document =
        documentFromRgb(4, 2, {0, 0, 0, 100, 100, 100, 200, 200, 200, 255, 255, 255,
                               0, 0, 0, 100, 100, 100, 200, 200, 200, 255, 255, 255});
    const Document reduced = reducedCopy(document, 2);
    ASSERT_EQ(reduced.width, 2);
    ASSERT_EQ(reduced.height, 1);
    EXPECT_EQ(reduced.sample(1, 0, 0), 50);
    EXPECT_EQ(reduced.sample(1, 1, 0), 228);
    const Document small = reducedCopy(document, 256);
    EXPECT_EQ(small.channels[0].samples, document.channels[0].samples);
}

TEST(Gallery, LabelsDrawAccentsFromUtf8AndLatin1Alike) {
    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(readInputFile(kDefaultGalleryFont, "the font", 64 << 20, bytes, error)) << error;
    LabelFont font;
    ASSERT_TRUE(font.load(bytes, error)) << error;
    const uint8_t white[3] = {255, 255, 255};
    const auto drawn = [&](const std::string& text) {
        RgbImage image(80, 24, 0);
        font.drawCentred(image, 0, 0, 80, 24, text, 17, white);
        return image.rgb;
    };
    EXPECT_EQ(drawn("d\xC3\xA9"
                    "faut"),
              drawn("d\xE9"
                    "faut"));
    EXPECT_NE(drawn("d\xC3\xA9"
                    "faut"),
              drawn("defaut"))
        << "the accent is drawn";
    EXPECT_FALSE(
        LabelFont().load({'n', 'o', 't', ' ', 'a', ' ', 'f', 'o', 'n', 't', '!', '!'}, error));
}
