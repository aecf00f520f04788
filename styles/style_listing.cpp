#include <cstring>

#include "styles/style_library.h"
#include "styles/style_path.h"
#include "styles/style_record.h"

int IsStyleFile(const char* entryName, const char* folder) {
    // Only a style that loads under the listed name is listed: a name that the
    // name rule would cut or refuse would load another file or none, and a
    // file too short to hold a whole style would be refused on loading.
    char name[platform::kMaxPath];
    if (!joinPath("", entryName, name))
        return 0;
    cutStyleName(name);
    char path[platform::kMaxPath];
    StyleFile file;
    StyleRecord record;
    return std::strcmp(name, entryName) == 0 && isUsableStyleName(name) &&
           joinPath(folder, entryName, path) && OpenStyleFileAt(file, path) &&
           ReadStyleRecord(file, record) && CloseStyleFile(file);
}

int GetStyleName(int16_t index, char* name) {
    char folder[platform::kMaxPath];
    if (index < 0 || !GetStyleFolder(folder))
        return 0;
    platform::FolderListing listing(folder);
    int16_t stylesSeen = 0;
    while (const char* entry = listing.next()) {
        if (!IsStyleFile(entry, folder))
            continue;
        if (stylesSeen++ == index) {
            std::strcpy(name, entry);
            return 1;
        }
    }
    return 0;
}
