// The layout pass measures the work area and the preview placeholder as the
// main dialog's controls get them: their dialog units mapped with the base
// units of the dialog's font. A copy of the dialog's own template without its
// controls, created hidden, gives those base units exactly as the dialog gets
// them. Creating the whole dialog (some thirty controls) for this took 50 to
// 90 ms of every run under Wine.
#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/win32/module_instance.h"
#include "protocol/host_record.h"
#include "protocol/result_codes.h"
#include "resources/dialog_table.h"
#include "resources/resource_ids.h"
#include "ui/preview_layout.h"
#include "ui/ui_services.h"

namespace {
constexpr size_t kItemCountOffset = 8; // DLGTEMPLATE's cdit
constexpr size_t kLargestTemplate = 65536;

// The main dialog's template with its item count set to none, in a
// DWORD-aligned copy as the system wants; empty when the module lacks it.
std::vector<DWORD> mainTemplateWithoutControls() {
    HMODULE module = moduleInstance();
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(kDialogMain), MAKEINTRESOURCEA(5));
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    const size_t size = found ? SizeofResource(module, found) : 0;
    if (!bytes || size < sizeof(DLGTEMPLATE) || size > kLargestTemplate)
        return {};
    std::vector<DWORD> copy((size + sizeof(DWORD) - 1) / sizeof(DWORD));
    std::memcpy(copy.data(), bytes, size);
    const WORD noItems = 0;
    std::memcpy(reinterpret_cast<uint8_t*>(copy.data()) + kItemCountOffset, &noItems,
                sizeof noItems);
    return copy;
}

INT_PTR CALLBACK measuringProcedure(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// The client size of a borderless control of `rect` in the dialog: the
// system maps a control's width and height alone, as it maps a rectangle's
// right and bottom from 0.
SIZE controlSize(HWND dialog, const DialogRect& rect) {
    RECT mapped{0, 0, rect.width, rect.height};
    MapDialogRect(dialog, &mapped);
    return SIZE{mapped.right, mapped.bottom};
}

HWND ownerOf(const HostRecord& host) {
    return host.windowInfo ? static_cast<HWND>(host.windowInfo->ownerWindow) : nullptr;
}
} // namespace

int16_t runLayoutPass(HostRecord& host, Settings& settings, Preview& preview) {
    const std::vector<DWORD> measuring = mainTemplateWithoutControls();
    HWND dialog =
        measuring.empty()
            ? nullptr
            : CreateDialogIndirectParamA(moduleInstance(),
                                         reinterpret_cast<const DLGTEMPLATE*>(measuring.data()),
                                         ownerOf(host), measuringProcedure, 0);
    if (!dialog)
        return result::missingResource;
    const SIZE placeholder = controlSize(dialog, kPreviewPlaceholderRect);
    const SIZE workArea = controlSize(dialog, kWorkAreaRect);
    DestroyWindow(dialog);
    return LayoutPreview(LayoutMeasure{placeholder.cx, placeholder.cy, workArea.cx, workArea.cy},
                         host, settings, preview);
}
