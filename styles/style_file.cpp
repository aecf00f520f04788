#include "styles/style_file.h"

namespace {
// The four bytes "ZFVR" read as one big-endian number.
constexpr uint32_t kStyleMagic = 0x5A465652;
} // namespace

int StyleSource::read16(uint16_t& value) {
    uint8_t bytes[2];
    if (readBytes(2, bytes) != 2)
        return 0;
    value = uint16_t(bytes[0] << 8 | bytes[1]);
    return 1;
}

int StyleSource::read32(uint32_t& value) {
    uint8_t bytes[4];
    if (readBytes(4, bytes) != 4)
        return 0;
    value =
        uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
    return 1;
}

int StyleSource::readMagic() {
    uint32_t magic = 0;
    return read32(magic) && magic == kStyleMagic;
}

StyleFile::~StyleFile() {
    CloseStyleFile(*this);
}

int StyleFile::adopt(platform::FileHandle handle) {
    if (handle == platform::kNoFile)
        return 0;
    handle_ = handle;
    open_ = 1;
    return 1;
}

int StyleFile::openForReading(const char* path) {
    return !isOpen() && adopt(platform::openFileForReading(path));
}

int StyleFile::openForWriting(const char* path) {
    return !isOpen() && adopt(platform::openFileForWriting(path));
}

int32_t StyleFile::readBytes(uint32_t count, void* buffer) {
    return isOpen() ? platform::readFile(handle_, buffer, count) : -1;
}

int32_t StyleFile::writeBytes(uint32_t count, const void* buffer) {
    return isOpen() ? platform::writeFile(handle_, buffer, count) : -1;
}

int StyleFile::write16(uint16_t value) {
    const uint8_t bytes[2] = {uint8_t(value >> 8), uint8_t(value)};
    return writeBytes(2, bytes) == 2;
}

int StyleFile::write32(uint32_t value) {
    const uint8_t bytes[4] = {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8),
                              uint8_t(value)};
    return writeBytes(4, bytes) == 4;
}

int StyleFile::writeMagic() {
    return write32(kStyleMagic);
}

int CloseStyleFile(StyleFile& file) {
    if (!file.isOpen())
        return 0;
    file.open_ = 0;
    const bool closed = platform::closeFile(file.handle_);
    file.handle_ = platform::kNoFile;
    return closed;
}
