// The module's dialog templates read back from the module and compared with
// the table they are built from, the controls' IDs and places, and what the
// system colour dialog needs of its template.
#include <windows.h>

#include <colordlg.h>
#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <cstring>
#include <set>

#include <gtest/gtest.h>

#include "resources/dialog_table.h"
#include "resources/resource_ids.h"
#include "tests/support/win32_module.h"

namespace {
struct Control {
    int id;
    std::string className; // upper case for the system classes
    std::string text;      // UTF-8
    int x, y, width, height;
    DWORD style;
};

struct DialogTemplate {
    DWORD style = 0;
    int x = 0, y = 0, width = 0, height = 0;
    std::string caption;
    int pointSize = 0;
    std::string font;
    std::vector<Control> controls;
};

// Reads a classic dialog template (not the extended form): 16-bit words,
// strings in UTF-16, each control aligned to 4 bytes.
class TemplateReader {
  public:
    explicit TemplateReader(const uint8_t* start) : start(start), at(start) {}

    WORD word() {
        WORD value;
        std::memcpy(&value, at, 2);
        at += 2;
        return value;
    }
    DWORD doubleWord() {
        const DWORD low = word();
        return low | DWORD(word()) << 16;
    }
    short signedWord() { return short(word()); }
    std::string text() {
        std::wstring wide;
        for (WORD character = word(); character != 0; character = word())
            wide += wchar_t(character);
        if (wide.empty())
            return "";
        char utf8[512] = "";
        WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), int(wide.size()), utf8, sizeof utf8, nullptr,
                            nullptr);
        return utf8;
    }
    // A string, or 0xFFFF followed by a number (a system class atom or an ID).
    std::string textOrNumber() {
        WORD first;
        std::memcpy(&first, at, 2);
        if (first != 0xFFFF)
            return text();
        word();
        return "#" + std::to_string(word());
    }
    void alignToFour() {
        while ((at - start) % 4 != 0)
            ++at;
    }

  private:
    const uint8_t* start;
    const uint8_t* at;
};

std::string systemClassName(const std::string& atomOrName) {
    const std::pair<const char*, const char*> atoms[] = {
        {"#128", "BUTTON"}, {"#129", "EDIT"}, {"#130", "STATIC"}, {"#133", "COMBOBOX"}};
    for (const auto& [atom, name] : atoms)
        if (atomOrName == atom)
            return name;
    return atomOrName;
}

Control readControl(TemplateReader& reader) {
    reader.alignToFour();
    Control control{};
    control.style = reader.doubleWord();
    reader.doubleWord(); // extended style
    control.x = reader.signedWord();
    control.y = reader.signedWord();
    control.width = reader.signedWord();
    control.height = reader.signedWord();
    control.id = reader.signedWord();
    control.className = systemClassName(reader.textOrNumber());
    control.text = reader.textOrNumber();
    const WORD extraBytes = reader.word();
    for (WORD index = 0; index < extraBytes; index += 2)
        reader.word();
    return control;
}

DialogTemplate readDialog(int id) {
    DialogTemplate dialog;
    HRSRC found = FindResourceA(loadedModule(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
    if (!found)
        return dialog;
    TemplateReader reader(
        static_cast<const uint8_t*>(LockResource(LoadResource(loadedModule(), found))));
    dialog.style = reader.doubleWord();
    reader.doubleWord(); // extended style
    const WORD count = reader.word();
    dialog.x = reader.signedWord();
    dialog.y = reader.signedWord();
    dialog.width = reader.signedWord();
    dialog.height = reader.signedWord();
    reader.textOrNumber(); // menu
    reader.textOrNumber(); // class
    dialog.caption = reader.text();
    if (dialog.style & DS_SETFONT) {
        dialog.pointSize = reader.word();
        dialog.font = reader.text();
    }
    for (WORD index = 0; index < count; ++index)
        dialog.controls.push_back(readControl(reader));
    return dialog;
}

bool isDropDown(const Control& control) {
    return control.className == "COMBOBOX";
}
} // namespace

// Item by item, so that a difference names its dialog and control.
TEST(DialogTemplates, EveryDialogIsTheTemplateOfTheTableItIsBuiltFrom) {
    ASSERT_NE(loadedModule(), nullptr);
    for (const DialogDescription& source : orvaneDialogs()) {
        SCOPED_TRACE("dialog " + std::to_string(source.id));
        const DialogTemplate dialog = readDialog(source.id);
        EXPECT_EQ(dialog.style, source.style | DS_SETFONT);
        EXPECT_EQ(dialog.caption, source.caption);
        EXPECT_EQ(dialog.x, source.x);
        EXPECT_EQ(dialog.y, source.y);
        EXPECT_EQ(dialog.width, source.width);
        EXPECT_EQ(dialog.height, source.height);
        EXPECT_EQ(dialog.font, source.font);
        EXPECT_EQ(dialog.pointSize, source.pointSize);
        ASSERT_EQ(dialog.controls.size(), source.controls.size());
        for (size_t index = 0; index < source.controls.size(); ++index) {
            const Control& control = dialog.controls[index];
            const DialogControl& want = source.controls[index];
            SCOPED_TRACE(std::to_string(want.id) + " " + want.text);
            EXPECT_EQ(control.id, want.id);
            EXPECT_EQ(control.className, want.className);
            EXPECT_EQ(control.text, want.text);
            EXPECT_EQ(control.x, want.x);
            EXPECT_EQ(control.y, want.y);
            EXPECT_EQ(control.width, want.width);
            EXPECT_EQ(control.height, want.height);
            EXPECT_EQ(control.style, want.style);
        }
    }
}

TEST(DialogTemplates, ControlsAreVisibleUniqueAndInsideTheirDialog) {
    for (int id : {kDialogAbout, kDialogMain, kDialogColourPicker, kDialogStyleName}) {
        SCOPED_TRACE("dialog " + std::to_string(id));
        const DialogTemplate dialog = readDialog(id);
        ASSERT_FALSE(dialog.controls.empty());
        EXPECT_EQ(dialog.style & (WS_POPUP | DS_MODALFRAME), DWORD(WS_POPUP | DS_MODALFRAME));
        std::set<int> ids;
        for (const Control& control : dialog.controls) {
            SCOPED_TRACE(std::to_string(control.id) + " " + control.text);
            EXPECT_EQ(control.style & (WS_CHILD | WS_VISIBLE), DWORD(WS_CHILD | WS_VISIBLE));
            if (control.id != -1) {
                EXPECT_TRUE(ids.insert(control.id).second) << "a second control with this ID";
            }
            if (control.id == COLOR_SOLID)
                continue; // the system dialog's solid-colour button stays out of sight
            EXPECT_GE(control.x, 0);
            EXPECT_GE(control.y, 0);
            EXPECT_LE(control.x + control.width, dialog.width);
            // A drop-down list's height includes its list, which may reach past the dialog.
            EXPECT_LE(isDropDown(control) ? control.y : control.y + control.height, dialog.height);
        }
    }
}

// The system colour dialog runs on template 106 only when it finds each of
// its controls under its own ID and class.
TEST(DialogTemplates, ColourPickerHasEveryControlTheSystemColourDialogReads) {
    const DialogTemplate dialog = readDialog(kDialogColourPicker);
    const std::pair<int, const char*> needed[] = {
        {COLOR_BOX1, "STATIC"},      {COLOR_CUSTOM1, "STATIC"},
        {COLOR_MIX, "BUTTON"},       {IDOK, "BUTTON"},
        {IDCANCEL, "BUTTON"},        {pshHelp, "BUTTON"},
        {COLOR_RAINBOW, "STATIC"},   {COLOR_LUMSCROLL, "STATIC"},
        {COLOR_CURRENT, "STATIC"},   {COLOR_SOLID, "BUTTON"},
        {COLOR_HUE, "EDIT"},         {COLOR_SAT, "EDIT"},
        {COLOR_LUM, "EDIT"},         {COLOR_RED, "EDIT"},
        {COLOR_GREEN, "EDIT"},       {COLOR_BLUE, "EDIT"},
        {COLOR_ADD, "BUTTON"},       {COLOR_HUEACCEL, "STATIC"},
        {COLOR_SATACCEL, "STATIC"},  {COLOR_LUMACCEL, "STATIC"},
        {COLOR_REDACCEL, "STATIC"},  {COLOR_GREENACCEL, "STATIC"},
        {COLOR_BLUEACCEL, "STATIC"},
    };
    for (const auto& [id, className] : needed) {
        const auto found = std::find_if(dialog.controls.begin(), dialog.controls.end(),
                                        [&](const Control& control) { return control.id == id; });
        ASSERT_NE(found, dialog.controls.end()) << id;
        EXPECT_EQ(found->className, className) << id;
    }
}

// The system colour dialog accepts template 106 and runs with it.
TEST(DialogTemplates, ColourPickerTemplateOpensTheSystemColourDialog) {
    HMODULE commonDialogs = LoadLibraryA("comdlg32.dll");
    ASSERT_NE(commonDialogs, nullptr);
    auto chooseColor = reinterpret_cast<BOOL(WINAPI*)(CHOOSECOLORA*)>(
        reinterpret_cast<void*>(GetProcAddress(commonDialogs, "ChooseColorA")));
    ASSERT_NE(chooseColor, nullptr);
    COLORREF customColours[16] = {};
    CHOOSECOLORA request{};
    request.lStructSize = sizeof request;
    request.hInstance = reinterpret_cast<HWND>(loadedModule());
    request.rgbResult = RGB(255, 200, 0);
    request.lpCustColors = customColours;
    request.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLETEMPLATE;
    request.lpTemplateName = MAKEINTRESOURCEA(106);
    std::string caption;
    const bool closed = driveModalWindow(
        "#32770", [&] { chooseColor(&request); },
        [&](HWND dialog) {
            char text[64] = "";
            GetWindowTextA(dialog, text, sizeof text);
            caption = text;
            saveWindowScreenshot(dialog, "colour_picker.png");
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
    EXPECT_TRUE(closed);
    EXPECT_EQ(caption, "Couleur");
    FreeLibrary(commonDialogs);
}
