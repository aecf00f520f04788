#include "styles/style_body.h"
#include "styles/style_library.h"

int SaveStyle(char* name, const PluginState& state) {
    StyleFile file;
    if (!OpenStyleForWriting(file, name))
        return 0;
    const int written = WriteStyleBody(state, file);
    const int closed = CloseStyleFile(file);
    return written && closed;
}

int LoadStyle(char* name, PluginState& state) {
    StyleFile file;
    if (!OpenStyleForReading(file, name))
        return 0;
    const int read = ReadStyleBody(state, file);
    const int closed = CloseStyleFile(file);
    return read && closed;
}
