#include "host/zerafin/terminal/messages.h"

namespace {
// The length of the valid UTF-8 sequence that starts the text, or 0.
size_t utf8SequenceLength(const std::string& text, size_t at) {
    const auto byte = [&](size_t i) { return uint8_t(text[i]); };
    const uint8_t lead = byte(at);
    const size_t length = lead < 0x80                    ? 1
                          : lead >= 0xC2 && lead <= 0xDF ? 2
                          : lead >= 0xE0 && lead <= 0xEF ? 3
                          : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                         : 0;
    if (length == 0 || text.size() - at < length)
        return 0;
    for (size_t i = 1; i < length; ++i)
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
    // No overlong forms, surrogates or values beyond U+10FFFF.
    const uint8_t second = byte(at + 1 < text.size() ? at + 1 : at);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F))
        return 0;
    return length;
}
} // namespace

std::string printable(const std::string& text) {
    std::string shown;
    for (size_t at = 0; at < text.size();) {
        const uint8_t byte = uint8_t(text[at]);
        const size_t length = utf8SequenceLength(text, at);
        if (length == 0 || byte < 0x20 || byte == 0x7F) {
            static const char digits[] = "0123456789ABCDEF";
            shown += "\\x";
            shown += digits[byte >> 4];
            shown += digits[byte & 15];
            ++at;
            continue;
        }
        shown.append(text, at, length);
        at += length;
    }
    return shown;
}

namespace {
// The messages that the running thread holds, if any.
thread_local HeldMessages* heldOnThisThread = nullptr;

void writeLine(std::FILE* stream, const std::string& message) {
    const std::string line = "zerafin: " + printable(message) + "\n";
    std::fwrite(line.data(), 1, line.size(), stream);
}
} // namespace

void printMessage(std::FILE* stream, const std::string& message) {
    if (heldOnThisThread)
        heldOnThisThread->held.emplace_back(stream, message);
    else
        writeLine(stream, message);
}

HeldMessages::HeldMessages() : outer(heldOnThisThread) {
    heldOnThisThread = this;
}

HeldMessages::~HeldMessages() {
    heldOnThisThread = outer;
}

void printHeldMessages(const std::vector<std::pair<std::FILE*, std::string>>& messages) {
    for (const auto& [stream, message] : messages)
        printMessage(stream, message);
}
