#pragma once
#include <cstdint>

#include "platform/files.h"
#include "shell/plugin_state.h"
#include "styles/style_file.h"

// The style folder "Lighting Styles" beside the plug-in file and the styles in
// it, one file per style named after the style. Every operation gives 1 or 0;
// the dialog shows the messages.
//
// Names are in the system's code page. Before saving, loading, deleting or the
// write-protection test, a name longer than 31 characters is cut to its first
// 30 in the caller's buffer. Names that could leave the folder or that the file
// system reserves (path separators, "..", drive prefixes, <>:"|?*, control
// characters, a trailing dot or space, device names such as CON) are refused.

// The folder path, ending with the path separator, in a buffer of
// platform::kMaxPath characters; the folder is created when missing.
int GetStyleFolder(char* folder);

// 1 when the folder has an entry of exactly that name (no cutting).
int StyleExists(const char* name);
int IsStyleWriteProtected(char* name);
int DeleteStyle(char* name);

// The name of the index-th style of the folder, counting only style files, in
// the order the folder is listed; a buffer of platform::kMaxPath characters.
// 0 leaves the buffer untouched.
int GetStyleName(int16_t index, char* name);
// 1 when the folder entry of that name opens for reading and has a style header.
int IsStyleFile(const char* entryName, const char* folder);

// Opens a closed StyleFile: creates (or empties) the style and writes the
// header; opens the style and checks the header.
int OpenStyleForWriting(StyleFile& file, char* name);
int OpenStyleForReading(StyleFile& file, char* name);

// 1 when the style was written whole; a failed save leaves the folder as it
// was, an older style of that name included.
int SaveStyle(char* name, const PluginState& state);
// 1 when the style was read into the state; on 0 the state is unchanged.
int LoadStyle(char* name, PluginState& state);

// Tests put the style folder into a directory of their own instead of beside
// the plug-in file; null goes back to the plug-in's directory.
void setStyleFolderBaseForTesting(const char* directory);
