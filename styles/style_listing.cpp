#include <cstring>

#include "styles/style_library.h"
#include "styles/style_path.h"
#include "styles/style_record.h"

int IsStyleFile(const char* entryName, const char* folder) {
    char path[platform::kMaxPath];
    StyleFile file;
    return joinPath(folder, entryName, path) && OpenStyleFileAt(file, path) && CloseStyleFile(file);
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
