// The colour picker: the host's picker first, the system colour dialog when the
// host has none or cannot show it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "protocol/colour_record.h"
#include "protocol/result_codes.h"
#include "resources/resource_ids.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/styles_test_support.h"
#include "tests/support/win32_module.h"
#include "ui/colour_picker.h"

namespace {
// What the stand-in host picker saw and answers.
struct HostPicker {
    ColourRecord seen{};
    std::string prompt;
    int16_t answer = 0;
    uint16_t chosen = 0; // each component
    bool typeAKey = false;
} picker;

int16_t hostPicker(void* data) {
    auto* record = static_cast<ColourRecord*>(data);
    picker.seen = *record;
    picker.prompt.assign(reinterpret_cast<const char*>(record->prompt + 1), record->prompt[0]);
    if (picker.typeAKey)
        PostThreadMessageA(GetCurrentThreadId(), WM_KEYDOWN, 'A', 0);
    for (uint16_t& component : record->components)
        component = picker.chosen;
    return picker.answer;
}

bool isSame(const uint16_t (&a)[3], uint16_t r, uint16_t g, uint16_t b) {
    return a[0] == r && a[1] == g && a[2] == b;
}

// Picks with the system colour dialog, typing the component into its red,
// green and blue fields and pressing `button`.
bool pickWithSystemDialog(ColorServiceProc service, const char* component, int button,
                          uint16_t (&colour)[3]) {
    bool chosen = false;
    driveModalWindow(
        "#32770", [&] { chosen = PickColor(service, kStringAmbientColourPrompt, colour); },
        [&](HWND dialog) {
            EXPECT_EQ(windowText(dialog), "Couleur");
            for (int field : {706, 707, 708})
                SetDlgItemTextA(dialog, field, component);
            pressButton(dialog, button);
        });
    return chosen;
}
} // namespace

TEST(ColourPicker, TheHostPickerGivesWholeChannelsAndKeepsTypedKeysFromTheDialog) {
    picker = HostPicker{};
    picker.chosen = 255;
    picker.typeAKey = true;
    uint16_t colour[3] = {0x1234, 0x80FF, 0xFFFF};
    EXPECT_TRUE(PickColor(hostPicker, kStringLightColourPrompt, colour));
    EXPECT_TRUE(isSame(colour, 65535, 65535, 65535));
    EXPECT_EQ(picker.seen.size, 36u);
    EXPECT_EQ(picker.seen.components[0], 0x12);
    EXPECT_EQ(picker.seen.components[1], 0x80);
    EXPECT_EQ(picker.seen.components[2], 0xFF);
    EXPECT_EQ(picker.prompt, systemName("Couleur de la lumière :"));
    MSG key;
    EXPECT_FALSE(PeekMessageA(&key, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE))
        << "a key typed in the host's picker reached the dialog";

    picker.chosen = 0;
    picker.typeAKey = false;
    EXPECT_TRUE(PickColor(hostPicker, kStringLightColourPrompt, colour));
    EXPECT_TRUE(isSame(colour, 0, 0, 0));

    picker.answer = result::cancelled; // the user cancelled the host's picker
    picker.chosen = 200;
    EXPECT_FALSE(PickColor(hostPicker, kStringLightColourPrompt, colour));
    EXPECT_TRUE(isSame(colour, 0, 0, 0));
}

TEST(ColourPicker, TheSystemDialogStandsInWhenTheHostHasNoPicker) {
    picker = HostPicker{};
    picker.answer = result::hostServiceMissing; // the host cannot show its picker
    uint16_t colour[3] = {100, 200, 300};
    EXPECT_TRUE(pickWithSystemDialog(hostPicker, "255", IDOK, colour));
    EXPECT_TRUE(isSame(colour, 65535, 65535, 65535));
    EXPECT_TRUE(pickWithSystemDialog(nullptr, "0", IDOK, colour));
    EXPECT_TRUE(isSame(colour, 255, 255, 255));
    EXPECT_FALSE(pickWithSystemDialog(nullptr, "128", IDCANCEL, colour));
    EXPECT_TRUE(isSame(colour, 255, 255, 255));
}
