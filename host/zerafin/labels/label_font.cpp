#include "host/zerafin/labels/label_font.h"

#include <algorithm>
#include <cmath>

#include "host/zerafin/labels/font_check.h"
#include "host/zerafin/terminal/reading_order.h"

#define STB_TRUETYPE_IMPLEMENTATION
#define STBTT_STATIC
#include <stb/stb_truetype.h>

struct LabelFont::Face {
    stbtt_fontinfo info{};
    FontLayout layout;

    // The glyph of a character; a character the map sends past the font's
    // glyphs gets the missing-character glyph.
    int glyphOf(int point) const {
        const int glyph = stbtt_FindGlyphIndex(&info, point);
        return glyph < layout.glyphCount ? glyph : 0;
    }
};

namespace {
// A label's glyph never needs more than this many times the label's height:
// a glyph that would (a font with a nonsense ascent or outline) is left out,
// which bounds the rasteriser's work.
constexpr float kMaxGlyphSizeInLabelHeights = 8;

std::u32string codePointsOf(const std::string& text) {
    std::u32string points;
    for (size_t at = 0; at < text.size();)
        points += nextCodePoint(text, at);
    return points;
}

// Lays the text out at a scale, calling `glyph(glyphIndex, penX)` for each
// character; returns the advance of the whole text in pixels.
template <typename Glyph>
float layOut(const LabelFont::Face& face, const std::u32string& points, float scale, Glyph glyph) {
    float pen = 0;
    const bool kerned = face.info.kern || face.info.gpos;
    for (size_t i = 0; i < points.size(); ++i) {
        const int index = face.glyphOf(int(points[i]));
        glyph(index, pen);
        int advance = 0, bearing = 0;
        stbtt_GetGlyphHMetrics(&face.info, index, &advance, &bearing);
        pen += float(advance) * scale;
        if (kerned && i + 1 < points.size())
            pen += float(stbtt_GetGlyphKernAdvance(&face.info, index,
                                                   face.glyphOf(int(points[i + 1])))) *
                   scale;
    }
    return pen;
}

void blend(uint8_t& target, uint8_t colour, uint8_t coverage) {
    target = uint8_t((target * (255 - coverage) + colour * coverage + 127) / 255);
}

struct Box {
    int left, top, right, bottom; // right and bottom exclusive
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

Box intersection(const Box& a, const Box& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

// The glyph's coverage over the part `visible` of its box `glyphBox` (both in
// the image's pixels), one byte a pixel.
std::vector<uint8_t> glyphCoverage(const stbtt_fontinfo& info, int glyph, float scale,
                                   const Box& glyphBox, const Box& visible, int boxLeft,
                                   int boxTop) {
    std::vector<uint8_t> coverage(size_t(visible.width()) * size_t(visible.height()), 0);
    stbtt_vertex* vertices = nullptr;
    const int count = stbtt_GetGlyphShape(&info, glyph, &vertices);
    stbtt__bitmap bitmap{visible.width(), visible.height(), visible.width(), coverage.data()};
    constexpr float kFlatness = 0.35f; // in pixels, as the rasteriser's own drawing uses
    stbtt_Rasterize(&bitmap, kFlatness, vertices, count, scale, scale, 0, 0,
                    boxLeft + visible.left - glyphBox.left, boxTop + visible.top - glyphBox.top, 1,
                    nullptr);
    stbtt_FreeShape(&info, vertices);
    return coverage;
}
} // namespace

LabelFont::LabelFont() = default;
LabelFont::~LabelFont() = default;

bool LabelFont::load(std::vector<uint8_t> bytes, std::string& error) {
    file = std::move(bytes);
    auto loaded = std::make_unique<Face>();
    if (!checkFontFile(file, loaded->layout, error))
        return false;
    if (!stbtt_InitFont(&loaded->info, file.data(), int(loaded->layout.start))) {
        error = "it holds no TrueType font";
        return false;
    }
    face = std::move(loaded);
    return true;
}

int LabelFont::widthOf(const std::string& text, float pixelHeight) const {
    const float scale = stbtt_ScaleForPixelHeight(&face->info, pixelHeight);
    return int(std::ceil(layOut(*face, codePointsOf(text), scale, [](int, float) {})));
}

void LabelFont::drawCentred(RgbImage& image, int left, int top, int width, int height,
                            const std::string& text, float pixelHeight,
                            const uint8_t colour[3]) const {
    const std::u32string points = codePointsOf(text);
    const int natural = widthOf(text, pixelHeight);
    // Shrink a long name to fit, but not below two thirds of the wanted size.
    if (natural > width)
        pixelHeight = std::max(pixelHeight * float(width) / float(natural), pixelHeight * 2 / 3);
    const float scale = stbtt_ScaleForPixelHeight(&face->info, pixelHeight);
    int ascent = 0, descent = 0, gap = 0;
    stbtt_GetFontVMetrics(&face->info, &ascent, &descent, &gap);
    const int baseline =
        top + (height - int(float(ascent - descent) * scale)) / 2 + int(float(ascent) * scale);
    const int start = left + std::max(0, (width - widthOf(text, pixelHeight)) / 2);
    const Box label{left, top, left + width, top + height};
    layOut(*face, points, scale, [&](int glyph, float pen) {
        if (float(face->layout.glyphReach[size_t(glyph)]) * scale >
            kMaxGlyphSizeInLabelHeights * pixelHeight)
            return;
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        stbtt_GetGlyphBitmapBox(&face->info, glyph, scale, scale, &x0, &y0, &x1, &y1);
        const int gx = start + int(std::lround(pen)) + x0, gy = baseline + y0;
        const Box glyphBox{gx, gy, gx + x1 - x0, gy + y1 - y0};
        const Box visible = intersection(glyphBox, label);
        if (visible.width() <= 0 || visible.height() <= 0)
            return;
        const std::vector<uint8_t> coverage =
            glyphCoverage(face->info, glyph, scale, glyphBox, visible, x0, y0);
        for (int y = 0; y < visible.height(); ++y)
            for (int x = 0; x < visible.width(); ++x) {
                const size_t px = size_t(visible.left + x), py = size_t(visible.top + y);
                uint8_t* pixel = &image.rgb[(py * size_t(image.width) + px) * 3];
                for (int c = 0; c < 3; ++c)
                    blend(pixel[c], colour[c],
                          coverage[size_t(y) * size_t(visible.width()) + size_t(x)]);
            }
    });
}
