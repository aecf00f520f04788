// The main dialog's controls and the settings they show: the seven sliders,
// the light and material controls, and the rules that enable them.
#include <initializer_list>

#include "platform/files.h"
#include "shell/plugin_api.h"
#include "shell/plugin_state.h"
#include "ui/main_dialog.h"
#include "ui/module_instance.h"
#include "ui/resource_ids.h"
#include "ui/slider_control.h"

namespace {
// Intensity and ambience are stored as the slider position less this.
constexpr int16_t kSignedSettingOffset = 127;
constexpr SliderRange kSettingsRange{0, 256};
constexpr int16_t kSliderLabelWidth = 50;

// A settings slider: its end labels, how it shows its value, and the setting
// it reads and writes as a slider position.
struct SettingSlider {
    int id;
    int leftTextId, rightTextId;
    bool percent;
    int16_t (*position)(const MainDialog& dialog);
    void (*store)(MainDialog& dialog, int16_t position);
};

// In the order the sliders are made.
const SettingSlider kSettingSliders[] = {
    {kControlRelief, 7, 8, true, [](const MainDialog& d) { return d.state.reliefAmount; },
     [](MainDialog& d, int16_t p) { d.state.setReliefAmount(p); }},
    {kControlGloss, 9, 10, false, [](const MainDialog& d) { return d.state.gloss; },
     [](MainDialog& d, int16_t p) { d.state.gloss = p; }},
    {kControlMaterial, 11, 12, false, [](const MainDialog& d) { return d.state.material; },
     [](MainDialog& d, int16_t p) { d.state.material = p; }},
    {kControlExposure, 13, 14, false, [](const MainDialog& d) { return d.state.exposure; },
     [](MainDialog& d, int16_t p) { d.state.exposure = p; }},
    {kControlAmbience, 15, 16, false,
     [](const MainDialog& d) { return int16_t(d.state.ambience + kSignedSettingOffset); },
     [](MainDialog& d, int16_t p) { d.state.ambience = int16_t(p - kSignedSettingOffset); }},
    {kControlIntensity, 17, 18, false,
     [](const MainDialog& d) {
         return int16_t(d.selectedLight().intensity + kSignedSettingOffset);
     },
     [](MainDialog& d, int16_t p) {
         d.selectedLight().intensity = int16_t(p - kSignedSettingOffset);
         d.selectedLight().invalidate();
     }},
    {kControlCone, 19, 20, false, [](const MainDialog& d) { return d.selectedLight().focus; },
     [](MainDialog& d, int16_t p) {
         d.selectedLight().focus = p;
         d.selectedLight().invalidate();
     }},
};

const SettingSlider* sliderOf(int id) {
    for (const SettingSlider& slider : kSettingSliders)
        if (slider.id == id)
            return &slider;
    return nullptr;
}

void showSetting(MainDialog& dialog, int id) {
    setSliderValue(GetDlgItem(dialog.window, id), sliderOf(id)->position(dialog));
}

void loadText(int id, char (&text)[kSliderTextCapacity]) {
    text[0] = '\0';
    LoadStringA(moduleInstance(), UINT(id), text, sizeof text);
}

// Combo rows of the type list, in order: directional, omni, spot.
constexpr uint32_t kTypeOfRow[] = {Directional, Omni, Spot};
} // namespace

void setChecked(HWND dialog, int id, bool checked) {
    SendDlgItemMessageA(dialog, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool isChecked(HWND dialog, int id) {
    return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void enableControl(HWND dialog, int id, bool enabled) {
    EnableWindow(GetDlgItem(dialog, id), enabled);
}

int selectedRow(HWND dialog, int comboId) {
    return int(SendDlgItemMessageA(dialog, comboId, CB_GETCURSEL, 0, 0));
}

int rowCount(HWND dialog, int comboId) {
    return int(SendDlgItemMessageA(dialog, comboId, CB_GETCOUNT, 0, 0));
}

void rowText(HWND dialog, int comboId, int row, char* text) {
    text[0] = '\0';
    const LRESULT length = SendDlgItemMessageA(dialog, comboId, CB_GETLBTEXTLEN, WPARAM(row), 0);
    if (row < 0 || length == CB_ERR || length >= platform::kMaxPath)
        return;
    SendDlgItemMessageA(dialog, comboId, CB_GETLBTEXT, WPARAM(row), reinterpret_cast<LPARAM>(text));
}

int findRow(HWND dialog, int comboId, const char* text) {
    return int(SendDlgItemMessageA(dialog, comboId, CB_FINDSTRINGEXACT, WPARAM(-1),
                                   reinterpret_cast<LPARAM>(text)));
}

void selectRow(HWND dialog, int comboId, int row) {
    SendDlgItemMessageA(dialog, comboId, CB_SETCURSEL, WPARAM(row), 0);
}

uint32_t lightTypeOfRow(int row) {
    return row >= 0 && row < 3 ? kTypeOfRow[row] : Omni;
}

void createSettingSliders(MainDialog& dialog) {
    for (const SettingSlider& slider : kSettingSliders) {
        const HWND window = GetDlgItem(dialog.window, slider.id);
        void* memory = NewPtr(sizeof(SliderRecord));
        if (!window || !memory)
            continue; // that slider stays inert
        char label[kSliderTextCapacity] = "", left[kSliderTextCapacity], right[kSliderTextCapacity];
        GetWindowTextA(window, label, sizeof label);
        loadText(slider.leftTextId, left);
        loadText(slider.rightTextId, right);
        CreateSlider(memory, window,
                     {label, left, right, kSettingsRange.minimum, kSettingsRange.maximum,
                      slider.position(dialog), kSliderLabelWidth, dialog.font, slider.percent});
    }
}

bool storeSliderValue(MainDialog& dialog, int controlId) {
    const SettingSlider* slider = sliderOf(controlId);
    if (!slider)
        return false;
    slider->store(dialog, sliderValue(GetDlgItem(dialog.window, controlId)));
    return true;
}

void enableLightControls(MainDialog& dialog) {
    const LightSource& light = dialog.selectedLight();
    const bool on = light.enabled == 1;
    for (int id : {kControlIntensity, kControlLightColour, kControlTypeCombo, kControlTypeLabel})
        enableControl(dialog.window, id, on);
    enableControl(dialog.window, kControlCone, on && light.type == Spot);
}

void SyncLightControls(MainDialog& dialog) {
    FillingControls filling(dialog);
    const LightSource& light = dialog.selectedLight();
    enableLightControls(dialog);
    setChecked(dialog.window, kControlLightOn, light.enabled == 1);
    showSetting(dialog, kControlIntensity);
    showSetting(dialog, kControlCone);
    for (int row = 0; row < 3; ++row)
        if (kTypeOfRow[row] == light.type)
            selectRow(dialog.window, kControlTypeCombo, row);
    for (int id : {kControlLightColour, kControlIntensity, kControlCone})
        RedrawControl(dialog.window, id);
}

void SyncMaterialControls(MainDialog& dialog) {
    FillingControls filling(dialog);
    const PluginState& state = dialog.state;
    for (int id :
         {kControlMaterial, kControlGloss, kControlExposure, kControlAmbience, kControlRelief})
        showSetting(dialog, id);
    setChecked(dialog.window, kControlWhiteIsHigh, state.whiteIsHigh == 1);
    setChecked(dialog.window, kControlPreviewOn, state.previewOn == 1);
    selectRow(dialog.window, kControlTextureCombo, state.textureChannel);
    enableControl(dialog.window, kControlWhiteIsHigh, state.textureChannel != 0);
    enableControl(dialog.window, kControlRelief, state.textureChannel != 0);
    for (int id : {kControlAmbientColour, kControlMaterial, kControlGloss, kControlExposure,
                   kControlAmbience, kControlRelief})
        RedrawControl(dialog.window, id);
}
