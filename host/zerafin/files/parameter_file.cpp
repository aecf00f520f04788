#include "host/zerafin/files/parameter_file.h"

#include "host/zerafin/module/byte_reader.h"

namespace {
constexpr uint8_t kMagic[4] = {'Z', 'F', 'P', 'B'};
constexpr uint16_t kFormatVersion = 1;

// The CRC-32 of zip and PNG (reflected polynomial 0xEDB88320).
uint32_t crc32Of(std::span<const uint8_t> bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

uint32_t littleEndianAt(std::span<const uint8_t> bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | bytes[at + size_t(i)];
    return value;
}

// A checksum only tells that the block is what was written: a block written
// by something else, or by hand, is checked for what the filter's block must
// hold before the filter reads it.
bool blockLooksRight(std::span<const uint8_t> block, std::string& error) {
    if (block.size() != kParameterBlockSize) {
        error = "its settings are " + std::to_string(block.size()) + " bytes, not " +
                std::to_string(kParameterBlockSize);
        return false;
    }
    if (littleEndianAt(block, 0, 4) != kParameterBlockSignature ||
        littleEndianAt(block, 4, 4) != 1 || littleEndianAt(block, 8, 2) != 1) {
        error = "its settings do not start with the filter's signature";
        return false;
    }
    if (littleEndianAt(block, kParameterBlockLightCountOffset, 2) > kParameterBlockMaxLights) {
        error =
            "its settings count more than " + std::to_string(kParameterBlockMaxLights) + " lights";
        return false;
    }
    return true;
}

void appendLittleEndian(std::vector<uint8_t>& bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes.push_back(uint8_t(value >> (8 * i)));
}
} // namespace

std::vector<uint8_t> parameterFileBytes(const std::string& moduleName,
                                        std::span<const uint8_t> block) {
    const std::string name = moduleName.substr(0, 255);
    std::vector<uint8_t> bytes(std::begin(kMagic), std::end(kMagic));
    appendLittleEndian(bytes, kFormatVersion, 2);
    bytes.push_back(uint8_t(name.size()));
    bytes.insert(bytes.end(), name.begin(), name.end());
    appendLittleEndian(bytes, uint32_t(block.size()), 4);
    appendLittleEndian(bytes, crc32Of(block), 4);
    bytes.insert(bytes.end(), block.begin(), block.end());
    return bytes;
}

bool readParameterFile(std::span<const uint8_t> bytes, const std::string& moduleName,
                       std::vector<uint8_t>& block, std::string& error) {
    ByteReader reader(bytes);
    std::span<const uint8_t> magic, stored;
    uint16_t version = 0;
    std::string name;
    uint32_t size = 0, crc = 0;
    if (!reader.readBytes(sizeof kMagic, magic) ||
        !std::equal(magic.begin(), magic.end(), std::begin(kMagic))) {
        error = "it is not a parameter file of this host";
        return false;
    }
    if (!reader.readU16(version) || version != kFormatVersion) {
        error = "it has a format this host does not know";
        return false;
    }
    if (!reader.readPascalString(name) || !reader.readU32(size) || !reader.readU32(crc) ||
        !reader.readBytes(size, stored) || reader.remaining() != 0) {
        error = "it is truncated or has bytes beyond its end";
        return false;
    }
    if (size == 0) {
        error = "it holds no settings";
        return false;
    }
    if (name != moduleName.substr(0, 255)) {
        error = "it holds the settings of another module ('" + name + "')";
        return false;
    }
    if (crc32Of(stored) != crc) {
        error = "it is damaged (its checksum does not match)";
        return false;
    }
    if (!blockLooksRight(stored, error))
        return false;
    block.assign(stored.begin(), stored.end());
    return true;
}
