// The main dialog: its procedure unpacks each message for a named handler.
// The settings are edited in place; the run keeps the copy to restore on cancel.
#include "ui/main_dialog.h"

#include <algorithm>
#include <new>

#include "platform/win32/module_instance.h"
#include "platform/win32/screen_placement.h"
#include "protocol/result_codes.h"
#include "resources/resource_ids.h"
#include "scripting/channel_queries.h"
#include "ui/colour_picker.h"
#include "ui/colour_swatch.h"
#include "ui/dialog_background.h"

namespace {
void setArrowCursor() {
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}

// A one-pixel black frame around the preview and around the whole result image.
void frameThePreview(Preview& preview) {
    ImageRecord& image = preview.resultImage;
    auto blacken = [&](int x, int y) {
        if (x >= 0 && y >= 0 && x < image.width() && y < image.height())
            for (int c = 0; c < 3; ++c)
                image.pixels[y * image.rowBytes + x * 3 + c] = 0;
    };
    auto frame = [&](int left, int top, int right, int bottom) { // inclusive edges
        for (int x = left; x <= right; ++x) {
            blacken(x, top);
            blacken(x, bottom);
        }
        for (int y = top; y <= bottom; ++y) {
            blacken(left, y);
            blacken(right, y);
        }
    };
    frame(preview.left - 1, preview.top - 1, preview.left + preview.width,
          preview.top + preview.height);
    frame(0, 0, image.width() - 1, image.height() - 1);
}

void addStringRow(HWND dialog, int comboId, int stringId) {
    char text[256] = "";
    LoadStringA(moduleInstance(), UINT(stringId), text, sizeof text);
    SendDlgItemMessageA(dialog, comboId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

// "Sans", then every channel of the document: 0 or the host's error.
int16_t fillTextureList(MainDialog& dialog) {
    addStringRow(dialog.window, kControlTextureChannel, kStringTextureNone);
    uint16_t count = 0;
    if (const int16_t code = GetChannelCount(&count, dialog.host); code != 0)
        return code;
    for (uint16_t k = 0; k < count; ++k) {
        uint8_t name[256] = {};
        if (const int16_t code = GetChannelName(k, name, dialog.host); code != 0)
            return code;
        char text[257] = {};
        std::copy(name + 1, name + 1 + name[0], text);
        SendDlgItemMessageA(dialog.window, kControlTextureChannel, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(text));
    }
    selectRow(dialog.window, kControlTextureChannel, 0);
    return result::ok;
}

int16_t loadIcons(MainDialog& dialog) {
    // The work area's light pictures, in this order.
    constexpr int kIcons[] = {kIconBulbLit, kIconBulbGrey, kIconEmptySquare, kIconTrash};
    for (int i = 0; i < 4; ++i) {
        dialog.icons[i] = LoadIconA(moduleInstance(), MAKEINTRESOURCEA(kIcons[i]));
        if (!dialog.icons[i])
            return result::missingResource;
    }
    return result::ok;
}

// The initialisation: 0, or the error that ends the dialog.
int16_t initialise(MainDialog& dialog) {
    FillingControls filling(dialog);
    centreOverOwner(dialog.window);
    dialog.font = reinterpret_cast<HFONT>(SendMessageA(dialog.window, WM_GETFONT, 0, 0));
    if (!dialog.font)
        dialog.font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    frameThePreview(dialog.preview);
    setChecked(dialog.window, kControlPreviewOn, true);
    if (const int16_t code = fillTextureList(dialog); code != 0)
        return code;
    for (const LightTypeEntry& type : kLightTypes)
        addStringRow(dialog.window, kControlLightType, type.nameStringId);
    if (!dialog.session.hadStoredSettings)
        dialog.settings.resetToDefaultStyle();
    dialog.preview.everythingChanged();
    chooseInitialStyle(dialog);
    UpdateDeleteButton(dialog.window);
    if (const int16_t code = applyTextureOfSettings(dialog); code != 0)
        return code;
    createSettingSliders(dialog);
    RefreshPreview(dialog);
    SyncMaterialControls(dialog);
    SyncLightControls(dialog);
    setArrowCursor();
    return loadIcons(dialog);
}

// Message handlers.

void onInitDialog(HWND window, DialogSession& session) {
    auto* dialog = new (std::nothrow) MainDialog(window, session);
    if (!dialog) {
        EndDialog(window, result::outOfMemory);
        return;
    }
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(dialog));
    if (const int16_t code = initialise(*dialog); code != 0) {
        EndDialog(window, code);
        return;
    }
    SetFocus(GetDlgItem(window, kControlWorkArea));
}

void onNcDestroy(HWND window) {
    delete mainDialogOf(window);
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
}

void onDrawItem(MainDialog& dialog, const DRAWITEMSTRUCT& item) {
    if (item.CtlID == kControlAmbientColour)
        DrawColorSwatch(item.hDC, item.rcItem, dialog.settings.ambientColor);
    else if (item.CtlID == kControlLightColour)
        DrawColorSwatch(item.hDC, item.rcItem, dialog.selectedLight().color);
}

void onTextureChosen(MainDialog& dialog) {
    const int row = selectedRow(dialog.window, kControlTextureChannel);
    setTextureChannel(dialog.settings, dialog.preview, uint16_t(row < 0 ? 0 : row));
    enableControl(dialog.window, kControlWhiteIsHigh, row > 0);
    enableControl(dialog.window, kControlRelief, row > 0);
    if (row > 0) {
        const int16_t code = dialog.session.gatherTexturePreview();
        setArrowCursor();
        if (code != 0) {
            EndDialog(dialog.window, code);
            return;
        }
    }
    RefreshPreview(dialog);
}

void onTypeChosen(MainDialog& dialog) {
    LightSource& light = dialog.selectedLight();
    const uint32_t type = lightTypeOfRow(selectedRow(dialog.window, kControlLightType));
    enableControl(dialog.window, kControlFocus, type == Spot && light.enabled);
    if (type != light.type) {
        light.type = type;
        light.setSpotAxes();
        dialog.selectedLightChanged();
    }
    RefreshPreview(dialog);
}

void onLightSwitched(MainDialog& dialog) {
    LightSource& light = dialog.selectedLight();
    light.enabled = isChecked(dialog.window, kControlLightOn);
    dialog.selectedLightChanged();
    if (!light.enabled) // a light that is off needs no caches
        for (CacheSlot& slot : dialog.preview.lightCaches[dialog.settings.currentLight])
            slot.buffer.reset();
    enableLightControls(dialog);
    RefreshPreview(dialog);
}

void onColourClicked(MainDialog& dialog, int swatchId) {
    const bool ambient = swatchId == kControlAmbientColour;
    uint16_t* colour = ambient ? dialog.settings.ambientColor : dialog.selectedLight().color;
    const bool chosen =
        PickColor(dialog.host.colorService,
                  ambient ? kStringAmbientColourPrompt : kStringLightColourPrompt, colour);
    if (chosen && !ambient)
        dialog.selectedLightChanged();
    SetForegroundWindow(dialog.window);
    RedrawControl(dialog.window, swatchId);
    RefreshPreview(dialog);
}

// True when the command may have moved the keyboard focus away from the work area.
bool onCommand(MainDialog& dialog, int id, int code) {
    const bool selectionChanged = code == CBN_SELCHANGE, clicked = code == BN_CLICKED;
    switch (id) {
    case kControlOk:
        EndDialog(dialog.window, 0);
        return false;
    case kControlCancel:
    case IDCANCEL:
        EndDialog(dialog.window, 1);
        return false;
    case kControlStyleList:
        if (selectionChanged)
            onStyleChosen(dialog);
        return selectionChanged;
    case kControlTextureChannel:
        if (selectionChanged)
            onTextureChosen(dialog);
        return selectionChanged;
    case kControlLightType:
        if (selectionChanged)
            onTypeChosen(dialog);
        return selectionChanged;
    case kControlSaveStyle:
        onSaveStyle(dialog);
        return true;
    case kControlDeleteStyle:
        onDeleteStyle(dialog);
        return false;
    case kControlWhiteIsHigh:
        if (clicked) {
            setWhiteIsHigh(dialog.settings, dialog.preview, isChecked(dialog.window, id));
            RefreshPreview(dialog);
        }
        return clicked;
    case kControlLightOn:
        if (clicked)
            onLightSwitched(dialog);
        return clicked;
    case kControlPreviewOn:
        if (clicked) {
            dialog.choices.previewOn = isChecked(dialog.window, id);
            RefreshPreview(dialog);
        }
        return clicked;
    case kControlAmbientColour:
    case kControlLightColour:
        if (clicked)
            onColourClicked(dialog, id);
        return clicked;
    default:
        // A slider tells of a release with notification code 0.
        if (code == 0 && storeSliderValue(dialog, id))
            RefreshPreview(dialog);
        return false;
    }
}

INT_PTR CALLBACK mainDialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR answer = 0;
    if (handleDialogBackground(window, message, wParam, answer))
        return answer;
    if (message == WM_INITDIALOG) {
        onInitDialog(window, *reinterpret_cast<DialogSession*>(lParam));
        return FALSE;
    }
    MainDialog* dialog = mainDialogOf(window);
    if (!dialog)
        return FALSE;
    switch (message) {
    case WM_DRAWITEM:
        onDrawItem(*dialog, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (dialog->fillingControls == 0 && onCommand(*dialog, LOWORD(wParam), HIWORD(wParam)))
            SetFocus(GetDlgItem(window, kControlWorkArea));
        return TRUE;
    case WM_NCDESTROY:
        onNcDestroy(window);
        return FALSE;
    default:
        return FALSE;
    }
}

HWND ownerOf(const HostRecord& host) {
    return host.windowInfo ? static_cast<HWND>(host.windowInfo->ownerWindow) : nullptr;
}
} // namespace

MainDialog* mainDialogOf(HWND window) {
    if (GetWindowLongA(window, GWL_STYLE) & WS_CHILD)
        window = GetParent(window);
    return reinterpret_cast<MainDialog*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void RedrawControl(HWND dialog, int controlId) {
    RedrawWindow(GetDlgItem(dialog, controlId), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_NOERASE | RDW_UPDATENOW);
}

void RefreshPreview(MainDialog& dialog) {
    if (!dialog.choices.previewOn) {
        dialog.session.showUnlitPreview();
    } else {
        const HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
        dialog.session.renderPreview();
        SetCursor(previous);
    }
    RedrawControl(dialog.window, kControlWorkArea);
}

int16_t runMainDialog(DialogSession& session) {
    const DialogBackground background;
    // DialogBoxParamA's answer when it cannot make the dialog (its template is missing).
    constexpr INT_PTR kDialogNotMade = -1;
    const INT_PTR outcome =
        DialogBoxParamA(moduleInstance(), MAKEINTRESOURCEA(kDialogMain), ownerOf(session.host),
                        mainDialogProcedure, reinterpret_cast<LPARAM>(&session));
    return outcome == kDialogNotMade ? result::missingResource : int16_t(outcome);
}
