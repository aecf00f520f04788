#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Checks a TrueType font file before the label rasteriser reads it. The
// rasteriser trusts every offset and count a font holds, so everything it can
// read is checked here against the file: the table directory, the tables it
// uses, every glyph's outline (composite glyphs nested at most a few deep and
// never referring to themselves), the character map it picks and the kerning
// records. A font that passes can be read with any glyph index below
// `glyphCount` without reading outside the file.
struct FontLayout {
    size_t start = 0; // where the font's table directory starts (a collection holds several)
    uint16_t glyphCount = 0;
    // Per glyph, how far its outline reaches from the origin in font units,
    // in any direction: what drawing it at a scale can cost.
    std::vector<uint16_t> glyphReach;
};

// False with the reason when the bytes hold no usable TrueType font.
bool checkFontFile(std::span<const uint8_t> bytes, FontLayout& layout, std::string& reason);
