// The main dialog driven as a user drives it, through the whole filtering run:
// confirming and cancelling, the sliders, the light and texture controls, and
// a preview that follows every edit.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <thread>

#include "protocol/colour_record.h"
#include "protocol/plugin_api.h"
#include "protocol/result_codes.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "settings/parameter_table.h"
#include "styles/style_library.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/main_dialog_support.h"
#include "tests/support/styles_test_support.h"
#include "tests/support/test_host.h"
#include "tests/support/win32_module.h"
#include "ui/slider_control.h"

namespace {
// Clicks a slider of the dialog at a share of its track; the value resting
// under the click.
int16_t clickSlider(HWND dialog, int id, double share) {
    const HWND slider = GetDlgItem(dialog, id);
    const auto* record = reinterpret_cast<const SliderRecord*>(GetWindowLongPtrA(slider, 0));
    const SliderGeometry g = sliderGeometry(record->width, record->height, record->labelWidth);
    const int x = g.trackLeft + int(share * (g.trackRight - g.trackLeft));
    clickAt(slider, x, g.trackY + 2);
    return restingValue(valueForX(g, {record->minimum, record->maximum}, x), record->percent);
}

bool isEnabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != 0;
}

// The stored value of a slider position.
int16_t stored(Parameter which, int16_t position) {
    return parameter(which).storedFromSlider(position);
}

// The host's picker, answering pure blue.
int16_t pickBlue(void* data) {
    auto* record = static_cast<ColourRecord*>(data);
    record->components[0] = record->components[1] = 0;
    record->components[2] = 255;
    return 0;
}

COLORREF centreColourOf(HWND control) {
    RECT client;
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    const COLORREF colour = GetPixel(dc, client.right / 2, client.bottom / 2);
    ReleaseDC(control, dc);
    return colour;
}

class MainDialogTest : public StyleFolderTest {};
} // namespace

TEST_F(MainDialogTest, OkAppliesTheEditsWhileCancelAndEscapeLeaveEverythingAsItWas) {
    TestHost host(120, 90);
    const std::vector<uint8_t> original = host.rgb();
    const int32_t hostBlocks = HostLivePointerCount();

    // A cancelled first dialog leaves the image alone and keeps no state.
    // While it is open each of the seven sliders holds its record.
    EXPECT_EQ(runWithDialog(host,
                            [&](HWND dialog) {
                                EXPECT_EQ(HostLivePointerCount(), hostBlocks + 7);
                                pressButton(dialog, kControlCancel);
                            }),
              1);
    EXPECT_EQ(host.slot, 0);
    EXPECT_EQ(host.rgb(), original);

    int16_t gloss = 0;
    EXPECT_EQ(runWithDialog(host,
                            [&](HWND dialog) {
                                gloss = stored(Parameter::Gloss,
                                               clickSlider(dialog, kControlGloss, 0.9));
                                pressButton(dialog, kControlOk);
                            }),
              0);
    ASSERT_NE(host.state(), nullptr);
    EXPECT_EQ(host.state()->settings.gloss, gloss);
    const std::vector<uint8_t> lit = host.rgb();
    EXPECT_NE(lit, original);
    const std::vector<uint8_t> storedBlock = host.session.parameterBytes();

    // Annuler, then the Escape key: the edits are dropped, the image and the
    // stored settings stay.
    EXPECT_EQ(runWithDialog(host,
                            [&](HWND dialog) {
                                clickSlider(dialog, kControlGloss, 0.1);
                                pressButton(dialog, kControlCancel);
                            }),
              1);
    EXPECT_EQ(runWithDialog(host,
                            [&](HWND dialog) {
                                clickSlider(dialog, kControlExposure, 0.1);
                                const HWND workArea = GetDlgItem(dialog, kControlWorkArea);
                                PostMessageA(workArea, WM_KEYDOWN, VK_ESCAPE, 0);
                                PostMessageA(workArea, WM_KEYUP, VK_ESCAPE, 0);
                            }),
              1);
    EXPECT_EQ(host.state()->settings.gloss, gloss);
    EXPECT_EQ(host.session.parameterBytes(), storedBlock);
    EXPECT_EQ(host.rgb(), lit);
    EXPECT_EQ(HostLivePointerCount(), hostBlocks) << "the sliders gave their records back";
}

// The type list shows the light type table's names in its order, and each row
// gives the selected light its type.
TEST_F(MainDialogTest, TheTypeListIsTheLightTypeTable) {
    TestHost host(160, 120);
    runWithDialog(host, [&](HWND dialog) {
        Settings& settings = host.state()->settings;
        ASSERT_EQ(SendDlgItemMessageA(dialog, kControlLightType, CB_GETCOUNT, 0, 0),
                  kLightTypeCount);
        for (int row = 0; row < kLightTypeCount; ++row) {
            const LightTypeEntry& entry = kLightTypes[row];
            char text[64] = "";
            SendDlgItemMessageA(dialog, kControlLightType, CB_GETLBTEXT, WPARAM(row),
                                reinterpret_cast<LPARAM>(text));
            EXPECT_EQ(std::string(text), systemName(stringTableText(entry.nameStringId)));
            chooseRow(dialog, kControlLightType, row);
            EXPECT_EQ(settings.lights[settings.currentLight].type, uint32_t(entry.type)) << row;
        }
        pressButton(dialog, kControlCancel);
    });
}

TEST_F(MainDialogTest, LightControlsFollowTheTypeAndTheSwitchAndEveryEditReachesThePreview) {
    TestHost host(160, 120);
    runWithDialog(host, [&](HWND dialog) {
        PluginState& state = *host.state();
        Settings& settings = state.settings;
        LightSource& light = settings.lights[settings.currentLight];
        ASSERT_EQ(light.type, uint32_t(Spot)) << "the default style's light";
        EXPECT_TRUE(isEnabled(dialog, kControlFocus));

        expectPreviewFollows(state, "omni", [&] {
            chooseRow(dialog, kControlLightType, 1);
            EXPECT_EQ(light.type, uint32_t(Omni));
            EXPECT_FALSE(isEnabled(dialog, kControlFocus));
        });
        light.vector1 = {25, 3}; // no longer perpendicular
        chooseRow(dialog, kControlLightType, 2);
        EXPECT_EQ(light.type, uint32_t(Spot));
        EXPECT_TRUE(isEnabled(dialog, kControlFocus));
        EXPECT_EQ(light.vector0.x * light.vector1.x + light.vector0.y * light.vector1.y, 0);

        const int lightControls[] = {kControlIntensity, kControlFocus, kControlLightColour,
                                     kControlLightType, kControlTypeLabel};
        expectPreviewFollows(state, "light off", [&] {
            pressButton(dialog, kControlLightOn);
            EXPECT_FALSE(light.enabled);
            for (int id : lightControls)
                EXPECT_FALSE(isEnabled(dialog, id)) << id;
        });
        pressButton(dialog, kControlLightOn);
        for (int id : lightControls)
            EXPECT_TRUE(isEnabled(dialog, id)) << id;

        expectPreviewFollows(state, "intensity", [&] {
            const int16_t position = clickSlider(dialog, kControlIntensity, 0.95);
            EXPECT_EQ(light.intensity, stored(Parameter::Intensity, position));
        });
        expectPreviewFollows(state, "material", [&] {
            const int16_t position = clickSlider(dialog, kControlMaterial, 0.8);
            EXPECT_EQ(settings.material, stored(Parameter::Material, position));
        });
        expectPreviewFollows(state, "ambience", [&] {
            const int16_t position = clickSlider(dialog, kControlAmbience, 0.9);
            EXPECT_EQ(settings.ambience, stored(Parameter::Ambience, position));
        });

        // Texture: "Sans" disables the relief controls, a channel enables them.
        EXPECT_FALSE(isEnabled(dialog, kControlRelief));
        EXPECT_FALSE(isEnabled(dialog, kControlWhiteIsHigh));
        expectPreviewFollows(state, "texture", [&] {
            chooseRow(dialog, kControlTextureChannel, 2);
            EXPECT_EQ(settings.textureChannel, 2);
            EXPECT_TRUE(isEnabled(dialog, kControlRelief));
            EXPECT_TRUE(isEnabled(dialog, kControlWhiteIsHigh));
        });
        expectPreviewFollows(state, "relief", [&] {
            const int16_t position = clickSlider(dialog, kControlRelief, 1.0);
            EXPECT_EQ(settings.reliefAmount, stored(Parameter::Relief, position));
        });
        expectPreviewFollows(state, "white is high",
                             [&] { pressButton(dialog, kControlWhiteIsHigh); });

        const std::vector<uint8_t> before = resultPixels(state);
        pressButton(dialog, kControlPreviewOn);
        EXPECT_FALSE(state.dialogChoices.previewOn);
        EXPECT_NE(resultPixels(state), before);
        pressButton(dialog, kControlPreviewOn);
        EXPECT_EQ(resultPixels(state), before);

        // A colour from the host's picker reaches the light, its swatch and the
        // preview.
        host.record.colorService = pickBlue;
        expectPreviewFollows(state, "light colour", [&] {
            pressButton(dialog, kControlLightColour);
            EXPECT_EQ(light.color[0], 0);
            EXPECT_EQ(light.color[2], 65535);
            EXPECT_EQ(centreColourOf(GetDlgItem(dialog, kControlLightColour)), RGB(0, 0, 255));
        });
        pressButton(dialog, kControlOk);
    });
    EXPECT_EQ(host.block()->textureChannel, 2);

    // A stored channel the document does not have falls back to "Sans".
    host.state()->settings.textureChannel = 9;
    runWithDialog(host, [&](HWND dialog) {
        EXPECT_EQ(host.state()->settings.textureChannel, 0);
        EXPECT_EQ(SendDlgItemMessageA(dialog, kControlTextureChannel, CB_GETCURSEL, 0, 0), 0);
        EXPECT_FALSE(isEnabled(dialog, kControlRelief));
        pressButton(dialog, kControlCancel);
    });
}

TEST_F(MainDialogTest, AHostWithoutChannelServicesEndsTheDialogWithItsError) {
    TestHost host(60, 40);
    host.record.propertyTable = nullptr;
    bool shown = false;
    const DWORD dialogThread = GetCurrentThreadId();
    std::thread watcher([&] {
        if (const HWND dialog = waitForDialog(dialogThread, "Orvane", 1500)) {
            shown = true;
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    });
    EXPECT_EQ(host.session.runFilter(true), result::hostServiceMissing);
    watcher.join();
    EXPECT_FALSE(shown);
}
