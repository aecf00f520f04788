#include "styles/style_record.h"

namespace {
constexpr uint16_t kStyleMark = 0x4242; // "BB"
} // namespace

int WriteStyleHeader(StyleFile& file) {
    return file.write16(kStyleMark) && file.writeMagic();
}

int CheckStyleHeader(StyleSource& source) {
    uint16_t mark = 0;
    return source.read16(mark) && mark == kStyleMark && source.readMagic();
}

int CreateStyleFileAt(StyleFile& file, const char* path) {
    if (!file.openForWriting(path))
        return 0;
    if (WriteStyleHeader(file))
        return 1;
    CloseStyleFile(file);
    return 0;
}

int OpenStyleFileAt(StyleFile& file, const char* path) {
    if (!file.openForReading(path))
        return 0;
    if (CheckStyleHeader(file))
        return 1;
    CloseStyleFile(file);
    return 0;
}
