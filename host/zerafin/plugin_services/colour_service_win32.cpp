#include <windows.h>

#include <commdlg.h>

#include <cstring>
#include <string>

#include "host/zerafin/plugin_services/colour_service.h"
#include "platform/win32/screen_placement.h"
#include "protocol/colour_record.h"
#include "protocol/result_codes.h"
#include "resources/resource_data.h"

namespace {
// The dialog shows the plug-in's prompt as its caption, and lies over its
// owner inside the screen.
UINT_PTR CALLBACK showPrompt(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const auto* choice = reinterpret_cast<const CHOOSECOLORA*>(lParam);
        const auto* prompt = reinterpret_cast<const uint8_t*>(choice->lCustData);
        if (prompt && prompt[0] > 0)
            SetWindowTextA(dialog, std::string(prompt + 1, prompt + 1 + prompt[0]).c_str());
        centreOverOwner(dialog);
    }
    return 0;
}

// The French colour dialog's template in fixed global memory, as the colour
// dialog takes a template given by handle; freed with the holder.
class TemplateMemory {
  public:
    TemplateMemory() {
        const std::span<const uint8_t> bytes = colourPickerTemplateBytes();
        memory = GlobalAlloc(GMEM_FIXED, bytes.size());
        if (memory)
            std::memcpy(memory, bytes.data(), bytes.size());
    }
    ~TemplateMemory() {
        if (memory)
            GlobalFree(memory);
    }
    TemplateMemory(const TemplateMemory&) = delete;
    TemplateMemory& operator=(const TemplateMemory&) = delete;

    HGLOBAL handle() const { return memory; }

  private:
    HGLOBAL memory = nullptr;
};

// Picks a colour for a request of the plug-in: ok with the colour in the
// record, cancelled when the user cancelled, refused for a request the host
// cannot read.
int16_t pickColour(void* data) {
    auto* record = static_cast<ColourRecord*>(data);
    if (!record || record->size != sizeof(ColourRecord) || record->request != kColourRequestPick ||
        record->sourceSpace != kColourSpaceRgb || record->resultSpace != kColourSpaceRgb)
        return result::requestRefused;
    COLORREF custom[16];
    for (COLORREF& colour : custom)
        colour = RGB(255, 255, 255);
    const TemplateMemory french;
    if (!french.handle())
        return result::outOfMemory;
    CHOOSECOLORA choice{};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = GetActiveWindow();
    choice.hInstance = static_cast<HWND>(french.handle());
    choice.rgbResult = RGB(record->components[0] & 0xFF, record->components[1] & 0xFF,
                           record->components[2] & 0xFF);
    choice.lpCustColors = custom;
    choice.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK | CC_ENABLETEMPLATEHANDLE;
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
