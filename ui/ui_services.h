#pragma once
#include <cstdint>

struct HostRecord;
struct PluginState;

// What the plug-in shell asks of the user interface. The Win32 module shows real
// windows; the native build has no windows and answers without them.

// Shows the about box owned by the host window; always 0.
int16_t showAboutBox(void* ownerWindow);

// The modal error message (stop icon) and warning message (exclamation icon)
// with title and text from the string table.
void showErrorMessage(int titleId, int textId);
void showWarningMessage(int titleId, int textId);

// The dialog's custom window classes (the layout pass needs them).
void registerWindowClasses();
void unregisterWindowClasses();

// Measures the preview in a hidden showing of the main dialog and allocates the
// preview images: 0 or -108.
int16_t runLayoutPass(HostRecord& host, PluginState& state);

// What the main dialog asks of the run for its live preview.
struct PreviewServices {
    // Lights the preview into the result image: 0, or -108.
    int16_t (*render)(PluginState& state);
    // Puts the preview's source pixels unlit into the result image.
    void (*showUnlit)(PluginState& state);
    // Fills the preview's texture image from the state's texture channel: 0
    // or the host's error.
    int16_t (*gatherTexture)(HostRecord& host, PluginState& state);
};

// Runs the main dialog: 0 when confirmed, 1 when cancelled, or an error code.
int16_t runMainDialog(HostRecord& host, PluginState& state, const PreviewServices& preview);
