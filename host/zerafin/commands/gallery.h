#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "host/zerafin/commands/command_line.h"
#include "host/zerafin/image_files/document.h"

// zerafin styles --gallery IN OUT: every style of the module's folder lit on a
// reduced copy of IN, side by side on one contact sheet, each over its name.

// The longest side of the reduced copy each style lights.
constexpr int kGalleryImageSide = 256;

// Where the cells of a contact sheet lie: a near-square grid, filled row by
// row, each cell an image with its label below it, with a margin around every
// cell. A cell is never narrower than a label needs; a narrower image is
// centred in it.
struct GalleryLayout {
    int columns = 0, rows = 0;
    int cellWidth = 0;
    int imageWidth = 0, imageHeight = 0;
    int labelHeight = 0, margin = 0;
    int sheetWidth = 0, sheetHeight = 0;

    // The top left corner of cell `index`; its label starts below the image.
    int cellLeft(int index) const;
    int cellTop(int index) const;
    // The left edge of cell `index`'s image.
    int imageLeft(int index) const { return cellLeft(index) + (cellWidth - imageWidth) / 2; }
};
GalleryLayout galleryLayout(int count, int imageWidth, int imageHeight);

// The document's red, green and blue scaled down, each pixel the average of
// the pixels it covers, so that its longest side is at most `longestSide`.
// Smaller images are copied as they are. Other channels are left out.
Document reducedCopy(const Document& document, int longestSide);

// Pixels of a contact sheet: red, green and blue interleaved.
struct RgbImage {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    RgbImage(int width, int height, uint8_t grey)
        : width(width), height(height), rgb(size_t(width) * size_t(height) * 3, grey) {}
};

// Puts a document's red, green and blue at (left, top) of the image.
void paste(const Document& document, RgbImage& image, int left, int top);

// The font that draws the labels (a TrueType file), and where each build finds
// it by default: Debian's fonts-dejavu-core, reached from Wine through drive Z:.
#ifdef _WIN32
constexpr const char* kDefaultGalleryFont =
    "Z:\\usr\\share\\fonts\\truetype\\dejavu\\DejaVuSans.ttf";
#else
constexpr const char* kDefaultGalleryFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
#endif

class LabelFont;

// The labels' font: the one asked for, which must be usable, or else (when
// none is asked for) the default, without which the sheet is still made with
// its cells unnamed. `message` says why a font was refused or left out.
enum class LabelFontChoice { Labelled, Unlabelled, Refused };
LabelFontChoice chooseLabelFont(const std::string& asked, const std::string& fallback,
                                LabelFont& font, std::string& message);

// Runs the command; returns the host's exit status.
int runGalleryCommand(const CommandLine& line);
