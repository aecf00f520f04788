// The work area driven as a user drives it through the whole filtering run
// (mouse messages through the dialog's own message loop, keys through the
// system's input queue): lights out of the well, moved by their dot, thrown in
// the trash, copied with Alt, shaped by their handles, and the keys.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>

#include "platform/win32/gdi.h"
#include "resources/resource_ids.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/main_dialog_support.h"
#include "tests/support/styles_test_support.h"
#include "tests/support/user_input.h"
#include "ui/control_bitmap.h"
#include "ui/light_figures.h"
#include "ui/light_geometry.h"

namespace {
POINT pointOf(PixelPoint p) {
    return {p.x, p.y};
}

POINT centreOf(const LightSource& light) {
    return pointOf(lightCentre(light));
}

SIZE clientSizeOf(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

double lengthOf(Point16 v) {
    return std::hypot(v.x, v.y);
}

// The pixels of a device context from its top-left corner.
std::vector<uint32_t> pixelsOf(HDC dc, SIZE size) {
    const MemoryDC memory(dc);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB};
    void* bits = nullptr;
    const Bitmap section(CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    {
        const SelectedObject selected(memory.get(), section.get());
        BitBlt(memory.get(), 0, 0, size.cx, size.cy, dc, 0, 0, SRCCOPY);
    }
    const auto* begin = static_cast<const uint32_t*>(bits);
    return std::vector<uint32_t>(begin, begin + size.cx * size.cy);
}

std::vector<uint32_t> windowPixels(HWND window) {
    const WindowDC dc(window);
    return pixelsOf(dc.get(), clientSizeOf(window));
}

// Whether a control shows the bitmap as the light well and the trash draw it.
bool showsBitmap(HWND control, int bitmapId) {
    const WindowDC dc(control);
    const MemoryDC expected(dc.get());
    const SIZE size = clientSizeOf(control);
    const Bitmap canvas(CreateCompatibleBitmap(dc.get(), size.cx, size.cy));
    const SelectedObject selected(expected.get(), canvas.get());
    drawControlBitmap(control, expected.get(), bitmapId);
    return windowPixels(control) == pixelsOf(expected.get(), size);
}

// Waits for the alert about the only light, and closes it.
void expectOnlyLightAlert(HWND dialog) {
    const HWND box = waitForDialog(GetWindowThreadProcessId(dialog, nullptr), "Alerte", 3000);
    ASSERT_NE(box, nullptr) << "no alert";
    EXPECT_EQ(messageText(box), "Impossible de supprimer l'unique source lumineuse existante.");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(waitForClose(box));
    for (int waited = 0; !IsWindowEnabled(dialog) && waited < 2000; waited += 10)
        Sleep(10); // the box gives its owner back its input
}

// How much brighter the lit document is than the original around an image point.
double gainAround(const TestHost& host, const std::vector<uint8_t>& original, int x, int y) {
    const std::vector<uint8_t> lit = host.rgb();
    const int width = host.document.width, height = host.document.height;
    double gain = 0;
    for (int yy = std::max(0, y - 8); yy < std::min(height, y + 8); ++yy)
        for (int xx = std::max(0, x - 8); xx < std::min(width, x + 8); ++xx)
            for (int c = 0; c < 3; ++c) {
                const size_t i = (size_t(yy) * width + xx) * 3 + c;
                gain += lit[i] - original[i];
            }
    return gain;
}

class WorkAreaTest : public StyleFolderTest {};
} // namespace

TEST_F(WorkAreaTest, LightsComeFromTheWellMoveByTheirDotAndGoToTheTrash) {
    TestHost host(160, 120);
    runWithDialog(host, [&](HWND dialog) {
        PluginState& state = *host.state();
        Settings& settings = state.settings;
        UserInput user(dialog);
        const HWND area = GetDlgItem(dialog, kControlWorkArea);
        const HWND well = GetDlgItem(dialog, kControlLightWell);
        const HWND trash = GetDlgItem(dialog, kControlTrash);
        const SIZE size = clientSizeOf(area);
        ASSERT_EQ(settings.lightCount, 1);

        // Out of the well: released outside the work area or on its border, nothing.
        user.drag(well, {8, 8}, dialog, {2, 2});
        user.drag(well, {8, 8}, area, {0, size.cy / 2});
        user.drag(well, {8, 8}, area, {size.cx / 2, size.cy});
        // A drag that loses the capture ends at once, adding nothing.
        user.press(well, {8, 8});
        PostMessageA(area, WM_CANCELMODE, 0, 0);
        user.release(area, {60, 80});
        EXPECT_EQ(settings.lightCount, 1);
        expectPreviewFollows(state, "new light", [&] { user.drag(well, {8, 8}, area, {60, 80}); });
        ASSERT_EQ(settings.lightCount, 2);
        EXPECT_EQ(settings.currentLight, 1);
        const LightSource& added = settings.lights[1];
        EXPECT_EQ(lightCentre(added), (PixelPoint{60, 80}));
        EXPECT_EQ(added.origin.x, settings.frameCenter.x);
        EXPECT_EQ(added.type, uint32_t(Spot));
        EXPECT_TRUE(added.enabled);
        EXPECT_EQ(added.intensity, 65);
        EXPECT_EQ(added.focus, 128);
        EXPECT_EQ(added.radius, 30);
        EXPECT_EQ(added.vector1.x, -15);
        EXPECT_EQ(added.color[1], 65535);

        // A click on a dot selects its light and changes nothing else.
        const Point16 firstPosition = settings.lights[0].position;
        std::vector<uint8_t> shown = resultPixels(state);
        user.click(area, centreOf(settings.lights[0]));
        EXPECT_EQ(settings.currentLight, 0);
        EXPECT_EQ(settings.lights[0].position.x, firstPosition.x);
        EXPECT_EQ(settings.lights[0].position.y, firstPosition.y);
        EXPECT_EQ(resultPixels(state), shown);

        // A drag moves it; released outside the work area it goes back.
        expectPreviewFollows(state, "moved", [&] {
            user.drag(area, centreOf(settings.lights[0]), area, {150, 200});
        });
        EXPECT_EQ(lightCentre(settings.lights[0]), (PixelPoint{150, 200}));
        shown = resultPixels(state);
        user.drag(area, {150, 200}, area, {size.cx + 40, 20});
        EXPECT_EQ(lightCentre(settings.lights[0]), (PixelPoint{150, 200}));
        EXPECT_EQ(resultPixels(state), shown);

        // Three lights; the middle one dropped on the trash goes, the others
        // keep their order, and light 0 is selected.
        user.drag(well, {8, 8}, area, {100, 250});
        user.click(area, {60, 80});
        ASSERT_EQ(settings.currentLight, 1);
        user.press(area, {60, 80});
        Sleep(300);
        user.moveTo(trash, {6, 6});
        EXPECT_TRUE(showsBitmap(trash, kBitmapTrashFull));
        user.release(trash, {6, 6});
        EXPECT_TRUE(showsBitmap(trash, kBitmapTrashEmpty));
        ASSERT_EQ(settings.lightCount, 2);
        EXPECT_EQ(settings.currentLight, 0);
        EXPECT_EQ(lightCentre(settings.lights[0]), (PixelPoint{150, 200}));
        EXPECT_EQ(lightCentre(settings.lights[1]), (PixelPoint{100, 250}));

        // Alt on the selected dot drags a copy, switched on, to the release point.
        pressButton(dialog, kControlLightOn);
        ASSERT_FALSE(settings.lights[0].enabled);
        settings.lights[0].radius = 44;
        user.drag(area, {150, 200}, area, {40, 40}, {VK_MENU});
        ASSERT_EQ(settings.lightCount, 3);
        const LightSource &model = settings.lights[0], &copy = settings.lights[2];
        EXPECT_EQ(lightCentre(copy), (PixelPoint{40, 40}));
        EXPECT_EQ(lightCentre(model), (PixelPoint{150, 200}));
        EXPECT_TRUE(copy.enabled);
        EXPECT_EQ(copy.radius, 44);
        EXPECT_EQ(copy.type, model.type);
        EXPECT_EQ(copy.vector0.x, model.vector0.x);
        EXPECT_EQ(copy.intensity, model.intensity);
        pressButton(dialog, kControlOk);
    });
    ASSERT_NE(host.block(), nullptr);
    EXPECT_EQ(host.state()->settings.lightCount, 3);
    EXPECT_EQ(host.block()->lightCount, 2) << "the lights the run lit: light 0 is off";
}

TEST_F(WorkAreaTest, HandlesShapeEachTypeAndFiguresDrawnTwiceLeaveNoTrace) {
    TestHost host(160, 120);
    runWithDialog(host, [&](HWND dialog) {
        PluginState& state = *host.state();
        LightSource& light = state.settings.lights[0];
        UserInput user(dialog);
        const HWND area = GetDlgItem(dialog, kControlWorkArea);
        const SIZE size = clientSizeOf(area);
        const PixelPoint m = lightCentre(light);
        auto at = [&](int dx, int dy) { return POINT{m.x + dx, m.y + dy}; };

        // Omni: a handle dragged across the centre leaves radius 1.
        chooseRow(dialog, kControlLightType, 1);
        ASSERT_EQ(light.type, uint32_t(Omni));
        expectPreviewFollows(state, "omni radius", [&] {
            user.drag(area, at(light.radius, 0), area, at(-40, 0));
            EXPECT_EQ(light.radius, 1);
        });

        // Directional: Shift keeps the direction, Control the length.
        chooseRow(dialog, kControlLightType, 0);
        light.vector0 = {30, 40};
        user.drag(area, at(30, 40), area, at(-10, 75), {VK_SHIFT});
        EXPECT_EQ(light.vector0.x * 40 - light.vector0.y * 30, 0) << "the same direction";
        EXPECT_NEAR(lengthOf(light.vector0), std::hypot(10, 75), 1.0);
        const double length = lengthOf(light.vector0);
        user.drag(area, at(light.vector0.x, light.vector0.y), area, at(-50, 0), {VK_CONTROL});
        EXPECT_NEAR(lengthOf(light.vector0), length, 1.0) << "the same length";
        EXPECT_EQ(light.vector0.y, 0);
        EXPECT_LT(light.vector0.x, 0);

        // Spot: the first axis shorter than the second shortens the second;
        // the second beyond the first lengthens the first.
        chooseRow(dialog, kControlLightType, 2);
        light.vector0 = {40, 0};
        light.vector1 = {0, 30};
        user.drag(area, at(40, 0), area, at(20, 0));
        EXPECT_EQ(light.vector0.x, 20);
        EXPECT_EQ(light.vector1.y, 20);
        user.drag(area, at(0, -20), area, at(0, -50));
        EXPECT_EQ(light.vector1.y, 50);
        EXPECT_EQ(light.vector0.x, 50);
        // Dragged out of the work area, a handle stops one pixel inside.
        user.drag(area, at(50, 0), area, {size.cx + 60, m.y});
        EXPECT_EQ(m.x + light.vector0.x, size.cx - 2);
        EXPECT_EQ(light.vector0.x * light.vector1.x + light.vector0.y * light.vector1.y, 0);

        // Every outline drawn twice restores the work area's pixels.
        const WindowDC dc(area);
        const std::vector<uint32_t> before = pixelsOf(dc.get(), size);
        for (uint32_t type : {Omni, Directional, Spot}) {
            LightSource figure = light;
            figure.type = type;
            figure.radius = 25;
            DrawDragOutline(dc.get(), figure, state.preview.ellipseTable, true, true);
            EXPECT_NE(pixelsOf(dc.get(), size), before) << type;
            DrawDragOutline(dc.get(), figure, state.preview.ellipseTable, true, true);
            EXPECT_EQ(pixelsOf(dc.get(), size), before) << type;
        }
        pressButton(dialog, kControlCancel);
    });
}

TEST_F(WorkAreaTest, KeysSelectRemoveAndMoveLightsAndTheWellEmptiesAtSixteen) {
    TestHost host(160, 120);
    const std::vector<uint8_t> original = host.rgb();
    PixelPoint moved;
    runWithDialog(host, [&](HWND dialog) {
        PluginState& state = *host.state();
        Settings& settings = state.settings;
        UserInput user(dialog);
        const HWND area = GetDlgItem(dialog, kControlWorkArea);
        const HWND well = GetDlgItem(dialog, kControlLightWell);

        // The only light stays, whatever the user does.
        user.type(VK_TAB);
        EXPECT_EQ(settings.currentLight, 0);
        user.type(VK_DELETE);
        expectOnlyLightAlert(dialog);
        const PixelPoint centre = lightCentre(settings.lights[0]);
        user.drag(area, pointOf(centre), GetDlgItem(dialog, kControlTrash), {6, 6});
        expectOnlyLightAlert(dialog);
        EXPECT_EQ(settings.lightCount, 1);
        EXPECT_EQ(lightCentre(settings.lights[0]), centre);

        // Sixteen lights: the well is disabled and shows so.
        for (int i = 1; i < 15; ++i)
            settings.addLightAt(int16_t(20 + 10 * i), int16_t(20 + 12 * i));
        state.preview.everythingChanged();
        user.drag(well, {8, 8}, area, {30, clientSizeOf(area).cy - 20});
        ASSERT_EQ(settings.lightCount, 16);
        EXPECT_FALSE(IsWindowEnabled(well));
        EXPECT_TRUE(showsBitmap(well, kBitmapBulbGrey));

        // Tab and Shift+Tab go round the lights.
        user.type(VK_TAB);
        EXPECT_EQ(settings.currentLight, 0);
        user.type(VK_TAB, {VK_SHIFT});
        EXPECT_EQ(settings.currentLight, 15);
        user.type(VK_TAB);
        user.type(VK_TAB);
        user.type(VK_TAB);
        EXPECT_EQ(settings.currentLight, 2);

        // Delete: the later lights move down in order, light 0 is selected and
        // the well takes lights again.
        const PixelPoint third = lightCentre(settings.lights[3]);
        user.type(VK_DELETE);
        EXPECT_EQ(settings.lightCount, 15);
        EXPECT_EQ(settings.currentLight, 0);
        EXPECT_EQ(lightCentre(settings.lights[2]), third);
        EXPECT_TRUE(IsWindowEnabled(well));

        // The arrows move the selected light a pixel, ten with Shift, and stop
        // one pixel inside the border.
        const PixelPoint start = lightCentre(settings.lights[0]);
        user.type(VK_RIGHT);
        user.type(VK_DOWN, {VK_SHIFT});
        EXPECT_EQ(lightCentre(settings.lights[0]), (PixelPoint{start.x + 1, start.y + 10}));
        for (int i = 0; i < 30; ++i)
            user.type(VK_LEFT, {VK_SHIFT});
        EXPECT_EQ(lightCentre(settings.lights[0]).x, 1);
        // Then into the left of the picture, the only light that shines.
        moved = {state.preview.left + state.preview.width / 5,
                 state.preview.top + state.preview.height / 2};
        user.drag(area, centreOf(settings.lights[0]), area, pointOf(moved));
        for (int i = 1; i < 15; ++i) // only light 0 lights the picture
            settings.lights[i].enabled = false;
        pressButton(dialog, kControlOk);
    });
    // The rendered image is lit where the light stands, not where it stood.
    ASSERT_NE(host.state(), nullptr);
    const PluginState& state = *host.state();
    const int step = state.preview.step;
    const int x = (moved.x - state.preview.left) * step, y = (moved.y - state.preview.top) * step;
    EXPECT_GT(gainAround(host, original, x, y),
              gainAround(host, original, host.document.width - 1 - x, y));

    // Escape in the work area cancels the dialog.
    EXPECT_EQ(runWithDialog(host,
                            [&](HWND dialog) {
                                UserInput user(dialog);
                                user.keyDown(VK_ESCAPE);
                                user.keyUp(VK_ESCAPE);
                            }),
              1);
}
