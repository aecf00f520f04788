#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

// An unsigned number of `size` bytes (at most 4) at an offset of a file's
// bytes, most significant byte first or last. The caller has checked that the
// bytes are there.
inline uint32_t bigEndianAt(std::span<const uint8_t> bytes, size_t at, size_t size) {
    uint32_t value = 0;
    for (size_t i = 0; i < size; ++i)
        value = value << 8 | bytes[at + i];
    return value;
}

inline uint32_t littleEndianAt(std::span<const uint8_t> bytes, size_t at, size_t size) {
    uint32_t value = 0;
    for (size_t i = 0; i < size; ++i)
        value |= uint32_t(bytes[at + i]) << (8 * i);
    return value;
}
