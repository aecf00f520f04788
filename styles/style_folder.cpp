#include <cstring>

#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "styles/style_library.h"

namespace {
constexpr size_t kMaxFolderLength = 227; // plug-in directory plus folder name

char testingBase[platform::kMaxPath] = {};

// The directory that holds the plug-in file, without a trailing separator.
bool pluginDirectory(char* directory) {
    if (testingBase[0] != '\0') {
        std::strcpy(directory, testingBase);
        return true;
    }
    if (!platform::pluginFilePath(directory, platform::kMaxPath))
        return false;
    char* lastSeparator = std::strrchr(directory, platform::kPathSeparator);
    if (!lastSeparator)
        return false;
    *lastSeparator = '\0';
    return true;
}

bool findOrCreateFolder(const char* path) {
    return platform::findEntry(path) == platform::EntryKind::Folder || platform::createFolder(path);
}
} // namespace

void setStyleFolderBaseForTesting(const char* directory) {
    testingBase[0] = '\0';
    if (directory)
        std::strncat(testingBase, directory, platform::kMaxPath - 1);
}

int GetStyleFolder(char* folder) {
    char path[platform::kMaxPath];
    const char* folderName = stringTableText(kStringStyleFolderName);
    if (!pluginDirectory(path) || !folderName)
        return 0;
    size_t length = std::strlen(path);
    const size_t nameLength = std::strlen(folderName);
    if (length + nameLength > kMaxFolderLength)
        return 0;
    path[length++] = platform::kPathSeparator;
    std::memcpy(path + length, folderName, nameLength + 1);
    if (!findOrCreateFolder(path))
        return 0;
    length += nameLength;
    path[length++] = platform::kPathSeparator;
    path[length] = '\0';
    std::memcpy(folder, path, length + 1);
    return 1;
}
