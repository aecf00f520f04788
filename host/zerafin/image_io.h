#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "host/zerafin/document.h"

// What the host reads as an image: PNG, JPEG, BMP or TGA with 8 bits per
// sample, of at most kMaxImageSide pixels on a side and kMaxImagePixels pixels
// in all (checked from the file's header, before anything is decoded), from a
// regular file of at most kMaxImageFileBytes.
constexpr int kMaxImageSide = 30000; // the host protocol's rectangles are 16-bit
constexpr int64_t kMaxImagePixels = int64_t(64) << 20;
constexpr uint64_t kMaxImageFileBytes = uint64_t(320) << 20;

// Reads an image file. Grey images become RGB; an alpha channel becomes the
// document channel "Alpha 1". False with a message on failure.
bool loadDocument(const std::string& path, Document& document, std::string& error);
// The same from the file's bytes; `name` names the file in messages.
bool decodeDocument(std::span<const uint8_t> bytes, const std::string& name, Document& document,
                    std::string& error, int64_t maxPixels = kMaxImagePixels);

// Reads a grey image of exactly the document's size as an extra channel.
bool loadChannel(const std::string& path, const std::string& name, Document& document,
                 std::string& error);

// The document's colour (and alpha, if it has one) encoded as PNG.
bool encodePng(const Document& document, std::vector<uint8_t>& encoded, std::string& error);

// Writes the document as PNG, or in the format the path's extension names:
// .png, .bmp, .tga or .jpg (JPEG at quality 95, without alpha). The file is
// replaced only when the whole image was written.
bool savePng(const std::string& path, const Document& document, std::string& error);
bool saveImage(const std::string& path, const Document& document, std::string& error);
