// The style controls of the main dialog: the style list, "Enregistrer..." with
// its questions, and "Supprimer".
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/files.h"
#include "platform/win32/module_instance.h"
#include "resources/resource_ids.h"
#include "styles/style_library.h"
#include "ui/main_dialog.h"
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
    rowText(dialog, kControlStyleList, selectedRow(dialog, kControlStyleList), name);
}

// Lists the folder again and selects the named style.
void listAndSelect(MainDialog& dialog, const char* name) {
    FillStyleList(dialog.window, kControlStyleList);
    const int row = findRow(dialog.window, kControlStyleList, name);
    selectRow(dialog.window, kControlStyleList, row);
    dialog.choices.styleIndex = uint16_t(row);
}

// A style's settings in place of the present ones: false, and nothing
// changed, when it cannot be read.
bool loadStyle(MainDialog& dialog, const char* name) {
    if (!LoadStyle(name, dialog.settings))
        return false;
    dialog.preview.everythingChanged();
    return true;
}

// Loads "Par défaut", or the first style listed when that fails, and selects it.
void loadDefaultOrFirstStyle(MainDialog& dialog) {
    char name[platform::kMaxPath];
    std::snprintf(name, sizeof name, "%s", loadString(kStringDefaultStyleName).c_str());
    if (!loadStyle(dialog, name)) {
        rowText(dialog.window, kControlStyleList, 0, name);
        loadStyle(dialog, name);
    }
    const int row = findRow(dialog.window, kControlStyleList, name);
    selectRow(dialog.window, kControlStyleList, row);
    dialog.choices.styleIndex = uint16_t(row);
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
    const bool listed = FillStyleList(dialog.window, kControlStyleList) != 0;
    if (!listed)
        return;
    if (!dialog.session.hadStoredSettings) {
        loadDefaultOrFirstStyle(dialog);
        return;
    }
    if (dialog.choices.styleIndex >= rowCount(dialog.window, kControlStyleList))
        dialog.choices.styleIndex = 0;
    selectRow(dialog.window, kControlStyleList, dialog.choices.styleIndex);
}

void UpdateDeleteButton(HWND dialog) {
    char name[platform::kMaxPath];
    selectedStyleName(dialog, name);
    // Compared in the system's letter case rules, so that accented capitals
    // ("PAR DÉFAUT") match too.
    enableControl(dialog, kControlDeleteStyle,
                  lstrcmpiA(name, loadString(kStringDefaultStyleName).c_str()) != 0);
}

int16_t applyTextureOfSettings(MainDialog& dialog) {
    Settings& settings = dialog.settings;
    if (settings.textureChannel >= rowCount(dialog.window, kControlTextureChannel))
        setTextureChannel(settings, dialog.preview, 0);
    if (settings.textureChannel == 0)
        return 0;
    const int16_t code = dialog.session.gatherTexturePreview();
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    return code;
}

void onStyleChosen(MainDialog& dialog) {
    char name[platform::kMaxPath];
    selectedStyleName(dialog.window, name);
    const int row = findRow(dialog.window, kControlStyleList, name);
    if (row == dialog.choices.styleIndex)
        return;
    if (!loadStyle(dialog, name)) {
        showErrorMessage(kStringLoadErrorTitle, kStringLoadError);
        selectRow(dialog.window, kControlStyleList, dialog.choices.styleIndex);
        return;
    }
    dialog.choices.styleIndex = uint16_t(row);
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
    if (!SaveStyle(name, dialog.settings))
        showErrorMessage(kStringSaveErrorTitle, kStringSaveError);
    listAndSelect(dialog, storedStyleName(name).c_str());
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
    dialog.settings.resetToDefaultStyle();
    dialog.preview.everythingChanged();
    if (FillStyleList(dialog.window, kControlStyleList))
        loadDefaultOrFirstStyle(dialog);
    UpdateDeleteButton(dialog.window);
    if (const int16_t code = applyTextureOfSettings(dialog); code != 0) {
        EndDialog(dialog.window, code);
        return;
    }
    syncAll(dialog);
}
