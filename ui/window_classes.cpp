// The main dialog's custom window classes.
#include <windows.h>

#include "platform/win32/module_instance.h"
#include "ui/group_frame.h"
#include "ui/light_well.h"
#include "ui/slider_control.h"
#include "ui/trash.h"
#include "ui/ui_services.h"
#include "ui/work_area.h"

namespace {
struct CustomClass {
    const char* name;
    WNDPROC procedure;
    int extraBytes;
    bool buttonFaceBackground;
};

constexpr CustomClass kCustomClasses[] = {
    {"VR_slider_control_window", sliderWindowProcedure, kSliderExtraBytes, true},
    {"VR_work_area_window", workAreaWindowProcedure, kWorkAreaExtraBytes, false},
    {"VR_preview_area_window", DefWindowProcA, 0, false},
    {"VR_group_box_window", groupFrameWindowProcedure, 0, false},
    {"VR_trash_window", trashWindowProcedure, kTrashExtraBytes, true},
    {"VR_light_well", lightWellWindowProcedure, 0, true},
};
} // namespace

void registerWindowClasses() {
    for (const CustomClass& custom : kCustomClasses) {
        WNDCLASSA windowClass{};
        windowClass.style = CS_OWNDC;
        windowClass.lpfnWndProc = custom.procedure;
        windowClass.cbWndExtra = custom.extraBytes;
        windowClass.hInstance = moduleInstance();
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground =
            custom.buttonFaceBackground ? reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1) : nullptr;
        windowClass.lpszClassName = custom.name;
        RegisterClassA(&windowClass);
    }
}

void unregisterWindowClasses() {
    for (const CustomClass& custom : kCustomClasses)
        UnregisterClassA(custom.name, moduleInstance());
}
