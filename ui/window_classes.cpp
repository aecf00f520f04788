// The main dialog's custom window classes. Until the interactive controls
// exist, each class paints with the default window procedure.
#include <windows.h>

#include "platform/win32/module_instance.h"
#include "ui/ui_services.h"

namespace {
struct CustomClass {
    const char* name;
    int extraBytes;
    bool buttonFaceBackground;
};

constexpr CustomClass kCustomClasses[] = {
    {"VR_slider_control_window", 4, true}, {"VR_work_area_window", 0, false},
    {"VR_preview_area_window", 0, false},  {"VR_group_box_window", 0, false},
    {"VR_trash_window", 0, true},          {"VR_light_well", 0, true},
};
} // namespace

void registerWindowClasses() {
    for (const CustomClass& custom : kCustomClasses) {
        WNDCLASSA windowClass{};
        windowClass.style = CS_OWNDC;
        windowClass.lpfnWndProc = DefWindowProcA;
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
