#include "host/zerafin/terminal/suggestions.h"

#include <algorithm>

namespace {
// The letters U+00C0 to U+00FF (UTF-8 C3 80 to C3 BF) without their accents;
// an empty entry keeps the character as it is (×, ÷, Þ, þ).
const char* const kLatin1Letters[64] = {
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i",
    "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "",  "ss",
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i",
    "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "",  "y",
};

// How many slips a word of this length may hold and still be recognised.
size_t slipsAllowed(size_t length) {
    if (length <= 3)
        return 1;
    return length <= 8 ? 2 : 3;
}
} // namespace

std::string foldedName(const std::string& name) {
    std::string folded;
    for (size_t at = 0; at < name.size(); ++at) {
        const auto byte = uint8_t(name[at]);
        const bool latin1 = byte == 0xC3 && at + 1 < name.size() &&
                            (uint8_t(name[at + 1]) & 0xC0) == 0x80 &&
                            *kLatin1Letters[uint8_t(name[at + 1]) - 0x80] != '\0';
        const bool ligature = byte == 0xC5 && at + 1 < name.size() &&
                              (uint8_t(name[at + 1]) == 0x92 || uint8_t(name[at + 1]) == 0x93);
        if (latin1 || ligature) {
            folded += latin1 ? kLatin1Letters[uint8_t(name[at + 1]) - 0x80] : "oe";
            ++at;
        } else {
            folded += byte >= 'A' && byte <= 'Z' ? char(byte - 'A' + 'a') : char(byte);
        }
    }
    while (!folded.empty() && folded.back() == ' ')
        folded.pop_back();
    return folded;
}

size_t editDistance(const std::string& from, const std::string& to) {
    // Three rows of the classic table suffice: a swap looks two rows back.
    std::vector<size_t> twoBack(to.size() + 1), previous(to.size() + 1), current(to.size() + 1);
    for (size_t j = 0; j <= to.size(); ++j)
        previous[j] = j;
    for (size_t i = 1; i <= from.size(); ++i) {
        current[0] = i;
        for (size_t j = 1; j <= to.size(); ++j) {
            const size_t substitution = previous[j - 1] + (from[i - 1] == to[j - 1] ? 0 : 1);
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, substitution});
            if (i > 1 && j > 1 && from[i - 1] == to[j - 2] && from[i - 2] == to[j - 1])
                current[j] = std::min(current[j], twoBack[j - 2] + 1);
        }
        twoBack = previous;
        previous = current;
    }
    return previous[to.size()];
}

std::optional<std::string> nearestName(const std::string& word,
                                       const std::vector<std::string>& candidates) {
    const std::string folded = foldedName(word);
    std::optional<std::string> nearest;
    size_t nearestDistance = slipsAllowed(folded.size()) + 1;
    for (const std::string& candidate : candidates) {
        const std::string foldedCandidate = foldedName(candidate);
        const size_t distance = editDistance(folded, foldedCandidate);
        // A short candidate is near anything short: it must keep most of itself.
        if (distance < nearestDistance && distance < std::max<size_t>(foldedCandidate.size(), 1)) {
            nearest = candidate;
            nearestDistance = distance;
        }
    }
    return nearest;
}

std::string didYouMean(const std::string& word, const std::vector<std::string>& candidates) {
    const std::optional<std::string> nearest = nearestName(word, candidates);
    return nearest ? "; did you mean \"" + *nearest + "\"?" : "";
}
