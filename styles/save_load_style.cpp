#include "styles/style_body.h"
#include "styles/style_library.h"

int SaveStyle(char* name, const Settings& settings) {
    StyleFile file;
    if (!OpenStyleForWriting(file, name))
        return 0;
    const int written = WriteStyleBody(settings, file);
    const int closed = CloseStyleFile(file);
    return written && closed;
}

int LoadStyle(char* name, Settings& settings) {
    StyleFile file;
    if (!OpenStyleForReading(file, name))
        return 0;
    const int read = ReadStyleBody(settings, file);
    const int closed = CloseStyleFile(file);
    return read && closed;
}
