// The style file's header, and its record written and read field by field in
// file order.
#include "styles/style_record.h"

namespace {
// Reads a stored 16-bit field into a signed or unsigned record field.
template <typename Field> bool readField(StyleSource& source, Field& field) {
    uint16_t value = 0;
    if (!source.read16(value))
        return false;
    field = Field(value);
    return true;
}

constexpr int kLightFields = 14;

bool writeLight(const StyleLightRecord& light, StyleFile& file) {
    const uint16_t fields[kLightFields] = {light.color[0],
                                           light.color[1],
                                           light.color[2],
                                           uint16_t(light.intensity),
                                           uint16_t(light.focus),
                                           light.on,
                                           light.typeCode,
                                           uint16_t(light.positionX),
                                           uint16_t(light.positionY),
                                           uint16_t(light.vector0X),
                                           uint16_t(light.vector0Y),
                                           uint16_t(light.vector1X),
                                           uint16_t(light.vector1Y),
                                           uint16_t(light.radius)};
    for (uint16_t field : fields)
        if (!file.write16(field))
            return false;
    return true;
}

// The light is only filled when all its fields were read.
bool readLight(StyleSource& source, StyleLightRecord& light) {
    uint16_t fields[kLightFields];
    for (uint16_t& field : fields)
        if (!source.read16(field))
            return false;
    light = StyleLightRecord{{fields[0], fields[1], fields[2]},
                             int16_t(fields[3]),
                             int16_t(fields[4]),
                             fields[5],
                             fields[6],
                             int16_t(fields[7]),
                             int16_t(fields[8]),
                             int16_t(fields[9]),
                             int16_t(fields[10]),
                             int16_t(fields[11]),
                             int16_t(fields[12]),
                             int16_t(fields[13])};
    return true;
}
} // namespace

int writeStyleRecord(const StyleRecord& record, StyleFile& file) {
    const bool headerWritten =
        file.write32(kStyleVersion) && file.write16(record.textureChannel) &&
        file.write16(record.whiteIsHigh) && file.write16(uint16_t(record.reliefAmount)) &&
        file.write16(record.ambientColor[0]) && file.write16(record.ambientColor[1]) &&
        file.write16(record.ambientColor[2]) && file.write16(uint16_t(record.material)) &&
        file.write16(uint16_t(record.gloss)) && file.write16(uint16_t(record.exposure)) &&
        file.write16(uint16_t(record.ambience)) && file.write16(record.lightCount) &&
        file.write16(record.currentLight) && file.write16(uint16_t(record.halfFrame));
    if (!headerWritten)
        return 0;
    for (int i = 0; i < record.lightCount && i < kMaxLights; ++i)
        if (!writeLight(record.lights[i], file))
            return 0;
    return 1;
}

int readStyleRecord(StyleSource& source, StyleRecord& record) {
    uint32_t version = 0;
    if (!source.read32(version) || version != kStyleVersion)
        return 0;
    uint16_t storedCount = 0;
    const bool headerRead =
        readField(source, record.textureChannel) && readField(source, record.whiteIsHigh) &&
        readField(source, record.reliefAmount) && readField(source, record.ambientColor[0]) &&
        readField(source, record.ambientColor[1]) && readField(source, record.ambientColor[2]) &&
        readField(source, record.material) && readField(source, record.gloss) &&
        readField(source, record.exposure) && readField(source, record.ambience) &&
        readField(source, storedCount) && readField(source, record.currentLight) &&
        readField(source, record.halfFrame);
    if (!headerRead)
        return 0;
    // A file cut inside a light keeps the lights before it; a count above 16
    // reads at most 16.
    record.lightCount = 0;
    while (record.lightCount < storedCount && record.lightCount < kMaxLights &&
           readLight(source, record.lights[record.lightCount]))
        ++record.lightCount;
    return record.lightCount > 0;
}

namespace {
constexpr uint16_t kStyleMark = 0x4242; // "BB"
} // namespace

int writeStyleHeader(StyleFile& file) {
    return file.write16(kStyleMark) && file.writeMagic();
}

int checkStyleHeader(StyleSource& source) {
    uint16_t mark = 0;
    return source.read16(mark) && mark == kStyleMark && source.readMagic();
}

int createStyleFileAt(StyleFile& file, const char* path) {
    if (!file.openForWriting(path))
        return 0;
    if (writeStyleHeader(file))
        return 1;
    CloseStyleFile(file);
    return 0;
}

int openStyleFileAt(StyleFile& file, const char* path) {
    if (!file.openForReading(path))
        return 0;
    if (checkStyleHeader(file))
        return 1;
    CloseStyleFile(file);
    return 0;
}
