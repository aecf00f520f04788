#include "host/zerafin/terminal/reading_order.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

char32_t nextCodePoint(std::string_view text, size_t& at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    const int length = lead < 0x80         ? 1
                       : (lead >> 5) == 6  ? 2
                       : (lead >> 4) == 14 ? 3
                       : (lead >> 3) == 30 ? 4
                                           : 1;
    if (length == 1 || at + size_t(length) > text.size()) {
        ++at;
        return lead;
    }
    char32_t point = lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if ((byte(at + size_t(i)) & 0xC0) != 0x80) {
            ++at;
            return lead;
        }
        point = point << 6 | (byte(at + size_t(i)) & 0x3F);
    }
    at += size_t(length);
    return point;
}

namespace {
// The Latin-1 letters from U+00C0 on, as their base letters (upper case
// folded below); '\0' where the character is no letter (× and ÷).
using namespace std::string_view_literals;
constexpr std::string_view kLatin1Base = "AAAAAAACEEEEIIIIDNOOOOO\0OUUUUYTs"
                                         "aaaaaaaceeeeiiiidnooooo\0ouuuuyty"sv;
static_assert(kLatin1Base.size() == 0x40);

void appendFolded(char32_t point, std::string& folded) {
    if (point < 0x80) {
        folded += char(point >= 'A' && point <= 'Z' ? point - 'A' + 'a' : point);
        return;
    }
    switch (point) {
    case U'Æ':
    case U'æ':
        folded += "ae";
        return;
    case U'Œ':
    case U'œ':
        folded += "oe";
        return;
    case U'ß':
        folded += "ss";
        return;
    case U'Ÿ':
        folded += 'y';
        return;
    default:
        break;
    }
    if (point >= 0xC0 && point <= 0xFF && kLatin1Base[point - 0xC0] != '\0') {
        const char base = kLatin1Base[point - 0xC0];
        folded += char(base >= 'A' && base <= 'Z' ? base - 'A' + 'a' : base);
        return;
    }
    // Other characters keep their UTF-8 bytes, after every letter above.
    if (point < 0x800) {
        folded += char(0xC0 | point >> 6);
    } else if (point < 0x10000) {
        folded += char(0xE0 | point >> 12);
        folded += char(0x80 | (point >> 6 & 0x3F));
    } else {
        folded += char(0xF0 | point >> 18);
        folded += char(0x80 | (point >> 12 & 0x3F));
        folded += char(0x80 | (point >> 6 & 0x3F));
    }
    folded += char(0x80 | (point & 0x3F));
}
} // namespace

std::string foldedForReading(const std::string& utf8) {
    std::string folded;
    for (size_t at = 0; at < utf8.size();)
        appendFolded(nextCodePoint(utf8, at), folded);
    return folded;
}

bool readsBefore(const std::string& a, const std::string& b) {
    const std::string foldedA = foldedForReading(a), foldedB = foldedForReading(b);
    if (foldedA != foldedB)
        return foldedA < foldedB;
    return a < b; // equal but for accents and case: in a fixed order
}

void sortForReading(std::vector<std::string>& names) {
    std::sort(names.begin(), names.end(), readsBefore);
}
