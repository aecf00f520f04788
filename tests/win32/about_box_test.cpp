// The about box of the real module, opened as the host opens it (selector 0)
// and driven from a helper thread: what closes it, where it stands, and the
// background brush that lives exactly as long as it is open.
#include <windows.h>

#include <gtest/gtest.h>

#include "protocol/host_record.h"
#include "shell/entry_point.h"
#include "tests/support/win32_module.h"

namespace {
using EntryPoint = void (*)(int16_t, void*, intptr_t*, int16_t*);

EntryPoint moduleEntryPoint() {
    return reinterpret_cast<EntryPoint>(
        reinterpret_cast<void*>(GetProcAddress(loadedModule(), "ENTRYPOINT1")));
}

// A plain top-level window standing in for the host's main window.
class OwnerWindow {
  public:
    OwnerWindow()
        : window(CreateWindowExA(0, "STATIC", "Zerafin", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 80,
                                 500, 400, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr)) {}
    ~OwnerWindow() { DestroyWindow(window); }
    HWND window;
};

struct AboutRun {
    int16_t result = 99;
    bool closed = false;
};

// Opens the about box through ENTRYPOINT1 with selector 0, owned by `owner`,
// and lets `drive` act on it from the helper thread.
AboutRun runAboutBox(HWND owner, const std::function<void(HWND)>& drive) {
    WindowInfo windowInfo{owner};
    AboutRecord about{&windowInfo};
    intptr_t slot = 0;
    AboutRun run;
    run.closed = driveModalWindow(
        "#32770", [&] { moduleEntryPoint()(SelectorAbout, &about, &slot, &run.result); }, drive);
    return run;
}

// The shared background brush, as the box hands it to its static texts.
HBRUSH backgroundBrushOf(HWND dialog) {
    HWND text = GetWindow(dialog, GW_CHILD);
    HDC dc = CreateCompatibleDC(nullptr);
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageA(
        dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(text)));
    DeleteDC(dc);
    return brush;
}

bool isLiveBrush(HBRUSH brush) {
    return brush && GetObjectType(brush) == OBJ_BRUSH;
}
} // namespace

class AboutBox : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(loadedModule(), nullptr) << builtModulePath();
        ASSERT_NE(moduleEntryPoint(), nullptr);
    }
    OwnerWindow owner;
};

TEST_F(AboutBox, ClosesOnAClickAnywhere) {
    const AboutRun run = runAboutBox(
        owner.window, [](HWND dialog) { PostMessageA(dialog, WM_LBUTTONUP, 0, MAKELPARAM(5, 5)); });
    EXPECT_TRUE(run.closed);
    EXPECT_EQ(run.result, 0);
}

TEST_F(AboutBox, ClosesOnTheEnterKey) {
    // As typed: the dialog manager turns Enter into command 1.
    EXPECT_TRUE(runAboutBox(owner.window, [](HWND dialog) {
                    PostMessageA(dialog, WM_KEYDOWN, VK_RETURN, 0);
                }).closed);
    // As the procedure receives it when the box itself has the keyboard.
    EXPECT_TRUE(runAboutBox(owner.window, [](HWND dialog) {
                    SendMessageA(dialog, WM_KEYDOWN, VK_RETURN, 0);
                }).closed);
}

TEST_F(AboutBox, ClosesOnCommandOne) {
    EXPECT_TRUE(runAboutBox(owner.window, [](HWND dialog) {
                    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
                }).closed);
}

TEST_F(AboutBox, LeavesEscapeAndOtherKeysToTheDefaultHandling) {
    bool stayedOpen = false;
    runAboutBox(owner.window, [&](HWND dialog) {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        SendMessageA(dialog, WM_KEYDOWN, 'A', 0);
        Sleep(200);
        stayedOpen = IsWindow(dialog) && IsWindowVisible(dialog);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_TRUE(stayedOpen);
}

TEST_F(AboutBox, StandsCentredOnTheHostWindowAndBelongsToIt) {
    RECT around, box{};
    GetWindowRect(owner.window, &around);
    HWND boxOwner = nullptr;
    runAboutBox(owner.window, [&](HWND dialog) {
        GetWindowRect(dialog, &box);
        boxOwner = GetWindow(dialog, GW_OWNER);
        EXPECT_TRUE(saveWindowScreenshot(dialog, "about_box.png"));
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(boxOwner, owner.window);
    const int width = box.right - box.left, height = box.bottom - box.top;
    EXPECT_GT(width, 0);
    EXPECT_EQ(box.left, (around.left + around.right) / 2 - width / 2);
    EXPECT_EQ(box.top, (around.top + around.bottom) / 2 - height / 2);
}

TEST_F(AboutBox, PaintsWithOneButtonFaceBrushThatDiesWithTheBox) {
    HBRUSH first = nullptr, second = nullptr;
    bool firstAliveWhileOpen = false, firstDeadDuringSecond = false;
    LOGBRUSH colour{};
    runAboutBox(owner.window, [&](HWND dialog) {
        first = backgroundBrushOf(dialog);
        firstAliveWhileOpen = isLiveBrush(first);
        GetObjectA(first, sizeof colour, &colour);
        PostMessageA(dialog, WM_LBUTTONUP, 0, 0);
    });
    EXPECT_TRUE(firstAliveWhileOpen);
    EXPECT_EQ(colour.lbStyle, UINT(BS_SOLID));
    EXPECT_EQ(colour.lbColor, GetSysColor(COLOR_BTNFACE));
    EXPECT_FALSE(isLiveBrush(first)) << "the brush outlives the box";
    // Opening it again makes one new brush; the old one stays gone.
    runAboutBox(owner.window, [&](HWND dialog) {
        second = backgroundBrushOf(dialog);
        firstDeadDuringSecond = first == second || !isLiveBrush(first);
        EXPECT_TRUE(isLiveBrush(second));
        PostMessageA(dialog, WM_LBUTTONUP, 0, 0);
    });
    EXPECT_TRUE(firstDeadDuringSecond);
    EXPECT_FALSE(isLiveBrush(second));
}
