// The settings slider as a window on its own: clicks, drags past its ends, a
// lost capture, the disabled look, cut labels, degenerate sizes, a slider that
// never got its record, and records taken from the host and given back. Also
// the wait the drags use.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "protocol/plugin_api.h"
#include "tests/support/dialog_driver.h"
#include "ui/busy_wait.h"
#include "ui/slider_control.h"
#include "ui/ui_services.h"

namespace {
constexpr int kSliderId = 1027;
std::vector<std::pair<int, HWND>> notifications; // what the parent heard

LRESULT CALLBACK parentProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND)
        notifications.push_back({int(wParam), reinterpret_cast<HWND>(lParam)});
    return DefWindowProcA(window, message, wParam, lParam);
}

class SliderTest : public testing::Test {
  protected:
    void SetUp() override {
        registerWindowClasses();
        WNDCLASSA parentClass{};
        parentClass.lpfnWndProc = parentProcedure;
        parentClass.hInstance = GetModuleHandleA(nullptr);
        parentClass.lpszClassName = "SliderTestParent";
        RegisterClassA(&parentClass);
        parent = CreateWindowA("SliderTestParent", "", WS_POPUP | WS_VISIBLE, 50, 50, 300, 100,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        notifications.clear();
    }
    void TearDown() override {
        DestroyWindow(parent);
        UnregisterClassA("SliderTestParent", GetModuleHandleA(nullptr));
        unregisterWindowClasses();
    }

    HWND makeSlider(int width, const char* label = "Brillance :", HWND owner = nullptr) {
        return CreateWindowA("VR_slider_control_window", label, WS_CHILD | WS_VISIBLE, 10, 10,
                             width, 19, owner ? owner : parent, reinterpret_cast<HMENU>(kSliderId),
                             GetModuleHandleA(nullptr), nullptr);
    }
    HWND makeSliderWithRecord(int width, SliderRange range,
                              const char* label = "Brillance :", const char* left = "Mat") {
        const HWND slider = makeSlider(width, label);
        EXPECT_TRUE(CreateSlider(slider, {label, left, "Brillant", range.minimum, range.maximum,
                                          128, 50, defaultFont(), false}));
        UpdateWindow(slider);
        return slider;
    }
    static HFONT defaultFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }
    static SliderGeometry geometryOf(HWND slider) {
        const auto* record = reinterpret_cast<const SliderRecord*>(GetWindowLongPtrA(slider, 0));
        return sliderGeometry(record->width, record->height, record->labelWidth);
    }
    static COLORREF trackColour(HWND slider) {
        const SliderGeometry g = geometryOf(slider);
        HDC dc = GetDC(slider);
        const COLORREF colour = GetPixel(dc, (g.trackLeft + g.trackRight) / 2 + 3, g.trackY);
        ReleaseDC(slider, dc);
        return colour;
    }

    HWND parent = nullptr;
};
} // namespace

TEST_F(SliderTest, ClicksAndDragsSetTheValueUnderTheMouseAndNotifyOnceOnRelease) {
    const HWND slider = makeSliderWithRecord(207, {0, 256});
    const SliderGeometry g = geometryOf(slider);
    const int y = g.trackY + 2;
    const int x = g.trackLeft + (g.trackRight - g.trackLeft) * 3 / 4;
    clickAt(slider, x, y);
    EXPECT_EQ(sliderValue(slider), restingValue(valueForX(g, {0, 256}, x), false));
    ASSERT_EQ(notifications.size(), 1u);
    EXPECT_EQ(notifications[0].first, kSliderId); // notification code 0
    EXPECT_EQ(notifications[0].second, slider);

    // Under the mouse, a position whose number a script would read back as
    // its neighbour: the thumb rests on the neighbour, showing the same number.
    int shared = g.trackLeft;
    while (valueForX(g, {0, 256}, shared) == restingValue(valueForX(g, {0, 256}, shared), false))
        ++shared;
    ASSERT_LE(shared, g.trackRight);
    clickAt(slider, shared, y);
    EXPECT_EQ(sliderValue(slider), restingValue(valueForX(g, {0, 256}, shared), false));
    EXPECT_NE(sliderValue(slider), valueForX(g, {0, 256}, shared));
    notifications.pop_back();

    dragTo(slider, x, g.trackRight + 60, y);
    EXPECT_EQ(sliderValue(slider), 256);
    dragTo(slider, x, -30, y);
    EXPECT_EQ(sliderValue(slider), 0);
    EXPECT_EQ(notifications.size(), 3u);

    // A press above the track is no drag.
    clickAt(slider, x, g.trackY - 3);
    EXPECT_EQ(notifications.size(), 3u);
    EXPECT_EQ(sliderValue(slider), 0);
}

TEST_F(SliderTest, ADragEndsWhenTheCaptureIsLost) {
    const HWND slider = makeSliderWithRecord(207, {0, 256});
    const SliderGeometry g = geometryOf(slider);
    SendMessageA(slider, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(g.trackLeft + 20, g.trackY));
    EXPECT_EQ(GetCapture(), slider);
    SetCapture(parent); // another window takes the mouse
    EXPECT_EQ(notifications.size(), 1u) << "the value reached so far is reported";
    const int16_t reached = sliderValue(slider);
    SendMessageA(slider, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(g.trackRight, g.trackY));
    SendMessageA(slider, WM_LBUTTONUP, 0, MAKELPARAM(g.trackRight, g.trackY));
    EXPECT_EQ(sliderValue(slider), reached);
    EXPECT_EQ(notifications.size(), 1u);
    ReleaseCapture();

    SendMessageA(slider, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(g.trackLeft + 20, g.trackY));
    SendMessageA(slider, WM_CANCELMODE, 0, 0);
    EXPECT_NE(GetCapture(), slider);
    EXPECT_EQ(notifications.size(), 2u);
}

TEST_F(SliderTest, ADisabledSliderIgnoresClicksAndDrawsInTheDisabledColour) {
    const HWND slider = makeSliderWithRecord(207, {0, 256});
    EXPECT_EQ(trackColour(slider), RGB(0, 0, 0));
    EnableWindow(slider, FALSE);
    EXPECT_EQ(trackColour(slider), GetSysColor(COLOR_GRAYTEXT));
    const SliderGeometry g = geometryOf(slider);
    clickAt(slider, g.trackRight, g.trackY + 2);
    EXPECT_EQ(sliderValue(slider), 128);
    EXPECT_TRUE(notifications.empty());
    EnableWindow(slider, TRUE);
    EXPECT_EQ(trackColour(slider), RGB(0, 0, 0));
}

TEST_F(SliderTest, TextsAreCutTo31Characters) {
    const std::string longText(40, 'x');
    const HWND slider = makeSliderWithRecord(207, {0, 256}, longText.c_str(), longText.c_str());
    const auto* record = reinterpret_cast<const SliderRecord*>(GetWindowLongPtrA(slider, 0));
    EXPECT_EQ(std::string(record->label), longText.substr(0, 31));
    EXPECT_EQ(std::string(record->leftLabel), longText.substr(0, 31));
}

TEST_F(SliderTest, DegenerateSlidersAndASliderWithoutItsRecordStayCalm) {
    const HWND narrow = makeSliderWithRecord(30, {0, 256});
    clickAt(narrow, 20, 15);
    dragTo(narrow, 20, 200, 15);
    DestroyWindow(narrow);
    const HWND empty = makeSliderWithRecord(207, {40, 40});
    const SliderGeometry g = geometryOf(empty);
    dragTo(empty, g.trackLeft, g.trackRight, g.trackY + 2);
    EXPECT_EQ(sliderValue(empty), 40);
    DestroyWindow(empty);
    EXPECT_EQ(notifications.size(), 1u) << "only the slider with a track could be pressed";

    notifications.clear();
    const HWND bare = makeSlider(207);
    UpdateWindow(bare);
    clickAt(bare, 100, 15);
    dragTo(bare, 60, 150, 15);
    EnableWindow(bare, FALSE);
    EXPECT_TRUE(notifications.empty());
    EXPECT_EQ(sliderValue(bare), 0);
}

TEST_F(SliderTest, EachSliderTakesItsRecordFromTheHostAndGivesItBackWhenDestroyed) {
    const HWND first = makeSlider(207);
    EXPECT_EQ(GetClassLongA(first, GCL_CBWNDEXTRA), LONG(sizeof(LONG_PTR)));
    DestroyWindow(first);

    const int32_t before = HostLivePointerCount();
    // Sliders destroyed one by one, with a value written and read back and a
    // repaint through their messages.
    std::vector<HWND> sliders;
    for (int16_t i = 0; i < 40; ++i) {
        sliders.push_back(makeSliderWithRecord(207, {0, 256}));
        setSliderValue(sliders.back(), i);
        InvalidateRect(sliders.back(), nullptr, FALSE);
        UpdateWindow(sliders.back());
        EXPECT_EQ(sliderValue(sliders.back()), i);
    }
    EXPECT_EQ(HostLivePointerCount(), before + 40);
    for (HWND slider : sliders)
        DestroyWindow(slider);
    EXPECT_EQ(HostLivePointerCount(), before);

    // Sliders destroyed with their parent window.
    const HWND owner = CreateWindowA("SliderTestParent", "", WS_POPUP | WS_VISIBLE, 50, 200, 300,
                                     100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    for (int i = 0; i < 25; ++i)
        ASSERT_TRUE(
            CreateSlider(makeSlider(207, "Relief :", owner),
                         {"Relief :", "Plat", "Montagne", 0, 256, 128, 50, defaultFont(), true}));
    EXPECT_EQ(HostLivePointerCount(), before + 25);
    DestroyWindow(owner);
    EXPECT_EQ(HostLivePointerCount(), before);

    // After all that, a fresh slider still follows the mouse and reports.
    const HWND slider = makeSliderWithRecord(207, {0, 256});
    const SliderGeometry g = geometryOf(slider);
    clickAt(slider, g.trackRight, g.trackY + 2);
    EXPECT_EQ(sliderValue(slider), 256);
    EXPECT_EQ(notifications.size(), 1u);
    DestroyWindow(slider);
    EXPECT_EQ(HostLivePointerCount(), before);
}

TEST(BusyWait, WaitsItsTimeAsleepAndLeavesMessagesQueued) {
    PostThreadMessageA(GetCurrentThreadId(), WM_APP, 0, 0);
    FILETIME created, ended, kernelBefore, userBefore, kernelAfter, userAfter;
    GetThreadTimes(GetCurrentThread(), &created, &ended, &kernelBefore, &userBefore);
    const DWORD start = GetTickCount();
    BusyWait(150);
    const DWORD waited = GetTickCount() - start;
    GetThreadTimes(GetCurrentThread(), &created, &ended, &kernelAfter, &userAfter);
    EXPECT_GE(waited, 150u);
    EXPECT_LT(waited, 400u);
    auto ticks = [](FILETIME t) { return (uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    const uint64_t busy =
        ticks(kernelAfter) - ticks(kernelBefore) + ticks(userAfter) - ticks(userBefore);
    EXPECT_LT(busy, 50u * 10000u) << "more than 50 ms of processor time"; // 100 ns units
    MSG message;
    EXPECT_TRUE(PeekMessageA(&message, nullptr, WM_APP, WM_APP, PM_REMOVE));
}
