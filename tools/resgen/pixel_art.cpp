#include "tools/resgen/pixel_art.h"

#include <fstream>
#include <sstream>

#include "tools/resgen/palette.h"

namespace {
bool isArtCharacter(char symbol) {
    return symbol == kTransparent || paletteIndex(symbol) >= 0;
}

// Blank lines and lines starting with "//".
bool isComment(const std::string& line) {
    return line.rfind("//", 0) == 0 || line.find_first_not_of(" \t\r") == std::string::npos;
}

// "art <name> <width>x<height>"
bool parseArtHeader(const std::string& line, std::string& name, PixelArt& art) {
    std::istringstream words(line);
    std::string keyword, size;
    char times = 0;
    if (!(words >> keyword >> name >> size) || keyword != "art")
        return false;
    std::istringstream dimensions(size);
    return bool(dimensions >> art.width >> times >> art.height) && times == 'x' && art.width > 0 &&
           art.height > 0 && dimensions.peek() == EOF;
}

bool readRows(std::istream& in, const std::string& place, int& lineNumber, PixelArt& art,
              std::string& error) {
    std::string row;
    for (int y = 0; y < art.height; ++y) {
        ++lineNumber;
        if (!std::getline(in, row)) {
            error = place + ":" + std::to_string(lineNumber) + ": art ends after " +
                    std::to_string(y) + " of " + std::to_string(art.height) + " rows";
            return false;
        }
        if (!row.empty() && row.back() == '\r')
            row.pop_back();
        if (int(row.size()) != art.width) {
            error = place + ":" + std::to_string(lineNumber) + ": row of " +
                    std::to_string(row.size()) + " characters, expected " +
                    std::to_string(art.width);
            return false;
        }
        for (char symbol : row)
            if (!isArtCharacter(symbol)) {
                error = place + ":" + std::to_string(lineNumber) + ": '" + symbol +
                        "' is not a palette character";
                return false;
            }
        art.pixels += row;
    }
    return true;
}
} // namespace

bool readArtFile(const std::filesystem::path& file, ArtCollection& arts, std::string& error) {
    std::ifstream in(file);
    const std::string place = file.string();
    if (!in) {
        error = place + ": cannot be read";
        return false;
    }
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (isComment(line))
            continue;
        std::string name;
        PixelArt art;
        if (!parseArtHeader(line, name, art)) {
            error = place + ":" + std::to_string(lineNumber) +
                    ": expected \"art <name> <width>x<height>\"";
            return false;
        }
        if (arts.count(name)) {
            error = place + ":" + std::to_string(lineNumber) + ": art \"" + name +
                    "\" is defined twice";
            return false;
        }
        if (!readRows(in, place, lineNumber, art, error))
            return false;
        arts[name] = art;
    }
    return true;
}

std::optional<PixelArt> composeLayers(const ArtCollection& arts,
                                      const std::vector<std::string>& layers, std::string& error) {
    std::optional<PixelArt> picture;
    for (const std::string& name : layers) {
        const auto found = arts.find(name);
        if (found == arts.end()) {
            error = "no art named \"" + name + "\"";
            return std::nullopt;
        }
        const PixelArt& layer = found->second;
        if (!picture) {
            picture = layer;
            continue;
        }
        if (layer.width != picture->width || layer.height != picture->height) {
            error = "art \"" + name + "\" differs in size from the layers below it";
            return std::nullopt;
        }
        for (size_t index = 0; index < layer.pixels.size(); ++index)
            if (layer.pixels[index] != kTransparent)
                picture->pixels[index] = layer.pixels[index];
    }
    if (!picture)
        error = "an image without layers";
    return picture;
}
