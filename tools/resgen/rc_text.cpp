#include "tools/resgen/rc_text.h"

#include <cstdio>

#include "resources/resource_ids.h"
#include "tools/resgen/generated_note.h"

namespace {
// A resource script string literal: quotes are doubled, backslashes escaped.
std::string quoted(const std::string& text) {
    std::string literal = "\"";
    for (char character : text) {
        if (character == '"')
            literal += "\"\"";
        else if (character == '\\')
            literal += "\\\\";
        else
            literal += character;
    }
    return literal + "\"";
}

std::string versionNumbers(const std::array<uint16_t, 4>& parts) {
    return std::to_string(parts[0]) + "," + std::to_string(parts[1]) + "," +
           std::to_string(parts[2]) + "," + std::to_string(parts[3]);
}

std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", unsigned(value));
    return text;
}

const char* kindKeyword(ImageKind kind) {
    switch (kind) {
    case ImageKind::Bitmap:
        return "BITMAP";
    case ImageKind::Icon:
        return "ICON";
    case ImageKind::Cursor:
        return "CURSOR";
    }
    return "";
}

} // namespace

std::string stringTableRc(const StringTableEntry* entries) {
    std::string text = std::string(kGeneratedNote) + "STRINGTABLE\nBEGIN\n";
    for (const StringTableEntry* entry = entries; entry->text; ++entry)
        text += "    " + std::to_string(entry->id) + " " + quoted(entry->text) + "\n";
    return text + "END\n";
}

std::string versionRc(const VersionBlock& block) {
    std::string text = kGeneratedNote;
    text += "1 VERSIONINFO\n";
    text += "FILEVERSION " + versionNumbers(block.fileVersion) + "\n";
    text += "PRODUCTVERSION " + versionNumbers(block.productVersion) + "\n";
    text += "FILEFLAGSMASK " + hex(block.fileFlagsMask) + "\n";
    text += "FILEFLAGS " + hex(block.fileFlags) + "\n";
    text += "FILEOS " + hex(block.fileOs) + "\n";
    text += "FILETYPE " + hex(block.fileType) + "\n";
    text += "FILESUBTYPE 0x0\nBEGIN\n    BLOCK \"StringFileInfo\"\n    BEGIN\n";
    text += "        BLOCK " + quoted(block.languageCodePage) + "\n        BEGIN\n";
    for (const auto& [name, value] : block.strings)
        text += "            VALUE " + quoted(name) + ", " + quoted(value) + "\n";
    text += "        END\n    END\n";
    // The translation pair repeats the string table's language and code page.
    const uint32_t languageAndCodePage = uint32_t(std::stoul(block.languageCodePage, nullptr, 16));
    text += "    BLOCK \"VarFileInfo\"\n    BEGIN\n        VALUE \"Translation\", " +
            hex(languageAndCodePage >> 16) + ", " + std::to_string(languageAndCodePage & 0xFFFF) +
            "\n    END\nEND\n";
    return text;
}

std::string imageFileName(const ImageResource& image) {
    switch (image.kind) {
    case ImageKind::Bitmap:
        return "bitmap_" + std::to_string(image.id) + ".bmp";
    case ImageKind::Icon:
        return "icon_" + std::to_string(image.id) + ".ico";
    case ImageKind::Cursor:
        return "cursor_" + std::to_string(image.id) + ".cur";
    }
    return "";
}

std::string dialogFileName(const DialogDescription& dialog) {
    return "dialog_" + std::to_string(dialog.id) + ".bin";
}

std::string dataFilesRc(const std::vector<ImageResource>& images,
                        const std::vector<DialogDescription>& dialogs,
                        const std::filesystem::path& folder) {
    const auto file = [&](const std::string& name) {
        return quoted((std::filesystem::absolute(folder) / name).generic_string());
    };
    std::string text = kGeneratedNote;
    for (const ImageResource& image : images)
        text += std::to_string(image.id) + " " + kindKeyword(image.kind) + " " +
                file(imageFileName(image)) + "\n";
    // 5 is the type of a dialog template.
    for (const DialogDescription& dialog : dialogs)
        text += std::to_string(dialog.id) + " 5 " + file(dialogFileName(dialog)) + "\n";
    text += std::to_string(kPropertyListResource) + " PIPL " + file("pipl.bin") + "\n";
    text += std::to_string(kTerminologyResource) + " AETE " + file("aete.bin") + "\n";
    return text;
}
