#include <cstdio>

#include "styles/style_body.h"
#include "styles/style_library.h"
#include "styles/style_path.h"
#include "styles/style_record.h"

namespace {
constexpr const char* kTemporarySuffix = "~new";

// A style that is write-protected, or that someone else holds open, is not
// replaced.
bool mayReplace(const char* path) {
    if (platform::findEntry(path) != platform::EntryKind::File)
        return true;
    if (platform::isWriteProtected(path))
        return false;
    const platform::FileHandle probe = platform::openFileForReading(path);
    if (probe == platform::kNoFile)
        return false;
    platform::closeFile(probe);
    return true;
}
} // namespace

// The style is written beside its file under a temporary name and put in its
// place only once it is complete, so that a save that fails (a full disk, a
// refused write) leaves the style it was to replace as it was.
int SaveStyle(char* name, const PluginState& state) {
    cutStyleName(name);
    char path[platform::kMaxPath], temporary[platform::kMaxPath];
    if (!buildStylePath(name, path) || !mayReplace(path) ||
        std::snprintf(temporary, sizeof temporary, "%s%s", path, kTemporarySuffix) >=
            int(sizeof temporary))
        return 0;
    StyleFile file;
    if (!CreateStyleFileAt(file, temporary))
        return 0;
    const int written = WriteStyleBody(state, file);
    const int closed = CloseStyleFile(file);
    if (written && closed && platform::replaceFile(temporary, path))
        return 1;
    platform::deleteFile(temporary);
    return 0;
}

int LoadStyle(char* name, PluginState& state) {
    StyleFile file;
    if (!OpenStyleForReading(file, name))
        return 0;
    const int read = ReadStyleBody(state, file);
    const int closed = CloseStyleFile(file);
    return read && closed;
}
