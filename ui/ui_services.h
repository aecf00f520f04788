#pragma once
#include <cstdint>
#include <functional>

struct HostRecord;
struct Preview;
struct Settings;

// What the plug-in shell asks of the user interface. The Win32 module shows real
// windows; the native build has no windows and answers without them.

// Shows the about box owned by the host window; always 0.
int16_t showAboutBox(void* ownerWindow);

// The modal error message (stop icon) and warning message (exclamation icon)
// with title and text from the string table.
void showErrorMessage(int titleId, int textId);
void showWarningMessage(int titleId, int textId);

// The dialog's custom window classes.
void registerWindowClasses();
void unregisterWindowClasses();

// Lays the preview out for the host's area in the main dialog's reference
// layout (referenceLayoutMeasure: the same on every screen), sets the
// preview's geometry and the settings' frame, and allocates the preview
// images: result::ok or result::outOfMemory.
int16_t runLayoutPass(HostRecord& host, Settings& settings, Preview& preview);

// What the user chose in the main dialog that is no setting. The shell keeps
// it between runs, so that the dialog opens again as it was left.
struct DialogChoices {
    bool previewOn = true;   // the preview switch: off shows the image unlit
    uint16_t styleIndex = 0; // the style list's row chosen last
};

// What the main dialog works with: the host (its services and the image),
// the settings it edits, the preview it shows, the user's choices, and what
// the shell does for the preview.
struct DialogSession {
    HostRecord& host;
    Settings& settings;
    Preview& preview;
    DialogChoices& choices;
    // False on the first use of the plug-in, when no settings were kept.
    bool hadStoredSettings;
    // Lights the preview from the settings: result::ok or result::outOfMemory.
    std::function<int16_t()> renderPreview;
    // Shows the preview's image unlit (the preview switched off).
    std::function<void()> showUnlitPreview;
    // Fills the preview's texture from the settings' texture channel: 0, or
    // the host's error.
    std::function<int16_t()> gatherTexturePreview;
};

// Runs the main dialog: 0 when confirmed, 1 when cancelled, or an error code.
int16_t runMainDialog(DialogSession& session);
