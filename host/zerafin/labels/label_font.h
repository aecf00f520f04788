#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/zerafin/commands/gallery.h"

// Draws labels with a TrueType font (stb's rasteriser). Text is UTF-8; a byte
// that starts no UTF-8 sequence is read as Latin-1.
class LabelFont {
  public:
    LabelFont();
    ~LabelFont();
    LabelFont(const LabelFont&) = delete;
    LabelFont& operator=(const LabelFont&) = delete;

    // Takes the font file's bytes; false with a message when they hold no
    // font, or a damaged one (checked whole before anything is drawn).
    bool load(std::vector<uint8_t> bytes, std::string& error);

    // The width in pixels of the text at a pixel height.
    int widthOf(const std::string& text, float pixelHeight) const;

    // Draws the text in the box, centred, at `pixelHeight` or smaller so that
    // it fits the box's width, in the colour given; what still overflows is
    // cut at the box's edges.
    void drawCentred(RgbImage& image, int left, int top, int width, int height,
                     const std::string& text, float pixelHeight, const uint8_t colour[3]) const;

    // The font as the rasteriser reads it, once checked.
    struct Face;

  private:
    std::vector<uint8_t> file;
    std::unique_ptr<Face> face;
};
