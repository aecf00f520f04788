#pragma once
#include <cstdint>

#include "settings/light_source.h"
#include "styles/style_file.h"

// The contents of a style file, field by field as they are stored (all numbers
// big-endian):
//   0  mark "BB"            2  magic "ZFVR"          6  version 144
//  10  texture channel     12  white is high        14  relief amount
//  16  ambient red, green, blue                     22  material
//  24  gloss               26  exposure             28  ambience
//  30  light count         32  current light        34  half frame
//  36  one 28-byte record per light; nothing follows the last light.
// Light geometry is in preview pixels of a frame whose half size is halfFrame.
constexpr uint32_t kStyleVersion = 144;
constexpr uint32_t kStyleHeaderBytes = 36;
constexpr uint32_t kStyleLightBytes = 28;

struct StyleLightRecord {
    uint16_t color[3] = {};
    int16_t intensity = 0;
    int16_t focus = 0;
    uint16_t on = 0;
    uint16_t typeCode = 0; // the light type table's style code
    int16_t positionX = 0, positionY = 0;
    int16_t vector0X = 0, vector0Y = 0;
    int16_t vector1X = 0, vector1Y = 0;
    int16_t radius = 0;
};

struct StyleRecord {
    uint16_t textureChannel = 0;
    uint16_t whiteIsHigh = 0;
    int16_t reliefAmount = 0;
    uint16_t ambientColor[3] = {};
    int16_t material = 0;
    int16_t gloss = 0;
    int16_t exposure = 0;
    int16_t ambience = 0;
    uint16_t lightCount = 0; // the lights held below
    uint16_t currentLight = 0;
    int16_t halfFrame = 0;
    StyleLightRecord lights[kMaxLights];
};

// Offsets 0 to 5: the mark and the magic. 1 when written / when both are right.
int writeStyleHeader(StyleFile& file);
int checkStyleHeader(StyleSource& source);

// Offsets 6 onward. Writing stops with 0 at the first failed write.
int writeStyleRecord(const StyleRecord& record, StyleFile& file);
// Gives 1 when the version is 144, the header fields are complete and at least
// one light was read whole; record.lightCount is then the number of whole
// lights read (at most 16). On 0 the record is of no use.
int readStyleRecord(StyleSource& source, StyleRecord& record);

// Create (or empty) the file at a path and write the header; open the file at a
// path and check its header. On failure the file is closed again and 0 given.
int createStyleFileAt(StyleFile& file, const char* path);
int openStyleFileAt(StyleFile& file, const char* path);
