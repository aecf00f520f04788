// The tests and the deletion the dialog runs on a style by name.
#include "styles/style_library.h"
#include "styles/style_path.h"

int StyleExists(const char* name) {
    char path[platform::kMaxPath];
    return buildStylePath(name, path) && platform::findEntry(path) != platform::EntryKind::Missing;
}

int IsStyleWriteProtected(char* name) {
    cutStyleName(name);
    char path[platform::kMaxPath];
    return buildStylePath(name, path) && platform::isWriteProtected(path);
}

int DeleteStyle(char* name) {
    cutStyleName(name);
    char path[platform::kMaxPath];
    return buildStylePath(name, path) && platform::deleteFile(path);
}
