#pragma once
#include <cstdint>
#include <span>
#include <vector>

// Appends little-endian numbers and raw bytes; four-character codes go in as
// numbers, so 'kind' comes out as the bytes "dnik".
class ByteWriter {
  public:
    void u8(uint8_t value) { bytes.push_back(value); }
    void u16(uint16_t value) {
        u8(uint8_t(value));
        u8(uint8_t(value >> 8));
    }
    void u32(uint32_t value) {
        u16(uint16_t(value));
        u16(uint16_t(value >> 16));
    }
    void append(std::span<const uint8_t> more) {
        bytes.insert(bytes.end(), more.begin(), more.end());
    }
    void zeros(size_t count) { bytes.insert(bytes.end(), count, 0); }
    void padToFour() { zeros((4 - bytes.size() % 4) % 4); }

    size_t size() const { return bytes.size(); }
    const std::vector<uint8_t>& data() const { return bytes; }

  private:
    std::vector<uint8_t> bytes;
};
