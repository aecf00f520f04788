#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "settings/settings.h"
#include "styles/style_file.h"

// The style folder "Lighting Styles" beside the plug-in file and the styles in
// it, one file per style named after the style. Every operation gives 1 or 0;
// the dialog shows the messages.
//
// Names are in the system's code page. Saving, loading, deleting and the
// write-protection test use the name a style is stored under (see
// storedStyleName). Names that could leave the folder or that the file system
// reserves (path separators, "..", drive prefixes, <>:"|?*, control
// characters, a trailing dot or space, device names such as CON) are refused.

// The name a style is stored under: a name of more than 31 characters is cut
// to its first 30.
std::string storedStyleName(std::string_view name);
// False for names that could reach outside the style folder or that the file
// system reserves.
bool isUsableStyleName(const char* name);
// folder + name into a buffer of platform::kMaxPath characters; 0 when it
// does not fit.
int joinPath(const char* folder, const char* name, char* path);

// The folder path, ending with the path separator, in a buffer of
// platform::kMaxPath characters; the folder is created when missing.
int GetStyleFolder(char* folder);

// 1 when the folder has an entry of exactly that name (no cutting).
int StyleExists(std::string_view name);
int IsStyleWriteProtected(std::string_view name);
int DeleteStyle(std::string_view name);

// The name of the index-th style of the folder, counting only style files, in
// the order the folder is listed; none beyond the last.
std::optional<std::string> GetStyleName(int16_t index);
// 1 when the folder entry of that name opens for reading and has a style header.
int IsStyleFile(const char* entryName, const char* folder);

// Opens a closed StyleFile: creates (or empties) the style and writes the
// header; opens the style and checks the header.
int OpenStyleForWriting(StyleFile& file, std::string_view name);
int OpenStyleForReading(StyleFile& file, std::string_view name);

// 1 when the style was written whole; a failed save leaves the folder as it
// was, an older style of that name included.
int SaveStyle(std::string_view name, const Settings& settings);
// 1 when the style was read into the settings; on 0 the settings are
// unchanged. The caller drops whatever it cached from the old settings.
int LoadStyle(std::string_view name, Settings& settings);

// Tests put the style folder into a directory of their own instead of beside
// the plug-in file; null goes back to the plug-in's directory.
void setStyleFolderBaseForTesting(const char* directory);
