#pragma once
#include <cstdint>

#include "protocol/host_record.h"
#include "settings/settings.h"
#include "ui/preview.h"
#include "ui/ui_services.h"

struct ThreadSet;

// Where the operation stands between the host's calls.
struct RunState {
    HostRecord* host = nullptr;
    ThreadSet* threads = nullptr;

    bool showDialog = false;        // this operation shows the dialog
    bool previewImageReady = false; // the preview tiles are all collected
    bool settingsValid = false;     // the settings went through one operation
    // The last render lit the lights from their percent geometry (a script
    // without the dialog), not from their preview pixels.
    bool litFromPercent = false;

    uint16_t tileSize = 64;
    uint16_t tileCount = 0;
    uint16_t tilesDone = 0;
    bool textureTilePending = false; // the texture of the current tile is in, its colour not
};

// The plug-in's own object, kept in the host's data slot between calls: the
// settings, the preview the dialog shows, what the user chose in the dialog,
// and the run.
struct PluginState {
    Settings settings;
    Preview preview;
    DialogChoices dialogChoices;
    RunState run;
};
