#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "host/zerafin/document.h"

// Reads PNG, JPEG, BMP or TGA (8 bits per sample). Grey images become RGB; an
// alpha channel becomes the document channel "Alpha 1". False with a message on
// failure.
bool loadDocument(const std::string& path, Document& document, std::string& error);

// Reads a grey image of exactly the document's size as an extra channel.
bool loadChannel(const std::string& path, const std::string& name, Document& document,
                 std::string& error);

// Reads a whole file; false when it cannot be read.
bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes);
// Writes a whole file; on failure nothing is left behind.
bool writeWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);

// Writes the document's colour (and alpha, if it has one) as PNG.
bool savePng(const std::string& path, const Document& document, std::string& error);
// The same in the format the path's extension names: .png, .bmp, .tga or .jpg
// (JPEG at quality 95, without alpha).
bool saveImage(const std::string& path, const Document& document, std::string& error);
