#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "resources/dialog_table.h"
#include "resources/image_table.h"
#include "resources/string_table.h"
#include "resources/version_table.h"

// Resource script fragments that resources/orvane.rc includes. Texts stay in
// UTF-8; orvane.rc declares that code page.

// STRINGTABLE with every entry.
std::string stringTableRc(const StringTableEntry* entries);
// The VERSIONINFO block.
std::string versionRc(const VersionBlock& block);
// The resources whose data is a generated file in `folder`: one BITMAP, ICON or
// CURSOR line per image (the file imageFileName gives), one dialog per
// template (dialogFileName), the property list (pipl.bin) and the terminology
// (aete.bin). Paths are absolute, so that the script compiles from any folder.
std::string dataFilesRc(const std::vector<ImageResource>& images,
                        const std::vector<DialogDescription>& dialogs,
                        const std::filesystem::path& folder);
std::string imageFileName(const ImageResource& image);
std::string dialogFileName(const DialogDescription& dialog);
