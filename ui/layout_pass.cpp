// The layout pass: dialog 102 is created hidden, measured inside its own
// initialisation and ended at once, so the window is never shown.
#include <windows.h>

#include "platform/win32/module_instance.h"
#include "protocol/host_record.h"
#include "protocol/result_codes.h"
#include "resources/resource_ids.h"
#include "ui/dialog_background.h"
#include "ui/preview_layout.h"
#include "ui/ui_services.h"

namespace {
struct LayoutRequest {
    HostRecord* host;
    Settings* settings;
    Preview* preview;
};

SIZE clientSize(HWND dialog, int controlId) {
    RECT client{};
    GetClientRect(GetDlgItem(dialog, controlId), &client);
    return SIZE{client.right - client.left, client.bottom - client.top};
}

LayoutMeasure measure(HWND dialog) {
    const SIZE placeholder = clientSize(dialog, kControlPreviewPlaceholder);
    const SIZE workArea = clientSize(dialog, kControlWorkArea);
    return LayoutMeasure{placeholder.cx, placeholder.cy, workArea.cx, workArea.cy};
}

INT_PTR CALLBACK layoutProcedure(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG)
        return FALSE;
    auto* request = reinterpret_cast<LayoutRequest*>(lParam);
    EndDialog(dialog, LayoutPreview(measure(dialog), *request->host, *request->settings,
                                    *request->preview));
    return TRUE;
}

HWND ownerOf(const HostRecord& host) {
    return host.windowInfo ? static_cast<HWND>(host.windowInfo->ownerWindow) : nullptr;
}
} // namespace

int16_t runLayoutPass(HostRecord& host, Settings& settings, Preview& preview) {
    LayoutRequest request{&host, &settings, &preview};
    INT_PTR outcome = 0;
    {
        const DialogBackground background;
        outcome = DialogBoxParamA(moduleInstance(), MAKEINTRESOURCEA(kDialogMain), ownerOf(host),
                                  layoutProcedure, reinterpret_cast<LPARAM>(&request));
    }
    if (outcome == -1)
        return result::missingResource;
    return int16_t(outcome);
}
