#include "styles/style_library.h"
#include "styles/style_path.h"
#include "styles/style_record.h"

int OpenStyleForWriting(StyleFile& file, char* name) {
    if (file.isOpen())
        return 0;
    cutStyleName(name);
    char path[platform::kMaxPath];
    return buildStylePath(name, path) && CreateStyleFileAt(file, path);
}

int OpenStyleForReading(StyleFile& file, char* name) {
    if (file.isOpen())
        return 0;
    cutStyleName(name);
    char path[platform::kMaxPath];
    return buildStylePath(name, path) && OpenStyleFileAt(file, path);
}
