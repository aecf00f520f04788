#include <windows.h>

#include <commdlg.h>

#include <string>

#include "host/zerafin/colour_service.h"
#include "protocol/colour_record.h"
#include "protocol/result_codes.h"

namespace {
// The dialog shows the plug-in's prompt as its caption.
UINT_PTR CALLBACK showPrompt(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const auto* choice = reinterpret_cast<const CHOOSECOLORA*>(lParam);
        const auto* prompt = reinterpret_cast<const uint8_t*>(choice->lCustData);
        if (prompt && prompt[0] > 0)
            SetWindowTextA(dialog, std::string(prompt + 1, prompt + 1 + prompt[0]).c_str());
    }
    return 0;
}

// Picks a colour for a request of the plug-in: 0 with the colour in the
// record, 1 when the user cancelled, -1 for a request the host cannot read.
int16_t pickColour(void* data) {
    auto* record = static_cast<ColourRecord*>(data);
    if (!record || record->size != sizeof(ColourRecord) || record->request != kColourRequestPick ||
        record->sourceSpace != kColourSpaceRgb || record->resultSpace != kColourSpaceRgb)
        return -1;
    COLORREF custom[16];
    for (COLORREF& colour : custom)
        colour = RGB(255, 255, 255);
    CHOOSECOLORA choice{};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = GetActiveWindow();
    choice.rgbResult = RGB(record->components[0] & 0xFF, record->components[1] & 0xFF,
                           record->components[2] & 0xFF);
    choice.lpCustColors = custom;
    choice.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK;
    choice.lpfnHook = showPrompt;
    choice.lCustData = reinterpret_cast<LPARAM>(record->prompt);
    if (!ChooseColorA(&choice))
        return result::cancelled;
    record->components[0] = GetRValue(choice.rgbResult);
    record->components[1] = GetGValue(choice.rgbResult);
    record->components[2] = GetBValue(choice.rgbResult);
    return result::ok;
}
} // namespace

ColorServiceProc hostColourService() {
    return pickColour;
}
