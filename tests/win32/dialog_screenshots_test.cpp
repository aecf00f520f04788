// The dialog's pictures for the documentation, on the demo's sample image with
// its relief channel and the shipped styles: the default style, a textured
// style whose selected light is switched off, the work area with the figure
// of each type of light, sixteen lights, and the trash under a dragged light.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/gdi.h"
#include "resources/resource_ids.h"
#include "shell/plugin_state.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/sample_dialog.h"
#include "tests/support/styles_test_support.h"
#include "tests/support/user_input.h"
#include "tests/support/win32_module.h"
#include "ui/light_geometry.h"

namespace {
int rowOf(HWND dialog, int comboId, const char* utf8) {
    return int(SendDlgItemMessageA(dialog, comboId, CB_FINDSTRINGEXACT, WPARAM(-1),
                                   reinterpret_cast<LPARAM>(systemName(utf8).c_str())));
}

RECT windowRect(HWND dialog, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    return r;
}

// The work area with the light well and the trash under it, as the screen
// shows them.
bool saveWorkAreaShot(HWND dialog, const std::string& name) {
    RECT area = windowRect(dialog, kControlWorkArea);
    area.bottom = windowRect(dialog, kControlTrash).bottom;
    InflateRect(&area, 4, 4);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const WindowDC screen(nullptr);
    return saveAreaAsPng(screen.get(), area, name);
}
} // namespace

TEST(DialogScreenshots, TheDefaultStyleAndATexturedStyleOnTheSample) {
    withSampleDialog([](HWND dialog, HostSession&) {
        EXPECT_EQ(SendDlgItemMessageA(dialog, kControlStyleList, CB_GETCURSEL, 0, 0),
                  rowOf(dialog, kControlStyleList, "Par défaut"));
        EXPECT_TRUE(saveWindowScreenshot(dialog, "main_dialog.png"));
        chooseRow(dialog, kControlStyleList, rowOf(dialog, kControlStyleList, "Métal repoussé"));
        chooseRow(dialog, kControlTextureChannel, rowOf(dialog, kControlTextureChannel, "Relief"));
        pressButton(dialog, kControlLightOn);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, kControlIntensity)));
        EXPECT_TRUE(saveWindowScreenshot(dialog, "main_dialog_textured.png"));
        pressButton(dialog, kControlCancel);
    });
}

TEST(DialogScreenshots, TheWorkAreaWithEachFigureSixteenLightsAndTheTrash) {
    withSampleDialog([](HWND dialog, HostSession& session) {
        PluginState& state = *reinterpret_cast<PluginState*>(session.dataSlot);
        Settings& settings = state.settings;
        UserInput user(dialog);
        const HWND area = GetDlgItem(dialog, kControlWorkArea);
        const HWND well = GetDlgItem(dialog, kControlLightWell);
        user.drag(well, {8, 8}, area, {150, 110});
        user.drag(well, {8, 8}, area, {95, 160});
        const char* shots[] = {"work_area_directional.png", "work_area_omni.png",
                               "work_area_spot.png"};
        for (int row = 0; row < 3; ++row) {
            chooseRow(dialog, kControlLightType, row);
            EXPECT_TRUE(saveWorkAreaShot(dialog, shots[row]));
        }

        // The light over the trash, the button still down.
        const PixelPoint centre = lightCentre(settings.lights[settings.currentLight]);
        user.press(area, {centre.x, centre.y});
        Sleep(300);
        user.moveTo(GetDlgItem(dialog, kControlTrash), {6, 6});
        EXPECT_TRUE(saveWorkAreaShot(dialog, "work_area_trash.png"));
        user.release(dialog, {2, 2});

        // Sixteen lights: the well shows it takes no more.
        for (int i = settings.lightCount; i < 15; ++i)
            settings.addLightAt(int16_t(40 + 30 * (i % 5)), int16_t(40 + 45 * (i / 5)));
        state.preview.everythingChanged();
        user.drag(well, {8, 8}, area, {110, 200});
        EXPECT_FALSE(IsWindowEnabled(well));
        EXPECT_TRUE(saveWindowScreenshot(dialog, "main_dialog_sixteen_lights.png"));
        pressButton(dialog, kControlCancel);
    });
}
