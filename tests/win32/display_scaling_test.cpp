// The dialog at whatever display scaling the screen has: scripts/test runs
// these at 96 DPI with the whole suite, and again at 120, 144 and 192 DPI in
// copies of the test prefix. Whatever the scaling, OK applies the image of
// 96 DPI, the mouse and the keys move lights as at 96 DPI, every window lies
// on the screen and every text fits its room.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/gdi.h"
#include "resources/resource_data.h"
#include "resources/resource_ids.h"
#include "shell/plugin_state.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/main_dialog_support.h"
#include "tests/support/sample_dialog.h"
#include "tests/support/styles_test_support.h"
#include "tests/support/user_input.h"
#include "tests/support/win32_module.h"
#include "ui/colour_picker.h"
#include "ui/light_geometry.h"
#include "ui/slider_control.h"

namespace {
int screenDpi() {
    const WindowDC screen(nullptr);
    return GetDeviceCaps(screen.get(), LOGPIXELSY);
}

RECT monitorWorkArea(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    return monitor.rcWork;
}

void expectOnScreen(HWND window, const char* what) {
    RECT r{};
    GetWindowRect(window, &r);
    const RECT screen = monitorWorkArea(window);
    EXPECT_TRUE(r.left >= screen.left && r.top >= screen.top && r.right <= screen.right &&
                r.bottom <= screen.bottom)
        << what << " at (" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom
        << ") leaves the screen's work area (" << screen.right << " x " << screen.bottom << ")";
}

// The size a text takes in a window's font, its & prefixes as the system shows them.
SIZE textExtent(HWND window, const std::string& text) {
    const WindowDC dc(window);
    const auto font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    const SelectedObject selected(dc.get(), font ? font : GetStockObject(SYSTEM_FONT));
    RECT box{0, 0, 0, 0};
    DrawTextA(dc.get(), text.c_str(), int(text.size()), &box, DT_CALCRECT | DT_SINGLELINE);
    return {box.right, box.bottom};
}

// The same in the font a slider draws with.
SIZE sliderTextExtent(HWND slider, HFONT font, const char* text) {
    const WindowDC dc(slider);
    const SelectedObject selected(dc.get(), font);
    SIZE extent{};
    GetTextExtentPoint32A(dc.get(), text, int(std::strlen(text)), &extent);
    return extent;
}

bool isInsideParent(HWND window) {
    RECT own{}, parent{};
    GetWindowRect(window, &own);
    GetClientRect(GetParent(window), &parent);
    MapWindowPoints(GetParent(window), nullptr, reinterpret_cast<POINT*>(&parent), 2);
    return own.left >= parent.left && own.right <= parent.right && own.top >= parent.top &&
           own.bottom <= parent.bottom;
}

std::string classOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

// Every one-line static text, check box, push button and number field of a
// dialog shows its whole text: check boxes beside their box, fields inside
// their margins.
void expectTextsFit(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const std::string text = windowText(child);
        const std::string kind = classOf(child);
        if (text.empty() || (kind != "Static" && kind != "Button" && kind != "Edit"))
            continue;
        RECT client{};
        GetClientRect(child, &client);
        if (!isInsideParent(child))
            continue; // kept out of sight on purpose
        const LONG style = GetWindowLongA(child, GWL_STYLE);
        const LONG type = style & BS_TYPEMASK;
        int room = client.right;
        if (kind == "Button" && type == BS_AUTOCHECKBOX)
            room -= GetSystemMetrics(SM_CXMENUCHECK) + 2;
        else if (kind == "Button" && type == BS_OWNERDRAW)
            continue; // the colour swatches show no text
        else if (kind == "Edit")
            room -= 4; // the field's margins
        const SIZE extent = textExtent(child, text);
        const bool wraps = kind == "Static" && extent.cy * 2 <= client.bottom;
        if (wraps)
            continue; // the about box's several-line text wraps inside its box
        EXPECT_LE(extent.cx, room) << "\"" << text << "\" is cut";
        EXPECT_LE(extent.cy, client.bottom) << "\"" << text << "\" is cut at the bottom";
    }
}

// Each slider's label ends by the start of its track (the widest one just
// there, as at 96 DPI); the end labels and the number
// between them keep apart; the texts fit its height.
void expectSliderTextsFit(HWND dialog) {
    for (int id : {kControlIntensity, kControlFocus, kControlGloss, kControlMaterial,
                   kControlExposure, kControlAmbience, kControlRelief}) {
        const HWND window = GetDlgItem(dialog, id);
        const auto* r = reinterpret_cast<const SliderRecord*>(GetWindowLongPtrA(window, 0));
        ASSERT_NE(r, nullptr);
        SCOPED_TRACE(r->label);
        const SliderGeometry g = sliderGeometry(r->width, r->height, r->labelWidth, r->textHeight);
        const SIZE label = sliderTextExtent(window, r->font, r->label);
        EXPECT_LE(label.cx, g.trackLeft) << "the label runs into the track";
        EXPECT_LE(5 + label.cy, r->height) << "the label is cut at the bottom";
        EXPECT_LE(sliderTextExtent(window, r->font, r->leftLabel).cy, g.trackY)
            << "the end labels run into the track";
        EXPECT_LE(g.thumbTop + 4, r->height) << "the thumb is cut at the bottom";
        const int leftEnds = g.trackLeft + sliderTextExtent(window, r->font, r->leftLabel).cx;
        const int rightStarts = g.trackRight - sliderTextExtent(window, r->font, r->rightLabel).cx;
        const int middle = (g.trackLeft + g.trackRight) / 2;
        const int numberHalf = sliderTextExtent(window, r->font, "-100").cx / 2;
        if (screenDpi() == 96) {
            EXPECT_EQ(r->labelWidth, 50) << "the label column of 96 DPI moved";
        }
        EXPECT_LT(leftEnds, middle - numberHalf) << "the left end label meets the number";
        EXPECT_GT(rightStarts, middle + numberHalf) << "the right end label meets the number";
    }
}

// An owner window with its middle near the screen's left edge: a dialog
// centred over it would stick out on the left.
class OwnerNearTheEdge {
  public:
    OwnerNearTheEdge()
        : window(CreateWindowExA(0, "STATIC", "Zerafin", WS_POPUP | WS_VISIBLE, 0, 200, 160, 120,
                                 nullptr, nullptr, nullptr, nullptr)) {}
    ~OwnerNearTheEdge() { DestroyWindow(window); }
    OwnerNearTheEdge(const OwnerNearTheEdge&) = delete;
    OwnerNearTheEdge& operator=(const OwnerNearTheEdge&) = delete;

    HWND window;
};

// A modal window of the dialog's thread that a press opens: checked, then closed.
void checkWindowOpenedBy(HWND dialog, int buttonId, const char* caption,
                         void (*check)(HWND window)) {
    pressButtonThatOpensAWindow(dialog, buttonId);
    const HWND window = waitForDialog(GetWindowThreadProcessId(dialog, nullptr), caption, 4000);
    ASSERT_NE(window, nullptr) << "\"" << caption << "\" did not open";
    expectOnScreen(window, caption);
    check(window);
    PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(waitForClose(window));
}

uint64_t fnv1a(const std::vector<uint8_t>& bytes) {
    uint64_t hash = 14695981039346656037ull;
    for (uint8_t b : bytes)
        hash = (hash ^ b) * 1099511628211ull;
    return hash;
}

// The window pixel that shows a layout pixel of the work area: the layout of
// 216 x 285 pixels scaled by one factor to fit the window, and centred.
POINT windowPointOf(HWND area, PixelPoint layout) {
    RECT client{};
    GetClientRect(area, &client);
    const double factor = std::min(client.right / 216.0, client.bottom / 285.0);
    const double left = (client.right - 216 * factor) / 2, top = (client.bottom - 285 * factor) / 2;
    return {LONG(std::lround(left + layout.x * factor)),
            LONG(std::lround(top + layout.y * factor))};
}
} // namespace

// The scaling matrix names the scaling it set, lest a prefix ignoring it pass unnoticed.
TEST(DisplayScaling, TheScreenHasTheScalingAsked) {
    const char* asked = std::getenv("ORVANE_EXPECTED_DPI");
    EXPECT_EQ(screenDpi(), asked ? std::atoi(asked) : screenDpi());
}

TEST(DisplayScaling, TheDialogAndEveryWindowItOpensLieOnTheScreenAndTheirTextsFit) {
    const OwnerNearTheEdge owner;
    withSampleDialog(
        [&](HWND dialog, HostSession&) {
            SCOPED_TRACE(screenDpi());
            expectOnScreen(dialog, "the main dialog");
            expectTextsFit(dialog);
            expectSliderTextsFit(dialog);
            if (screenDpi() != 96) {
                EXPECT_TRUE(saveWindowScreenshot(dialog, "main_dialog_" +
                                                             std::to_string(screenDpi()) + ".png"));
            }

            checkWindowOpenedBy(dialog, kControlSaveStyle, "Enregistrer sous...", expectTextsFit);
            // The host's colour picker, in French.
            const std::string prompt = systemName("Couleur de la lumière :");
            checkWindowOpenedBy(dialog, kControlLightColour, prompt.c_str(), [](HWND picker) {
                EXPECT_EQ(windowText(GetDlgItem(picker, IDCANCEL)), "Annuler");
                EXPECT_EQ(windowText(GetDlgItem(picker, 712)), "Aj&outer la couleur");
                expectTextsFit(picker);
            });

            // The alert about the only light: a click beside the lights gives
            // the work area the keys.
            UserInput user(dialog);
            const HWND area = GetDlgItem(dialog, kControlWorkArea);
            user.click(area, windowPointOf(area, {4, 4}));
            user.type(VK_DELETE);
            const HWND alert =
                waitForDialog(GetWindowThreadProcessId(dialog, nullptr), "Alerte", 3000);
            ASSERT_NE(alert, nullptr) << "no alert";
            expectOnScreen(alert, "the alert");
            PostMessageA(alert, WM_COMMAND, IDOK, 0);
            EXPECT_TRUE(waitForClose(alert));
            for (int waited = 0; !IsWindowEnabled(dialog) && waited < 2000; waited += 10)
                Sleep(10);
            pressButton(dialog, kControlCancel);
        },
        owner.window);
}

TEST(DisplayScaling, TheAboutBoxAndTheModulesOwnColourDialogLieOnTheScreenAndTheirTextsFit) {
    const OwnerNearTheEdge owner;
    TestHost host(20, 20);
    host.record.windowInfo->ownerWindow = owner.window;
    EXPECT_TRUE(driveModalWindow(
        "#32770", [&] { host.session.showAbout(); },
        [](HWND about) {
            expectOnScreen(about, "the about box");
            expectTextsFit(about);
            PostMessageA(about, WM_LBUTTONUP, 0, 0);
        }));
    // Without a host picker the module shows the system's colour dialog; white
    // shows the widest numbers.
    uint16_t colour[3] = {65535, 65535, 65535};
    EXPECT_TRUE(driveModalWindow(
        "#32770", [&] { PickColor(nullptr, kStringAmbientColourPrompt, colour); },
        [](HWND picker) {
            expectOnScreen(picker, "the colour dialog");
            expectTextsFit(picker);
            PostMessageA(picker, WM_COMMAND, IDCANCEL, 0);
        }));
}

TEST(DisplayScaling, TheHostsColourPickerShowsTheModulesFrenchTemplate) {
    // The template the host shows is the module's own dialog 106, byte for byte.
    const HRSRC found =
        FindResourceA(loadedModule(), MAKEINTRESOURCEA(kDialogColourPicker), MAKEINTRESOURCEA(5));
    ASSERT_NE(found, nullptr);
    const auto* module =
        static_cast<const uint8_t*>(LockResource(LoadResource(loadedModule(), found)));
    const std::span<const uint8_t> host = colourPickerTemplateBytes();
    ASSERT_EQ(host.size(), SizeofResource(loadedModule(), found));
    EXPECT_TRUE(std::equal(host.begin(), host.end(), module));
}

// The image OK applies with the default settings on a test pattern, taken at
// 96 DPI: every scaling must apply the very same bytes.
constexpr uint64_t kDefaultImageAt96Dpi = 0x513d10f743781820;

class DisplayScalingTest : public StyleFolderTest {};

TEST_F(DisplayScalingTest, OkAppliesTheImageOf96Dpi) {
    TestHost host(200, 150);
    ASSERT_EQ(runWithDialog(host, [](HWND dialog) { pressButton(dialog, kControlOk); }), 0);
    EXPECT_EQ(fnv1a(host.rgb()), kDefaultImageAt96Dpi) << std::hex << fnv1a(host.rgb());
    const PluginState& state = *host.state();
    EXPECT_EQ(state.settings.frameCenter.x, 108);
    EXPECT_EQ(state.settings.frameCenter.y, 142);
}

namespace {
COLORREF shownAt(HWND window, POINT p) {
    const WindowDC dc(window);
    return GetPixel(dc.get(), p.x, p.y);
}

COLORREF colourOf(const LightSource& light) {
    return RGB(light.color[0] >> 8, light.color[1] >> 8, light.color[2] >> 8);
}

POINT middleOf(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right / 2, client.bottom / 2};
}

// The movements a user makes, each scaled to the window from layout pixels:
// what they do must be what the same movements do at 96 DPI.
void moveLightsAsAUser(HWND dialog, const Settings& settings) {
    const HWND area = GetDlgItem(dialog, kControlWorkArea);
    const LightSource& light = settings.lights[0];
    UserInput user(dialog);
    // The spot's first handle, at the tip of its first axis, to 40 pixels right of its centre.
    const PixelPoint m = lightCentre(light);
    user.drag(area, windowPointOf(area, {m.x + light.vector0.x, m.y + light.vector0.y}), area,
              windowPointOf(area, {m.x + 40, m.y}));
    EXPECT_EQ(light.vector0.x, 40);
    EXPECT_EQ(light.vector0.y, 0);
    // The dot to (150, 200), then three pixels right and ten down by the keys.
    user.drag(area, windowPointOf(area, m), area, windowPointOf(area, {150, 200}));
    EXPECT_EQ(lightCentre(light), (PixelPoint{150, 200}));
    for (int i = 0; i < 3; ++i)
        user.type(VK_RIGHT);
    user.type(VK_DOWN, {VK_SHIFT});
    EXPECT_EQ(lightCentre(light), (PixelPoint{153, 210}));
    // The dot is drawn where the mouse finds it.
    EXPECT_EQ(shownAt(area, windowPointOf(area, {153, 210})), colourOf(light));
    // A new light from the well, dropped at (60, 70).
    user.drag(GetDlgItem(dialog, kControlLightWell),
              middleOf(GetDlgItem(dialog, kControlLightWell)), area, windowPointOf(area, {60, 70}));
    ASSERT_EQ(settings.lightCount, 2);
    EXPECT_EQ(lightCentre(settings.lights[1]), (PixelPoint{60, 70}));
}
} // namespace

TEST_F(DisplayScalingTest, TheMouseAndTheKeysMoveAndShapeLightsAsAt96Dpi) {
    TestHost host(200, 150);
    ASSERT_EQ(runWithDialog(host,
                            [&](HWND dialog) {
                                moveLightsAsAUser(dialog, host.state()->settings);
                                pressButton(dialog, kControlOk);
                            }),
              0);
    // What OK kept: positions relative to the frame's centre, as at 96 DPI.
    const Settings& settings = host.state()->settings;
    EXPECT_EQ(settings.lights[0].position.x, 153 - 108);
    EXPECT_EQ(settings.lights[0].position.y, 210 - 142);
    EXPECT_EQ(settings.lights[1].position.x, 60 - 108);
    EXPECT_EQ(settings.lights[1].position.y, 70 - 142);
}
