// Makes the demo's sample: a textured stone ground with the word ORVANE cut in
// relief. Writes the colour image and its relief channel (white = high) as PNG.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace {
constexpr int kWidth = 640, kHeight = 400;

// 5 x 7 glyphs, one string per row, '#' = ink.
struct Glyph {
    char letter;
    const char* rows[7];
};
constexpr Glyph kGlyphs[] = {
    {'O', {" ### ", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "}},
    {'R', {"#### ", "#   #", "#   #", "#### ", "# #  ", "#  # ", "#   #"}},
    {'V', {"#   #", "#   #", "#   #", "#   #", "#   #", " # # ", "  #  "}},
    {'A', {" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"}},
    {'N', {"#   #", "##  #", "# # #", "#  ##", "#   #", "#   #", "#   #"}},
    {'E', {"#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#####"}},
};

const Glyph* glyphFor(char letter) {
    for (const Glyph& glyph : kGlyphs)
        if (glyph.letter == letter)
            return &glyph;
    return nullptr;
}

// Smooth value noise from a hashed integer lattice.
double lattice(int x, int y) {
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return double(h ^ (h >> 16)) / 4294967295.0;
}

double valueNoise(double x, double y) {
    const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    const double fx = x - x0, fy = y - y0;
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const double top = lattice(x0, y0) + (lattice(x0 + 1, y0) - lattice(x0, y0)) * sx;
    const double bottom =
        lattice(x0, y0 + 1) + (lattice(x0 + 1, y0 + 1) - lattice(x0, y0 + 1)) * sx;
    return top + (bottom - top) * sy;
}

double fractalNoise(double x, double y) {
    double sum = 0, amplitude = 0.5, frequency = 1.0 / 48;
    for (int octave = 0; octave < 5; ++octave) {
        sum += amplitude * valueNoise(x * frequency, y * frequency);
        amplitude *= 0.5;
        frequency *= 2;
    }
    return sum;
}

std::vector<double> letteringMask() {
    const std::string word = "ORVANE";
    const int cell = 16, spacing = 6 * cell;
    const int left = (kWidth - int(word.size()) * spacing + cell) / 2,
              top = (kHeight - 7 * cell) / 2;
    std::vector<double> mask(size_t(kWidth) * kHeight, 0.0);
    for (size_t i = 0; i < word.size(); ++i) {
        const Glyph* glyph = glyphFor(word[i]);
        for (int row = 0; row < 7; ++row)
            for (int column = 0; column < 5; ++column)
                if (glyph->rows[row][column] == '#')
                    for (int y = 0; y < cell; ++y)
                        for (int x = 0; x < cell; ++x)
                            mask[size_t(top + row * cell + y) * kWidth +
                                 size_t(left + int(i) * spacing + column * cell + x)] = 1.0;
    }
    return mask;
}

// A box blur, so that the letters rise with sloped edges.
std::vector<double> blurred(const std::vector<double>& in, int radius) {
    std::vector<double> out(in.size());
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            double sum = 0;
            int count = 0;
            for (int dy = -radius; dy <= radius; ++dy)
                for (int dx = -radius; dx <= radius; ++dx) {
                    const int sx = x + dx, sy = y + dy;
                    if (sx >= 0 && sy >= 0 && sx < kWidth && sy < kHeight) {
                        sum += in[size_t(sy) * kWidth + size_t(sx)];
                        ++count;
                    }
                }
            out[size_t(y) * kWidth + size_t(x)] = sum / count;
        }
    return out;
}

uint8_t toByte(double value) {
    return uint8_t(std::lround(std::fmin(255.0, std::fmax(0.0, value))));
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: orvane_sample COLOUR.png RELIEF.png\n");
        return 2;
    }
    const std::vector<double> letters = blurred(letteringMask(), 3);
    std::vector<uint8_t> colour(size_t(kWidth) * kHeight * 3), relief(size_t(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const size_t i = size_t(y) * kWidth + size_t(x);
            const double grain = fractalNoise(x, y);
            const double ink = letters[i];
            const double stone = 150 + 80 * grain;
            const double bronze[3] = {150 + 40 * grain, 95 + 30 * grain, 50 + 20 * grain};
            const double tint[3] = {1.0, 0.93, 0.8};
            for (int c = 0; c < 3; ++c)
                colour[i * 3 + size_t(c)] = toByte(stone * tint[c] * (1 - ink) + bronze[c] * ink);
            relief[i] = toByte(60 * grain + 190 * ink);
        }
    if (!stbi_write_png(argv[1], kWidth, kHeight, 3, colour.data(), kWidth * 3) ||
        !stbi_write_png(argv[2], kWidth, kHeight, 1, relief.data(), kWidth)) {
        std::fprintf(stderr, "orvane_sample: cannot write the images\n");
        return 1;
    }
    std::printf("%s %s\n", argv[1], argv[2]);
    return 0;
}
