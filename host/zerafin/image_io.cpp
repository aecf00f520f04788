#include "host/zerafin/image_io.h"

#include <cstdio>
#include <memory>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#include <stb/stb_image.h>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace {
struct StbFree {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};
using StbPixels = std::unique_ptr<stbi_uc, StbFree>;

constexpr int kMaxSide = 30000; // the host protocol's rectangles are 16-bit

// Opens by stdio so that paths work the same in both builds.
StbPixels readPixels(const std::string& path, int& width, int& height, int& components, int wanted,
                     std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = "cannot open '" + path + "'";
        return nullptr;
    }
    if (stbi_is_16_bit_from_file(file)) {
        std::fclose(file);
        error = "'" + path + "' has 16 bits per sample; only 8-bit images are supported";
        return nullptr;
    }
    StbPixels pixels(stbi_load_from_file(file, &width, &height, &components, wanted));
    std::fclose(file);
    if (!pixels) {
        error = "cannot read '" + path + "': " + stbi_failure_reason();
        return nullptr;
    }
    if (width > kMaxSide || height > kMaxSide) {
        error = "'" + path + "' is larger than " + std::to_string(kMaxSide) + " pixels on a side";
        return nullptr;
    }
    return pixels;
}
} // namespace

bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    bytes.clear();
    uint8_t chunk[65536];
    size_t count = 0;
    while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + count);
    const bool complete = !std::ferror(file);
    std::fclose(file);
    return complete;
}

bool writeWholeFile(const std::string& path, const std::vector<uint8_t>& bytes,
                    std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "cannot write '" + path + "'";
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        std::remove(path.c_str());
        error = "cannot write '" + path + "'";
        return false;
    }
    return true;
}

Document documentFromRgb(int width, int height, const std::vector<uint8_t>& rgb) {
    Document document;
    document.width = width;
    document.height = height;
    const char* names[3] = {"Rouge", "Vert", "Bleu"};
    const size_t pixels = size_t(width) * size_t(height);
    for (int c = 0; c < 3; ++c) {
        Channel channel{names[c], std::vector<uint8_t>(pixels)};
        for (size_t i = 0; i < pixels; ++i)
            channel.samples[i] = rgb[i * 3 + size_t(c)];
        document.channels.push_back(std::move(channel));
    }
    return document;
}

bool loadDocument(const std::string& path, Document& document, std::string& error) {
    int width = 0, height = 0, components = 0;
    StbPixels pixels = readPixels(path, width, height, components, 4, error);
    if (!pixels)
        return false;
    const size_t count = size_t(width) * size_t(height);
    std::vector<uint8_t> rgb(count * 3);
    for (size_t i = 0; i < count; ++i)
        for (int c = 0; c < 3; ++c)
            rgb[i * 3 + size_t(c)] = pixels.get()[i * 4 + size_t(c)];
    document = documentFromRgb(width, height, rgb);
    document.hasAlpha = components == 2 || components == 4;
    if (document.hasAlpha) {
        Channel alpha{"Alpha 1", std::vector<uint8_t>(count)};
        for (size_t i = 0; i < count; ++i)
            alpha.samples[i] = pixels.get()[i * 4 + 3];
        document.channels.push_back(std::move(alpha));
    }
    return true;
}

bool loadChannel(const std::string& path, const std::string& name, Document& document,
                 std::string& error) {
    int width = 0, height = 0, components = 0;
    StbPixels pixels = readPixels(path, width, height, components, 1, error);
    if (!pixels)
        return false;
    if (width != document.width || height != document.height) {
        error = "channel '" + name + "' (" + path + ") is " + std::to_string(width) + " x " +
                std::to_string(height) + " but the image is " + std::to_string(document.width) +
                " x " + std::to_string(document.height);
        return false;
    }
    const size_t count = size_t(width) * size_t(height);
    document.channels.push_back(
        Channel{name, std::vector<uint8_t>(pixels.get(), pixels.get() + count)});
    return true;
}

namespace {
// The colour (and alpha) interleaved, as the stb writers take it.
std::vector<uint8_t> interleaved(const Document& document, int components) {
    const size_t count = size_t(document.width) * size_t(document.height);
    std::vector<uint8_t> pixels(count * size_t(components));
    for (size_t i = 0; i < count; ++i)
        for (int c = 0; c < components; ++c)
            pixels[i * size_t(components) + size_t(c)] = document.channels[size_t(c)].samples[i];
    return pixels;
}

void appendBytes(void* context, void* data, int size) {
    auto* bytes = static_cast<uint8_t*>(data);
    auto* encoded = static_cast<std::vector<uint8_t>*>(context);
    encoded->insert(encoded->end(), bytes, bytes + size);
}

bool endsWith(const std::string& text, const std::string& ending) {
    return text.size() >= ending.size() &&
           text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

enum class ImageFormat { Png, Bmp, Tga, Jpeg };

ImageFormat formatOfPath(const std::string& path) {
    if (endsWith(path, ".jpg") || endsWith(path, ".jpeg"))
        return ImageFormat::Jpeg;
    if (endsWith(path, ".bmp"))
        return ImageFormat::Bmp;
    if (endsWith(path, ".tga"))
        return ImageFormat::Tga;
    return ImageFormat::Png;
}

bool saveAs(ImageFormat format, const std::string& path, const Document& document,
            std::string& error) {
    const int components = document.hasAlpha && format != ImageFormat::Jpeg ? 4 : 3;
    const std::vector<uint8_t> pixels = interleaved(document, components);
    const int w = document.width, h = document.height;
    std::vector<uint8_t> encoded;
    int written = 0;
    switch (format) {
    case ImageFormat::Png:
        written = stbi_write_png_to_func(appendBytes, &encoded, w, h, components, pixels.data(),
                                         w * components);
        break;
    case ImageFormat::Bmp:
        written = stbi_write_bmp_to_func(appendBytes, &encoded, w, h, components, pixels.data());
        break;
    case ImageFormat::Tga:
        written = stbi_write_tga_to_func(appendBytes, &encoded, w, h, components, pixels.data());
        break;
    case ImageFormat::Jpeg:
        written =
            stbi_write_jpg_to_func(appendBytes, &encoded, w, h, components, pixels.data(), 95);
        break;
    }
    if (!written) {
        error = "cannot encode the image for '" + path + "'";
        return false;
    }
    return writeWholeFile(path, encoded, error);
}
} // namespace

bool saveImage(const std::string& path, const Document& document, std::string& error) {
    return saveAs(formatOfPath(path), path, document, error);
}

bool savePng(const std::string& path, const Document& document, std::string& error) {
    return saveAs(ImageFormat::Png, path, document, error);
}
