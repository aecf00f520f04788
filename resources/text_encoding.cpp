#include "resources/text_encoding.h"

#include <cstdint>

namespace {
// Bytes 0x80..0x9F; the rest of the page coincides with Unicode (Latin-1).
constexpr char32_t kHighControls[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
};

char32_t codePointOfByte(uint8_t byte) {
    return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : char32_t(byte);
}

std::optional<uint8_t> byteOfCodePoint(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return uint8_t(codePoint);
    for (int index = 0; index < 32; ++index)
        if (kHighControls[index] == codePoint && codePoint != 0xFFFD)
            return uint8_t(0x80 + index);
    return std::nullopt;
}

// Decodes one UTF-8 sequence at `position` and advances past it.
std::optional<char32_t> nextCodePoint(std::string_view text, size_t& position) {
    const uint8_t lead = uint8_t(text[position++]);
    if (lead < 0x80)
        return lead;
    const int followers = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (followers < 0 || position + size_t(followers) > text.size())
        return std::nullopt;
    char32_t codePoint = lead & (0x3F >> followers);
    for (int index = 0; index < followers; ++index) {
        const uint8_t follower = uint8_t(text[position++]);
        if ((follower & 0xC0) != 0x80)
            return std::nullopt;
        codePoint = (codePoint << 6) | (follower & 0x3F);
    }
    return codePoint;
}

void appendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out += char(codePoint);
    } else if (codePoint < 0x800) {
        out += char(0xC0 | (codePoint >> 6));
        out += char(0x80 | (codePoint & 0x3F));
    } else {
        out += char(0xE0 | (codePoint >> 12));
        out += char(0x80 | ((codePoint >> 6) & 0x3F));
        out += char(0x80 | (codePoint & 0x3F));
    }
}
} // namespace

std::optional<std::string> utf8ToWindows1252(std::string_view utf8) {
    std::string out;
    size_t position = 0;
    while (position < utf8.size()) {
        const std::optional<char32_t> codePoint = nextCodePoint(utf8, position);
        if (!codePoint)
            return std::nullopt;
        const std::optional<uint8_t> byte = byteOfCodePoint(*codePoint);
        if (!byte)
            return std::nullopt;
        out += char(*byte);
    }
    return out;
}

std::string windows1252ToUtf8(std::string_view windows1252) {
    std::string out;
    for (char byte : windows1252)
        appendUtf8(out, codePointOfByte(uint8_t(byte)));
    return out;
}

std::optional<std::u16string> utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    size_t position = 0;
    while (position < utf8.size()) {
        const std::optional<char32_t> codePoint = nextCodePoint(utf8, position);
        if (!codePoint)
            return std::nullopt;
        if (*codePoint < 0x10000) {
            out += char16_t(*codePoint);
        } else {
            out += char16_t(0xD800 + ((*codePoint - 0x10000) >> 10));
            out += char16_t(0xDC00 + ((*codePoint - 0x10000) & 0x3FF));
        }
    }
    return out;
}
