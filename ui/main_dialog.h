#pragma once
#include <windows.h>

#include <cstdint>

#include "protocol/host_record.h"
#include "settings/settings.h"
#include "ui/preview.h"
#include "ui/ui_services.h"

// The main dialog's own state, made when the dialog initialises and freed when
// it is destroyed; its children reach it through the dialog's user data.
struct MainDialog {
    MainDialog(HWND window, DialogSession& session)
        : window(window), session(session), host(session.host), settings(session.settings),
          preview(session.preview), choices(session.choices) {}

    HWND window;
    DialogSession& session;
    HostRecord& host;
    Settings& settings;
    Preview& preview;
    DialogChoices& choices;
    HFONT font = nullptr;
    HICON icons[4] = {};
    // Set while the dialog itself fills its controls, so that no control's
    // answer is taken for the user's edit.
    int fillingControls = 0;

    LightSource& selectedLight() const { return settings.lights[settings.currentLight]; }
    // After any change of the selected light: its caches and the sums go stale.
    void selectedLightChanged() const { preview.lightChanged(settings.currentLight); }
};

// The dialog's state from the dialog or from one of its controls.
MainDialog* mainDialogOf(HWND dialogOrChild);

// Repaints a control at once, without erasing it first.
void RedrawControl(HWND dialog, int controlId);
// Renders the preview again (or shows the image unlit with the preview off)
// and repaints the work area.
void RefreshPreview(MainDialog& dialog);

// Counts as the dialog filling its own controls while it lives.
class FillingControls {
  public:
    explicit FillingControls(MainDialog& dialog) : dialog(dialog) { ++dialog.fillingControls; }
    ~FillingControls() { --dialog.fillingControls; }
    FillingControls(const FillingControls&) = delete;
    FillingControls& operator=(const FillingControls&) = delete;

  private:
    MainDialog& dialog;
};

// Controls (main_dialog_controls.cpp).
void setChecked(HWND dialog, int id, bool checked);
bool isChecked(HWND dialog, int id);
void enableControl(HWND dialog, int id, bool enabled);
int selectedRow(HWND dialog, int comboId);
int rowCount(HWND dialog, int comboId);
// The text of a combo row in a buffer of kMaxPath characters, empty when none.
void rowText(HWND dialog, int comboId, int row, char* text);
int findRow(HWND dialog, int comboId, const char* text);
void selectRow(HWND dialog, int comboId, int row);

void createSettingSliders(MainDialog& dialog);
// True when the control is one of the settings sliders; the value is then stored.
bool storeSliderValue(MainDialog& dialog, int controlId);
void SyncLightControls(MainDialog& dialog);
void SyncMaterialControls(MainDialog& dialog);
// The enabling rules of the light controls for the selected light.
void enableLightControls(MainDialog& dialog);

// Styles (style_panel.cpp).
void chooseInitialStyle(MainDialog& dialog);
void UpdateDeleteButton(HWND dialog);
void onStyleChosen(MainDialog& dialog);
void onSaveStyle(MainDialog& dialog);
void onDeleteStyle(MainDialog& dialog);
// Checks the stored texture channel against the texture list and gathers its
// texture: 0, or the error that ends the dialog.
int16_t applyTextureOfSettings(MainDialog& dialog);
