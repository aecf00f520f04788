#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "host/zerafin/image_files/document.h"

// What the host reads as an image: PNG, JPEG, BMP or TGA with 8 bits per
// sample (16-bit PNG files are read rounded to 8 bits, with a notice on
// stderr), of at most kMaxImageSide pixels on a side and kMaxImagePixels pixels
// in all (checked from the file's header, before anything is decoded), from a
// regular file of at most kMaxImageFileBytes.
constexpr int kMaxImageSide = 30000; // the host protocol's rectangles are 16-bit
constexpr int64_t kMaxImagePixels = int64_t(64) << 20;
constexpr uint64_t kMaxImageFileBytes = uint64_t(320) << 20;

// Reads an image file. Grey images become RGB; an alpha channel becomes the
// document channel "Alpha 1". False with a message on failure.
bool loadDocument(const std::string& path, Document& document, std::string& error);
// The same from the file's bytes, without the notice; `name` names the file in
// messages, and `reducedFrom16Bits` tells whether the file had 16 bits per
// sample.
bool decodeDocument(std::span<const uint8_t> bytes, const std::string& name, Document& document,
                    std::string& error, int64_t maxPixels = kMaxImagePixels,
                    bool* reducedFrom16Bits = nullptr);

// Reads a grey image of exactly the document's size as an extra channel.
bool loadChannel(const std::string& path, const std::string& name, Document& document,
                 std::string& error);

// The same in two steps, so that the file can be read before the document is:
// the grey image and its size, then added to the document when of its size.
struct ChannelImage {
    std::string path;
    Channel channel;
    int width = 0, height = 0;
};
bool readChannelImage(const std::string& path, const std::string& name, ChannelImage& image,
                      std::string& error);
bool addChannel(ChannelImage&& image, Document& document, std::string& error);

// The formats the host writes. JPEG has no alpha channel; the others keep it.
enum class ImageFormat { Png, Jpeg, Bmp, Tga };
constexpr int kDefaultJpegQuality = 92;

// The format a path's extension names (.png, .jpg, .jpeg, .bmp, .tga, in any
// case); nullopt for any other.
std::optional<ImageFormat> imageFormatOfPath(const std::string& path);

// The document's colour (and alpha, if it has one and the format keeps it)
// encoded in the format; `quality` is JPEG's, from 1 to 100.
bool encodeImage(ImageFormat format, const Document& document, std::vector<uint8_t>& encoded,
                 std::string& error, int quality = kDefaultJpegQuality);

// Writes the document as PNG, or in the format the path's extension names.
// The file is replaced only when the whole image was written.
bool savePng(const std::string& path, const Document& document, std::string& error);
bool saveImage(const std::string& path, const Document& document, std::string& error);
