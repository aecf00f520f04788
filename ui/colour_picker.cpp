#include "ui/colour_picker.h"

#include <windows.h>

#include <commdlg.h>

#include <cstring>

#include "platform/win32/module_instance.h"
#include "platform/win32/screen_placement.h"
#include "protocol/colour_record.h"
#include "protocol/result_codes.h"
#include "resources/resource_ids.h"
#include "ui/colour_channels.h"

namespace {
constexpr COLORREF kCustomColours[16] = {
    0x000000, 0x0000FF, 0x0080FF, 0x80FFFF, 0x00FFFF, 0x00FF80, 0x00FF00, 0x80FF00,
    0xFFFF80, 0xFFFF00, 0xFF0000, 0xFF0080, 0xFF8000, 0xFF80FF, 0xFF00FF, 0xFFFFFF,
};

enum class HostPick { Chosen, Refused, Unavailable };

// Keys typed while the host's picker had the keyboard belong to it, not to the dialog.
void discardWaitingKeys() {
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
}

HostPick pickWithHost(ColorServiceProc service, const uint8_t* prompt, uint16_t colour[3]) {
    ColourRecord record{};
    record.size = sizeof record;
    record.request = kColourRequestPick;
    record.sourceSpace = kColourSpaceRgb;
    record.resultSpace = kColourSpaceRgb;
    for (int c = 0; c < 3; ++c)
        record.components[c] = highByte(colour[c]);
    record.prompt = prompt;
    const int16_t answer = service(&record);
    discardWaitingKeys();
    if (answer == result::hostServiceMissing)
        return HostPick::Unavailable;
    if (answer != result::ok)
        return HostPick::Refused;
    for (int c = 0; c < 3; ++c)
        colour[c] = channelFromHostPick(uint8_t(record.components[c]));
    return HostPick::Chosen;
}

// The colour dialog lies over its owner inside the screen.
UINT_PTR CALLBACK placeOnScreen(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG)
        centreOverOwner(dialog);
    return 0;
}

bool pickWithSystemDialog(uint16_t colour[3]) {
    COLORREF custom[16];
    std::memcpy(custom, kCustomColours, sizeof custom);
    CHOOSECOLORA choice{};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = GetActiveWindow();
    choice.hInstance = reinterpret_cast<HWND>(moduleInstance());
    choice.rgbResult = RGB(highByte(colour[0]), highByte(colour[1]), highByte(colour[2]));
    choice.lpCustColors = custom;
    choice.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLETEMPLATE | CC_ENABLEHOOK;
    choice.lpTemplateName = MAKEINTRESOURCEA(kDialogColourPicker);
    choice.lpfnHook = placeOnScreen;
    if (!ChooseColorA(&choice))
        return false;
    colour[0] = channelFromSystemPick(GetRValue(choice.rgbResult));
    colour[1] = channelFromSystemPick(GetGValue(choice.rgbResult));
    colour[2] = channelFromSystemPick(GetBValue(choice.rgbResult));
    return true;
}
} // namespace

bool PickColor(ColorServiceProc hostService, int promptId, uint16_t colour[3]) {
    uint8_t prompt[1 + 256] = {}; // a length byte, up to 255 characters and a terminator
    prompt[0] = uint8_t(
        LoadStringA(moduleInstance(), UINT(promptId), reinterpret_cast<char*>(prompt + 1), 256));
    if (hostService) {
        const HostPick pick = pickWithHost(hostService, prompt, colour);
        if (pick != HostPick::Unavailable)
            return pick == HostPick::Chosen;
    }
    return pickWithSystemDialog(colour);
}
