#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// Reads little-endian numbers and strings from a resource's bytes, refusing to
// read past its end. Every read answers false (and reads nothing) when the
// bytes run out.
class ByteReader {
  public:
    explicit ByteReader(std::span<const uint8_t> bytes) : bytes(bytes) {}

    bool readU8(uint8_t& value) {
        if (remaining() < 1)
            return false;
        value = bytes[position++];
        return true;
    }
    bool readU16(uint16_t& value) {
        if (remaining() < 2)
            return false;
        value = uint16_t(bytes[position] | bytes[position + 1] << 8);
        position += 2;
        return true;
    }
    // Four-character codes are stored this way too, so that 'kind' appears as
    // the bytes "dnik".
    bool readU32(uint32_t& value) {
        if (remaining() < 4)
            return false;
        value = uint32_t(bytes[position]) | uint32_t(bytes[position + 1]) << 8 |
                uint32_t(bytes[position + 2]) << 16 | uint32_t(bytes[position + 3]) << 24;
        position += 4;
        return true;
    }
    bool readBytes(size_t count, std::span<const uint8_t>& out) {
        if (remaining() < count)
            return false;
        out = bytes.subspan(position, count);
        position += count;
        return true;
    }
    // A length byte followed by that many characters, as stored (no conversion).
    bool readPascalString(std::string& out) {
        if (remaining() < 1 || remaining() < size_t(1) + bytes[position])
            return false;
        const size_t length = bytes[position++];
        out.assign(bytes.begin() + position, bytes.begin() + position + length);
        position += length;
        return true;
    }

    size_t offset() const { return position; }
    size_t remaining() const { return bytes.size() - position; }

  private:
    std::span<const uint8_t> bytes;
    size_t position = 0;
};
