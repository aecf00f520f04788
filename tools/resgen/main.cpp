// orvane_resgen <resources folder> <output folder>
//
// Turns the readable tables and pixel art of resources/ into what the resource
// compiler embeds in the module (pipl.bin, aete.bin, the image files, the
// dialog templates and the .rc fragments strings.rc, version.rc and files.rc
// that resources/orvane.rc includes) and into resource_data.cpp,
// which gives the native build the same property list and terminology bytes,
// and the reference host the colour dialog's template.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <span>
#include <string_view>

#include "resources/dialog_table.h"
#include "resources/image_table.h"
#include "resources/property_list_table.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "resources/terminology_table.h"
#include "resources/version_table.h"
#include "tools/resgen/data_source.h"
#include "tools/resgen/encode_dialog.h"
#include "tools/resgen/encode_property_list.h"
#include "tools/resgen/encode_terminology.h"
#include "tools/resgen/image_files.h"
#include "tools/resgen/rc_text.h"

namespace fs = std::filesystem;

namespace {
bool writeFile(const fs::path& path, std::span<const uint8_t> bytes, std::string& error) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out.flush()) {
        error = path.string() + ": cannot be written";
        return false;
    }
    return true;
}

bool writeText(const fs::path& path, std::string_view text, std::string& error) {
    return writeFile(path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()),
                     error);
}

// Every art file of the folder, in name order so that errors come out alike.
bool readAllArt(const fs::path& folder, ArtCollection& arts, std::string& error) {
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".art")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files)
        if (!readArtFile(file, arts, error))
            return false;
    return true;
}

std::optional<std::vector<uint8_t>> encodeImage(const ImageResource& image,
                                                const ArtCollection& arts, std::string& error) {
    std::vector<IconPicture> pictures;
    for (const ImageVariant& variant : image.variants) {
        const std::optional<PixelArt> art = composeLayers(arts, variant.layers, error);
        if (!art)
            return std::nullopt;
        pictures.push_back({*art, variant.depth});
    }
    switch (image.kind) {
    case ImageKind::Bitmap:
        return encodeBitmapFile(pictures.front().art, pictures.front().depth, error);
    case ImageKind::Icon:
        return encodeIconFile(pictures);
    case ImageKind::Cursor:
        return encodeCursorFile(pictures.front().art, image.hotSpotX, image.hotSpotY);
    }
    return std::nullopt;
}

bool writeImages(const fs::path& resources, const fs::path& out, std::string& error) {
    ArtCollection arts;
    if (!readAllArt(resources / "art", arts, error))
        return false;
    for (const ImageResource& image : orvaneImages()) {
        const std::optional<std::vector<uint8_t>> file = encodeImage(image, arts, error);
        if (!file) {
            error = imageFileName(image) + ": " + error;
            return false;
        }
        if (!writeFile(out / imageFileName(image), *file, error))
            return false;
    }
    return true;
}

bool writeDialogs(const fs::path& out, std::string& error) {
    for (const DialogDescription& dialog : orvaneDialogs()) {
        const std::optional<std::vector<uint8_t>> bytes = encodeDialog(dialog, error);
        if (!bytes || !writeFile(out / dialogFileName(dialog), *bytes, error))
            return false;
    }
    return true;
}

// The colour dialog's template bytes, for resource_data.cpp.
std::optional<std::vector<uint8_t>> colourPickerTemplate(std::string& error) {
    for (const DialogDescription& dialog : orvaneDialogs())
        if (dialog.id == kDialogColourPicker)
            return encodeDialog(dialog, error);
    error = "the dialog table has no colour dialog";
    return std::nullopt;
}

bool generateResources(const fs::path& resources, const fs::path& out, std::string& error) {
    fs::create_directories(out);
    const std::vector<uint8_t> propertyList = encodePropertyList(orvanePropertyList());
    const std::optional<std::vector<uint8_t>> terminology =
        encodeTerminology(orvaneTerminology(), error);
    const std::optional<std::vector<uint8_t>> colourPicker =
        terminology ? colourPickerTemplate(error) : std::nullopt;
    return colourPicker && writeFile(out / "pipl.bin", propertyList, error) &&
           writeFile(out / "aete.bin", *terminology, error) &&
           writeText(out / "strings.rc", stringTableRc(kStringTable), error) &&
           writeText(out / "version.rc", versionRc(orvaneVersionBlock()), error) &&
           writeImages(resources, out, error) && writeDialogs(out, error) &&
           writeText(out / "files.rc", dataFilesRc(orvaneImages(), orvaneDialogs(), out), error) &&
           writeText(out / "resource_data.cpp",
                     resourceDataSource(propertyList, *terminology, *colourPicker), error);
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: orvane_resgen <resources folder> <output folder>\n");
        return 2;
    }
    std::string error;
    if (!generateResources(argv[1], argv[2], error)) {
        std::fprintf(stderr, "orvane_resgen: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
