#include "host/zerafin/parameter_file.h"

#include "host/zerafin/byte_reader.h"

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
    block.assign(stored.begin(), stored.end());
    return true;
}
