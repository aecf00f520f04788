// The main dialog's controls and the settings they show: the seven sliders,
// the light and material controls, and the rules that enable them.
#include <algorithm>
#include <cstring>
#include <initializer_list>

#include "platform/files.h"
#include "platform/win32/gdi.h"
#include "platform/win32/module_instance.h"
#include "resources/resource_ids.h"
#include "settings/parameter_table.h"
#include "ui/light_well.h"
#include "ui/main_dialog.h"
#include "ui/slider_control.h"

namespace {
// The sliders' label column at 96 DPI, where the widest label ("Ambiance :",
// 54 pixels) ends just where the tracks start, four pixels further.
constexpr int kSliderLabelWidth = 50;
constexpr int kTrackGap = 4; // between the label column and the track

// A settings slider: the setting it shows (its range, offset and how it shows
// its value come from the settings table) and its end labels.
struct SettingSlider {
    int id;
    Parameter parameter;
    int endsTextId; // the left end's label; the right end's follows

    const ParameterEntry& entry() const { return ::parameter(parameter); }
};

// In the order the sliders are made.
constexpr SettingSlider kSettingSliders[] = {
    {kControlRelief, Parameter::Relief, kStringReliefEnds},
    {kControlGloss, Parameter::Gloss, kStringGlossEnds},
    {kControlMaterial, Parameter::Material, kStringMaterialEnds},
    {kControlExposure, Parameter::Exposure, kStringExposureEnds},
    {kControlAmbience, Parameter::Ambience, kStringAmbienceEnds},
    {kControlIntensity, Parameter::Intensity, kStringIntensityEnds},
    {kControlFocus, Parameter::Focus, kStringFocusEnds},
};

const SettingSlider* sliderOf(int id) {
    for (const SettingSlider& slider : kSettingSliders)
        if (slider.id == id)
            return &slider;
    return nullptr;
}

// The slider position of a setting: of the material, or of the selected light.
int16_t sliderPosition(const MainDialog& dialog, const ParameterEntry& entry) {
    const int16_t stored =
        entry.setting ? dialog.settings.*entry.setting : dialog.selectedLight().*entry.lightSetting;
    return int16_t(entry.sliderFromStored(stored));
}

void storeSliderPosition(MainDialog& dialog, const ParameterEntry& entry, int16_t position) {
    const int16_t stored = entry.storedFromSlider(position);
    if (entry.lightSetting) {
        dialog.selectedLight().*entry.lightSetting = stored;
        dialog.selectedLightChanged();
    } else if (entry.setting == &Settings::reliefAmount) {
        setReliefAmount(dialog.settings, dialog.preview, stored);
    } else {
        dialog.settings.*entry.setting = stored;
    }
}

// Shows the sliders of the material settings (perLight false) or of the
// selected light's, and redraws them as they are now enabled.
void showSliders(MainDialog& dialog, bool perLight) {
    for (const SettingSlider& slider : kSettingSliders) {
        if (slider.entry().perLight() != perLight)
            continue;
        setSliderValue(GetDlgItem(dialog.window, slider.id),
                       sliderPosition(dialog, slider.entry()));
        RedrawControl(dialog.window, slider.id);
    }
}

// One label column for every slider, so that their tracks line up: in any
// font the widest label ends where the tracks start, as at 96 DPI, and the
// column is never narrower than there.
int16_t sliderLabelWidth(const MainDialog& dialog) {
    const WindowDC dc(dialog.window);
    const SelectedObject font(dc.get(), dialog.font);
    int widest = 0;
    for (const SettingSlider& slider : kSettingSliders) {
        char label[kSliderTextCapacity] = "";
        GetWindowTextA(GetDlgItem(dialog.window, slider.id), label, sizeof label);
        SIZE extent{};
        GetTextExtentPoint32A(dc.get(), label, int(std::strlen(label)), &extent);
        widest = std::max(widest, int(extent.cx));
    }
    return int16_t(std::max(kSliderLabelWidth, widest - kTrackGap));
}

void loadText(int id, char (&text)[kSliderTextCapacity]) {
    text[0] = '\0';
    LoadStringA(moduleInstance(), UINT(id), text, sizeof text);
}
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
    if (row < 0 || length == CB_ERR || length >= LRESULT(platform::kMaxPath))
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

void createSettingSliders(MainDialog& dialog) {
    const int16_t labelWidth = sliderLabelWidth(dialog);
    for (const SettingSlider& slider : kSettingSliders) {
        const HWND window = GetDlgItem(dialog.window, slider.id);
        if (!window)
            continue;
        const ParameterEntry& entry = slider.entry();
        char label[kSliderTextCapacity] = "", left[kSliderTextCapacity], right[kSliderTextCapacity];
        GetWindowTextA(window, label, sizeof label);
        loadText(slider.endsTextId, left);
        loadText(slider.endsTextId + 1, right);
        CreateSlider(window, {label, left, right, entry.sliderMinimum, entry.sliderMaximum,
                              sliderPosition(dialog, entry), labelWidth, dialog.font,
                              entry.showsPercent()});
    }
}

bool storeSliderValue(MainDialog& dialog, int controlId) {
    const SettingSlider* slider = sliderOf(controlId);
    if (!slider)
        return false;
    storeSliderPosition(dialog, slider->entry(), sliderValue(GetDlgItem(dialog.window, controlId)));
    return true;
}

void enableLightControls(MainDialog& dialog) {
    const LightSource& light = dialog.selectedLight();
    const bool on = light.enabled;
    for (int id : {kControlIntensity, kControlLightColour, kControlLightType, kControlTypeLabel})
        enableControl(dialog.window, id, on);
    enableControl(dialog.window, kControlFocus, on && light.type == Spot);
}

void SyncLightControls(MainDialog& dialog) {
    FillingControls filling(dialog);
    const LightSource& light = dialog.selectedLight();
    enableLightControls(dialog);
    setChecked(dialog.window, kControlLightOn, light.enabled);
    showSliders(dialog, true);
    selectRow(dialog.window, kControlLightType, rowOfLightType(light.type));
    RedrawControl(dialog.window, kControlLightColour);
    UpdateLightWell(dialog.window, dialog.settings.lightCount); // a style may bring sixteen
}

void SyncMaterialControls(MainDialog& dialog) {
    FillingControls filling(dialog);
    const Settings& settings = dialog.settings;
    setChecked(dialog.window, kControlWhiteIsHigh, settings.whiteIsHigh);
    setChecked(dialog.window, kControlPreviewOn, dialog.choices.previewOn);
    selectRow(dialog.window, kControlTextureChannel, settings.textureChannel);
    enableControl(dialog.window, kControlWhiteIsHigh, settings.textureChannel != 0);
    enableControl(dialog.window, kControlRelief, settings.textureChannel != 0);
    showSliders(dialog, false);
    RedrawControl(dialog.window, kControlAmbientColour);
}
