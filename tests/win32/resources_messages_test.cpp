// The string-table message boxes of the plug-in, shown with the real module's
// strings: title and text from the table, the stop or exclamation icon, an OK
// button, owned by the active window.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/module_instance.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/win32_module.h"
#include "ui/ui_services.h"

namespace {
constexpr int kMessageTextId = 0xFFFF; // the message box's text control

struct SeenMessage {
    std::string title, text;
    HICON icon = nullptr;
    HWND owner = nullptr;
    bool hasOkButton = false;
};

BOOL CALLBACK findIconControl(HWND child, LPARAM found) {
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
        return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

// The icon the box shows (its icon control's ID differs between systems).
HICON shownIcon(HWND box) {
    HWND control = nullptr;
    EnumChildWindows(box, findIconControl, reinterpret_cast<LPARAM>(&control));
    return control ? reinterpret_cast<HICON>(SendMessageA(control, STM_GETICON, 0, 0)) : nullptr;
}

// Shows a message with the module's string table and reads the box back.
SeenMessage showAndRead(void (*show)(int, int), int titleId, int textId) {
    const HINSTANCE previous = moduleInstance();
    setModuleInstance(loadedModule());
    SeenMessage seen;
    driveModalWindow(
        "#32770", [&] { show(titleId, textId); },
        [&](HWND box) {
            seen.title = windowText(box);
            seen.text = windowText(GetDlgItem(box, kMessageTextId));
            seen.icon = shownIcon(box);
            seen.owner = GetWindow(box, GW_OWNER);
            seen.hasOkButton = GetDlgItem(box, IDOK) != nullptr;
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
    setModuleInstance(previous);
    return seen;
}

class OwnerWindow {
  public:
    OwnerWindow()
        : window(CreateWindowExA(0, "STATIC", "Zerafin", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                                 400, 300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr)) {
        SetActiveWindow(window);
    }
    ~OwnerWindow() { DestroyWindow(window); }
    HWND window;
};
} // namespace

TEST(StringTableMessages, ErrorShowsTheStopIconWithTheTableTexts) {
    ASSERT_NE(loadedModule(), nullptr);
    ASSERT_EQ(GetACP(), 1252u);
    OwnerWindow owner;
    const HWND active = GetActiveWindow();
    const SeenMessage seen = showAndRead(showErrorMessage, 1, 2);
    EXPECT_EQ(seen.title, "Erreur");
    EXPECT_EQ(seen.text, "Ce module requiert Zerafin 3.0 ou version ult\xE9rieure.");
    EXPECT_EQ(seen.icon, LoadIconA(nullptr, IDI_HAND));
    EXPECT_EQ(seen.owner, active);
    EXPECT_TRUE(seen.hasOkButton);
}

TEST(StringTableMessages, WarningShowsTheExclamationIcon) {
    ASSERT_NE(loadedModule(), nullptr);
    const SeenMessage seen = showAndRead(showWarningMessage, 21, 22);
    EXPECT_EQ(seen.title, "Alerte");
    EXPECT_EQ(seen.text, "Impossible de supprimer l'unique source lumineuse existante.");
    EXPECT_EQ(seen.icon, LoadIconA(nullptr, IDI_EXCLAMATION));
}

// Text 24 is the longest of the table; the 256-character buffer holds it whole.
TEST(StringTableMessages, LongestTextArrivesWhole) {
    ASSERT_NE(loadedModule(), nullptr);
    const SeenMessage seen = showAndRead(showWarningMessage, 23, 24);
    EXPECT_EQ(seen.text, "Impossible d'ajouter une source lumineuse car le nombre maximal est "
                         "atteint. Essayez d'utiliser une source existante.");
}
