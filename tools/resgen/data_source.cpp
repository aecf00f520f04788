#include "tools/resgen/data_source.h"

#include <cstdio>

#include "tools/resgen/generated_note.h"

namespace {
std::string byteArray(const char* name, std::span<const uint8_t> bytes) {
    std::string text = "const uint8_t " + std::string(name) + "[] = {";
    for (size_t index = 0; index < bytes.size(); ++index) {
        text += index % 12 == 0 ? "\n    " : " ";
        char value[8];
        std::snprintf(value, sizeof value, "0x%02X,", unsigned(bytes[index]));
        text += value;
    }
    return text + "\n};\n";
}
} // namespace

std::string resourceDataSource(std::span<const uint8_t> propertyList,
                               std::span<const uint8_t> terminology,
                               std::span<const uint8_t> colourPicker) {
    std::string text = kGeneratedNote;
    text += "#include \"resources/resource_data.h\"\n\nnamespace {\n";
    text += byteArray("kPropertyList", propertyList);
    text += byteArray("kTerminology", terminology);
    text += byteArray("kColourPicker", colourPicker);
    text += "} // namespace\n\n";
    text += "std::span<const uint8_t> propertyListBytes() { return kPropertyList; }\n";
    text += "std::span<const uint8_t> terminologyBytes() { return kTerminology; }\n";
    text += "std::span<const uint8_t> colourPickerTemplateBytes() { return kColourPicker; }\n";
    return text;
}
