#pragma once
#include <cstdint>

#include "platform/files.h"

// Where the big-endian numbers of a style are read from: an open style file, or
// a style's bytes in memory.
class StyleSource {
  public:
    // The bytes read (fewer at the end), or -1 when nothing can be read.
    virtual int32_t readBytes(uint32_t count, void* buffer) = 0;

    // 1 when every byte of the number was read (high byte first), else 0.
    int read16(uint16_t& value);
    int read32(uint32_t& value);
    // 1 only when a 32-bit value was read and it is the style magic "ZFVR".
    int readMagic();

  protected:
    ~StyleSource() = default;
};

// One style file, open for reading or for writing. It is closed when it goes
// out of scope; an open StyleFile refuses to open a second file.
class StyleFile : public StyleSource {
  public:
    StyleFile() = default;
    ~StyleFile();
    StyleFile(const StyleFile&) = delete;
    StyleFile& operator=(const StyleFile&) = delete;

    // 1 when the file at the path was opened (existing, exclusive), else 0.
    int openForReading(const char* path);
    // 1 when the file at the path was created or emptied (exclusive), else 0.
    int openForWriting(const char* path);
    bool isOpen() const { return open_ != 0; }

    int32_t readBytes(uint32_t count, void* buffer) override;
    // The bytes written, or -1 when not open or when the write fails.
    int32_t writeBytes(uint32_t count, const void* buffer);
    // 1 when every byte of the number was written (high byte first), else 0.
    int write16(uint16_t value);
    int write32(uint32_t value);
    int writeMagic();

  private:
    int adopt(platform::FileHandle handle);
    friend int CloseStyleFile(StyleFile& file);

    platform::FileHandle handle_ = platform::kNoFile;
    uint32_t open_ = 0;
};

// 1 only when the file was open and closed cleanly, else 0.
int CloseStyleFile(StyleFile& file);
