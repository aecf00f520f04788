// Writing a large RGB image as PNG, timed, best of three: the host's encoder
// (zlib, strips on every processor, then on one thread) against stb's
// single-call encoder as a yardstick, in the same run. Prints seconds and file
// sizes.
//
//   orvane_png_write [SIZE]     (default 4096)
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include <stb/stb_image_write.h>

#include "host/zerafin/image_files/png_writer.h"

namespace {
// A photograph's kind of content: smooth gradients and shapes with a fine
// grain of noise, so that neither encoder meets long identical runs.
std::vector<uint8_t> photographLike(int size) {
    std::vector<uint8_t> rgb(size_t(size) * size_t(size) * 3);
    uint32_t noise = 12345;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            for (int c = 0; c < 3; ++c) {
                noise = noise * 1664525u + 1013904223u;
                const double wave = std::sin(x * (0.003 + 0.001 * c)) * std::cos(y * 0.004);
                const double value =
                    128 + 90 * wave + 30.0 * x / size - 20.0 * y / size + double(noise >> 29) - 4;
                rgb[(size_t(y) * size_t(size) + size_t(x)) * 3 + size_t(c)] =
                    uint8_t(std::clamp(value, 0.0, 255.0));
            }
    return rgb;
}

void appendBytes(void* context, void* data, int size) {
    auto* file = static_cast<std::vector<uint8_t>*>(context);
    file->insert(file->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

// The best of three timings of `encode`, and the size of what it wrote.
void measure(const char* name, const std::function<std::vector<uint8_t>()>& encode) {
    double best = 1e30;
    size_t bytes = 0;
    for (int round = 0; round < 3; ++round) {
        const auto start = std::chrono::steady_clock::now();
        bytes = encode().size();
        best = std::min(
            best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::printf("%-28s %7.3f s %12zu bytes\n", name, best, bytes);
}
} // namespace

int main(int argc, char** argv) {
    const int size = argc > 1 ? std::atoi(argv[1]) : 4096;
    if (size < 1 || size > 16384) {
        std::fprintf(stderr, "usage: orvane_png_write [SIZE from 1 to 16384]\n");
        return 2;
    }
    const std::vector<uint8_t> rgb = photographLike(size);
    const PngImage image{size, size, 3, 8, rgb};
    std::printf("%d x %d RGB, best of three\n", size, size);
    measure("zlib, every processor", [&] { return encodePngFile(image); });
    measure("zlib, one thread", [&] { return encodePngFile(image, 1); });
    measure("stb, single-call encoder", [&] {
        std::vector<uint8_t> file;
        stbi_write_png_to_func(appendBytes, &file, size, size, 3, rgb.data(), size * 3);
        return file;
    });
    return 0;
}
