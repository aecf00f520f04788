// The style folder beside the plug-in and the styles in it.
#include "styles/style_library.h"

#include <cctype>
#include <cstring>
#include <optional>
#include <string>

#include "platform/files.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "styles/style_body.h"
#include "styles/style_record.h"

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

namespace {
constexpr size_t kLongestWholeName = 31;
constexpr size_t kCutNameLength = 30;

// Names Windows gives to devices, with or without an extension.
constexpr const char* kDeviceNames[] = {"CON",  "PRN",  "AUX",  "NUL",  "COM1",   "COM2",
                                        "COM3", "COM4", "COM5", "COM6", "COM7",   "COM8",
                                        "COM9", "LPT1", "LPT2", "LPT3", "LPT4",   "LPT5",
                                        "LPT6", "LPT7", "LPT8", "LPT9", "CONIN$", "CONOUT$"};

bool isDeviceName(const char* name) {
    // The device is named by what stands before the first dot, spaces trimmed.
    size_t length = std::strcspn(name, ".");
    while (length > 0 && name[length - 1] == ' ')
        --length;
    for (const char* device : kDeviceNames) {
        if (std::strlen(device) != length)
            continue;
        size_t i = 0;
        while (i < length && std::toupper(uint8_t(name[i])) == device[i])
            ++i;
        if (i == length)
            return true;
    }
    return false;
}

bool hasReservedCharacter(const char* name) {
    for (const char* c = name; *c != '\0'; ++c)
        if (uint8_t(*c) < 0x20 || std::strchr("<>:\"/\\|?*", *c))
            return true;
    return false;
}
} // namespace

std::string storedStyleName(std::string_view name) {
    const std::string whole(name);
    if (whole[platform::bytesOfFirstCharacters(whole.c_str(), kLongestWholeName)] == '\0')
        return whole;
    return whole.substr(0, platform::bytesOfFirstCharacters(whole.c_str(), kCutNameLength));
}

bool isUsableStyleName(const char* name) {
    const size_t length = std::strlen(name);
    // Windows drops a trailing dot or space, so such a name would not be the
    // file's name; "." and ".." are the folder itself and its parent.
    return length > 0 && !hasReservedCharacter(name) && !std::strstr(name, "..") &&
           name[length - 1] != '.' && name[length - 1] != ' ' && !isDeviceName(name);
}

int joinPath(const char* folder, const char* name, char* path) {
    const size_t folderLength = std::strlen(folder);
    const size_t nameLength = std::strlen(name);
    if (folderLength + nameLength >= platform::kMaxPath)
        return 0;
    std::memcpy(path, folder, folderLength);
    std::memcpy(path + folderLength, name, nameLength + 1);
    return 1;
}

namespace {
// The style folder followed by a usable name; 0 when the folder cannot be
// had, the name is refused (a name holding a zero byte among them) or the path
// does not fit.
int buildStylePath(const std::string& name, char* path) {
    char folder[platform::kMaxPath];
    return name.find('\0') == std::string::npos && isUsableStyleName(name.c_str()) &&
           GetStyleFolder(folder) && joinPath(folder, name.c_str(), path);
}
} // namespace

int StyleExists(std::string_view name) {
    char path[platform::kMaxPath];
    return buildStylePath(std::string(name), path) &&
           platform::findEntry(path) != platform::EntryKind::Missing;
}

int IsStyleWriteProtected(std::string_view name) {
    char path[platform::kMaxPath];
    return buildStylePath(storedStyleName(name), path) && platform::isWriteProtected(path);
}

int DeleteStyle(std::string_view name) {
    char path[platform::kMaxPath];
    return buildStylePath(storedStyleName(name), path) && platform::deleteFile(path);
}

int IsStyleFile(const char* entryName, const char* folder) {
    // Only a style that loads under the listed name is listed: a name that the
    // name rule would cut or refuse would load another file or none, and a
    // file too short to hold a whole style would be refused on loading.
    char path[platform::kMaxPath];
    StyleFile file;
    StyleRecord record;
    return storedStyleName(entryName) == entryName && isUsableStyleName(entryName) &&
           joinPath(folder, entryName, path) && openStyleFileAt(file, path) &&
           readStyleRecord(file, record) && CloseStyleFile(file);
}

std::optional<std::string> GetStyleName(int16_t index) {
    char folder[platform::kMaxPath];
    if (index < 0 || !GetStyleFolder(folder))
        return std::nullopt;
    platform::FolderListing listing(folder);
    int16_t stylesSeen = 0;
    while (const char* entry = listing.next())
        if (IsStyleFile(entry, folder) && stylesSeen++ == index)
            return std::string(entry);
    return std::nullopt;
}

int OpenStyleForWriting(StyleFile& file, std::string_view name) {
    char path[platform::kMaxPath];
    return !file.isOpen() && buildStylePath(storedStyleName(name), path) &&
           createStyleFileAt(file, path);
}

int OpenStyleForReading(StyleFile& file, std::string_view name) {
    char path[platform::kMaxPath];
    return !file.isOpen() && buildStylePath(storedStyleName(name), path) &&
           openStyleFileAt(file, path);
}

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
int SaveStyle(std::string_view name, const Settings& settings) {
    char path[platform::kMaxPath];
    if (!buildStylePath(storedStyleName(name), path) || !mayReplace(path))
        return 0;
    const std::string temporary = std::string(path) + kTemporarySuffix;
    StyleFile file;
    if (temporary.size() >= platform::kMaxPath || !createStyleFileAt(file, temporary.c_str()))
        return 0;
    const int written = WriteStyleBody(settings, file);
    const int closed = CloseStyleFile(file);
    if (written && closed && platform::replaceFile(temporary.c_str(), path))
        return 1;
    platform::deleteFile(temporary.c_str());
    return 0;
}

int LoadStyle(std::string_view name, Settings& settings) {
    StyleFile file;
    if (!OpenStyleForReading(file, name))
        return 0;
    const int read = ReadStyleBody(settings, file);
    const int closed = CloseStyleFile(file);
    return read && closed;
}
