#pragma once
#include <cstdint>

// A four-character code as the host handles it: the first character is the
// most significant byte, so 'LghE' compares and stores as one 32-bit number.
constexpr uint32_t fourCC(const char (&code)[5]) {
    return (uint32_t(uint8_t(code[0])) << 24) | (uint32_t(uint8_t(code[1])) << 16) |
           (uint32_t(uint8_t(code[2])) << 8) | uint32_t(uint8_t(code[3]));
}

// The host's own signature: the vendor of every entry of a module's property
// list and the signature under which the host answers property queries.
constexpr uint32_t kHostSignature = fourCC("9ZIM");
