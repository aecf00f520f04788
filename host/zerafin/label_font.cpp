#include "host/zerafin/label_font.h"

#include <algorithm>
#include <cmath>

#include "host/zerafin/reading_order.h"

#define STB_TRUETYPE_IMPLEMENTATION
#define STBTT_STATIC
#include <stb/stb_truetype.h>

struct LabelFont::Face {
    stbtt_fontinfo info{};
};

namespace {
std::u32string codePointsOf(const std::string& text) {
    std::u32string points;
    for (size_t at = 0; at < text.size();)
        points += nextCodePoint(text, at);
    return points;
}

// Lays the text out at a scale, calling `glyph(point, penX)` for each
// character; returns the advance of the whole text in pixels.
template <typename Glyph>
float layOut(const stbtt_fontinfo& info, const std::u32string& points, float scale, Glyph glyph) {
    float pen = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        const int point = int(points[i]);
        glyph(point, pen);
        int advance = 0, bearing = 0;
        stbtt_GetCodepointHMetrics(&info, point, &advance, &bearing);
        pen += float(advance) * scale;
        if (i + 1 < points.size())
            pen += float(stbtt_GetCodepointKernAdvance(&info, point, int(points[i + 1]))) * scale;
    }
    return pen;
}

void blend(uint8_t& target, uint8_t colour, uint8_t coverage) {
    target = uint8_t((target * (255 - coverage) + colour * coverage + 127) / 255);
}
} // namespace

LabelFont::LabelFont() = default;
LabelFont::~LabelFont() = default;

bool LabelFont::load(std::vector<uint8_t> bytes, std::string& error) {
    file = std::move(bytes);
    face = std::make_unique<Face>();
    const int offset = stbtt_GetFontOffsetForIndex(file.data(), 0);
    if (file.size() < 12 || offset < 0 || !stbtt_InitFont(&face->info, file.data(), offset)) {
        face.reset();
        error = "it holds no TrueType font";
        return false;
    }
    return true;
}

int LabelFont::widthOf(const std::string& text, float pixelHeight) const {
    const float scale = stbtt_ScaleForPixelHeight(&face->info, pixelHeight);
    return int(std::ceil(layOut(face->info, codePointsOf(text), scale, [](int, float) {})));
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
    std::vector<uint8_t> glyph;
    layOut(face->info, points, scale, [&](int point, float pen) {
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        stbtt_GetCodepointBitmapBox(&face->info, point, scale, scale, &x0, &y0, &x1, &y1);
        const int w = x1 - x0, h = y1 - y0;
        if (w <= 0 || h <= 0)
            return;
        glyph.assign(size_t(w) * size_t(h), 0);
        stbtt_MakeCodepointBitmap(&face->info, glyph.data(), w, h, w, scale, scale, point);
        const int gx = start + int(std::lround(pen)) + x0, gy = baseline + y0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int px = gx + x, py = gy + y;
                if (px < left || px >= left + width || py < top || py >= top + height)
                    continue;
                uint8_t* pixel = &image.rgb[(size_t(py) * size_t(image.width) + size_t(px)) * 3];
                for (int c = 0; c < 3; ++c)
                    blend(pixel[c], colour[c], glyph[size_t(y) * size_t(w) + size_t(x)]);
            }
    });
}
