#include "styles/style_path.h"

#include <cctype>
#include <cstring>

#include "platform/files.h"
#include "styles/style_library.h"

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

void cutStyleName(char* name) {
    if (name[platform::bytesOfFirstCharacters(name, kLongestWholeName)] != '\0')
        name[platform::bytesOfFirstCharacters(name, kCutNameLength)] = '\0';
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

int buildStylePath(const char* name, char* path) {
    char folder[platform::kMaxPath];
    return isUsableStyleName(name) && GetStyleFolder(folder) && joinPath(folder, name, path);
}
