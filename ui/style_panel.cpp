// The style controls of the main dialog: the style list, "Enregistrer..." with
// its questions, and "Supprimer".
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/files.h"
#include "shell/plugin_state.h"
#include "styles/style_library.h"
#include "ui/main_dialog.h"
#include "ui/module_instance.h"
#include "ui/resource_ids.h"
#include "ui/style_list.h"
#include "ui/style_name_dialog.h"
#include "ui/ui_services.h"

namespace {
std::string loadString(int id) {
    char text[256] = "";
    LoadStringA(moduleInstance(), UINT(id), text, sizeof text);
    return text;
}

// A warning or question owned by the dialog; the button the user pressed.
int askOrWarn(HWND dialog, int titleId, const std::string& text, UINT buttons) {
    return MessageBoxA(dialog, text.c_str(), loadString(titleId).c_str(),
                       buttons | MB_ICONEXCLAMATION);
}

bool askYesNo(HWND dialog, int titleId, const std::string& text) {
    return askOrWarn(dialog, titleId, text, MB_YESNO | MB_DEFBUTTON2) == IDYES;
}

void selectedStyleName(HWND dialog, char* name) {
    rowText(dialog, kControlStyleCombo, selectedRow(dialog, kControlStyleCombo), name);
}

// Lists the folder again and selects the named style.
void listAndSelect(MainDialog& dialog, const char* name) {
    FillStyleList(dialog.window, kControlStyleCombo);
    const int row = findRow(dialog.window, kControlStyleCombo, name);
    selectRow(dialog.window, kControlStyleCombo, row);
    dialog.state.styleIndex = uint16_t(row);
}

// Loads "Par défaut", or the first style listed when that fails, and selects it.
void loadDefaultOrFirstStyle(MainDialog& dialog) {
    char name[platform::kMaxPath];
    std::snprintf(name, sizeof name, "%s", loadString(kStringDefaultStyle).c_str());
    if (!LoadStyle(name, dialog.state)) {
        rowText(dialog.window, kControlStyleCombo, 0, name);
        LoadStyle(name, dialog.state);
    }
    const int row = findRow(dialog.window, kControlStyleCombo, name);
    selectRow(dialog.window, kControlStyleCombo, row);
    dialog.state.styleIndex = uint16_t(row);
}

void syncAll(MainDialog& dialog) {
    SyncMaterialControls(dialog);
    SyncLightControls(dialog);
    RefreshPreview(dialog);
}

// Asks for the name until it is new, or the user agrees to replace the style
// of that name: false when the user gave up or the style is write-protected.
bool askNameToSaveUnder(MainDialog& dialog, char (&name)[kStyleNameCapacity]) {
    for (;;) {
        if (!AskStyleName(dialog.window, name))
            return false;
        if (!StyleExists(name))
            return true;
        if (IsStyleWriteProtected(name)) {
            askOrWarn(dialog.window, kStringSaveProtectedTitle,
                      loadString(kStringSaveProtected) + name + loadString(kStringSaveProtectedEnd),
                      MB_OK);
            return false;
        }
        if (askYesNo(dialog.window, kStringSaveTitle, name + loadString(kStringReplaceQuestion)))
            return true;
    }
}
} // namespace

void chooseInitialStyle(MainDialog& dialog) {
    const bool listed = FillStyleList(dialog.window, kControlStyleCombo) != 0;
    if (!listed)
        return;
    if (!dialog.hadStoredSettings) {
        loadDefaultOrFirstStyle(dialog);
        return;
    }
    if (dialog.state.styleIndex >= rowCount(dialog.window, kControlStyleCombo))
        dialog.state.styleIndex = 0;
    selectRow(dialog.window, kControlStyleCombo, dialog.state.styleIndex);
}

void UpdateDeleteButton(HWND dialog) {
    char name[platform::kMaxPath];
    selectedStyleName(dialog, name);
    // Compared in the system's letter case rules, so that accented capitals
    // ("PAR DÉFAUT") match too.
    enableControl(dialog, kControlDelete,
                  lstrcmpiA(name, loadString(kStringDefaultStyle).c_str()) != 0);
}

int16_t applyTextureOfSettings(MainDialog& dialog) {
    PluginState& state = dialog.state;
    if (state.textureChannel >= rowCount(dialog.window, kControlTextureCombo))
        state.setTextureChannel(0);
    if (state.textureChannel == 0)
        return 0;
    const int16_t code = dialog.preview.gatherTexture(dialog.host, state);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    return code;
}

void onStyleChosen(MainDialog& dialog) {
    char name[platform::kMaxPath];
    selectedStyleName(dialog.window, name);
    const int row = findRow(dialog.window, kControlStyleCombo, name);
    if (row == dialog.state.styleIndex)
        return;
    if (!LoadStyle(name, dialog.state)) {
        showErrorMessage(kStringLoadErrorTitle, kStringLoadError);
        selectRow(dialog.window, kControlStyleCombo, dialog.state.styleIndex);
        return;
    }
    dialog.state.styleIndex = uint16_t(row);
    UpdateDeleteButton(dialog.window);
    if (const int16_t code = applyTextureOfSettings(dialog); code != 0) {
        EndDialog(dialog.window, code);
        return;
    }
    syncAll(dialog);
}

void onSaveStyle(MainDialog& dialog) {
    char name[kStyleNameCapacity];
    selectedStyleName(dialog.window, name);
    if (!askNameToSaveUnder(dialog, name))
        return;
    // The style file is replaced whole: an existing style of that name stays
    // as it was until the new one is complete.
    if (!SaveStyle(name, dialog.state))
        showErrorMessage(kStringSaveErrorTitle, kStringSaveError);
    listAndSelect(dialog, name);
    UpdateDeleteButton(dialog.window);
}

void onDeleteStyle(MainDialog& dialog) {
    char name[platform::kMaxPath];
    selectedStyleName(dialog.window, name);
    if (IsStyleWriteProtected(name)) {
        askOrWarn(dialog.window, kStringDeleteProtectedTitle,
                  loadString(kStringDeleteProtected) + name + loadString(kStringDeleteProtectedEnd),
                  MB_OK);
        return;
    }
    if (!askYesNo(dialog.window, kStringDeleteTitle, loadString(kStringDeleteQuestion) + name))
        return;
    DeleteStyle(name);
    dialog.state.resetToDefaultStyle();
    if (FillStyleList(dialog.window, kControlStyleCombo))
        loadDefaultOrFirstStyle(dialog);
    UpdateDeleteButton(dialog.window);
    if (const int16_t code = applyTextureOfSettings(dialog); code != 0) {
        EndDialog(dialog.window, code);
        return;
    }
    syncAll(dialog);
}
