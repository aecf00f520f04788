#pragma once
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

// A picture as written in an art file: one palette character per pixel (see
// palette.h), rows top to bottom.
struct PixelArt {
    int width = 0;
    int height = 0;
    std::string pixels; // width * height characters, row after row

    char at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

using ArtCollection = std::map<std::string, PixelArt>;

// Adds every art block of an art file to `arts`. A block is a line
// "art <name> <width>x<height>" followed by exactly <height> rows of <width>
// palette characters; lines starting with "//" and blank lines between blocks
// are comments. False with a "file:line: message" error.
bool readArtFile(const std::filesystem::path& file, ArtCollection& arts, std::string& error);

// The named layers drawn one over the other; all must have the same size.
std::optional<PixelArt> composeLayers(const ArtCollection& arts,
                                      const std::vector<std::string>& layers, std::string& error);
