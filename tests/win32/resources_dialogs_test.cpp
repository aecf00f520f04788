// The module's dialog templates read back from the module: caption, size,
// font, and every control with its ID, class, text, rectangle and style.
#include <windows.h>

#include <commdlg.h>

#include <cstring>
#include <span>

#include <gtest/gtest.h>

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

// The bits of a control's style that say what kind of control it is.
DWORD kindBits(const Control& control) {
    if (control.className == "BUTTON")
        return control.style & BS_TYPEMASK;
    if (control.className == "COMBOBOX")
        return control.style & 0x3;
    if (control.className == "STATIC")
        return control.style & SS_TYPEMASK;
    if (control.className == "EDIT")
        return control.style & ES_AUTOHSCROLL;
    return 0;
}

struct Expected {
    int id;
    const char* className;
    const char* text;
    int x, y, width, height;
    DWORD kind; // compared with kindBits
    bool disabled = false;
};

void expectDialog(int id, const char* caption, int width, int height,
                  std::span<const Expected> expected) {
    ASSERT_NE(loadedModule(), nullptr);
    const DialogTemplate dialog = readDialog(id);
    EXPECT_EQ(dialog.caption, caption);
    EXPECT_EQ(dialog.width, width);
    EXPECT_EQ(dialog.height, height);
    EXPECT_EQ(dialog.font, "MS Sans Serif");
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.style & (WS_POPUP | DS_MODALFRAME), DWORD(WS_POPUP | DS_MODALFRAME));
    ASSERT_EQ(dialog.controls.size(), expected.size());
    for (size_t index = 0; index < expected.size(); ++index) {
        const Control& control = dialog.controls[index];
        const Expected& want = expected[index];
        SCOPED_TRACE(std::to_string(want.id) + " " + want.text);
        EXPECT_EQ(control.id, want.id);
        EXPECT_EQ(control.className, want.className);
        EXPECT_EQ(control.text, want.text);
        EXPECT_EQ(control.x, want.x);
        EXPECT_EQ(control.y, want.y);
        EXPECT_EQ(control.width, want.width);
        EXPECT_EQ(control.height, want.height);
        EXPECT_EQ(kindBits(control), want.kind);
        EXPECT_EQ((control.style & WS_DISABLED) != 0, want.disabled);
        EXPECT_EQ(control.style & (WS_CHILD | WS_VISIBLE), DWORD(WS_CHILD | WS_VISIBLE));
    }
}

constexpr const char* kSlider = "VR_slider_control_window";
constexpr const char* kGroupBox = "VR_group_box_window";
} // namespace

TEST(DialogTemplates, AboutBoxIsACaptionlessVisiblePopupWithSevenCentredTexts) {
    const Expected texts[] = {
        {-1, "STATIC", "Orvane", 14, 12, 99, 8, SS_CENTER},
        {-1, "STATIC", "v5.0", 14, 21, 99, 8, SS_CENTER},
        {-1, "STATIC", "par", 14, 28, 99, 8, SS_CENTER},
        {-1, "STATIC", "l'atelier de rendu Halvorn", 14, 37, 99, 8, SS_CENTER},
        {-1, "STATIC", "et l'équipe Orvane", 14, 44, 99, 8, SS_CENTER},
        {-1, "STATIC",
         "Module filtre Halvorn Zerafin® permettant d'appliquer des orvanes et des textures.", 14,
         62, 99, 34, SS_CENTER},
        {-1, "STATIC", "Tous droits réservés.", 14, 102, 99, 8, SS_CENTER},
    };
    expectDialog(101, "", 137, 118, texts);
    const DWORD style = readDialog(101).style;
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_EQ(style & WS_CAPTION, 0u);
}

TEST(DialogTemplates, MainDialogHasItsThirtyOneControls) {
    const Expected controls[] = {
        {1007, "BUTTON", "OK", 294, 3, 34, 14, BS_DEFPUSHBUTTON},
        {1008, "BUTTON", "Annuler", 294, 20, 34, 14, BS_PUSHBUTTON},
        {1050, "STATIC", "Style :", 156, 4, 20, 8, SS_LEFT},
        {1004, "COMBOBOX", "", 177, 2, 92, 96, CBS_DROPDOWNLIST},
        {1002, "BUTTON", "Enregistrer...", 161, 18, 42, 11, BS_PUSHBUTTON},
        {1011, "BUTTON", "Supprimer", 227, 18, 41, 11, BS_PUSHBUTTON},
        {1046, "STATIC", "Type :", 157, 40, 36, 8, SS_LEFT},
        {1006, "COMBOBOX", "", 194, 37, 80, 40, CBS_DROPDOWNLIST},
        {1021, "BUTTON", "Activé", 157, 51, 40, 10, BS_AUTOCHECKBOX},
        {1030, kSlider, "Intensité :", 157, 63, 138, 12, 0},
        {1031, kSlider, "Cône :", 157, 78, 138, 12, 0},
        {1032, "BUTTON", "Couleur", 302, 57, 24, 24, BS_OWNERDRAW},
        {1049, "STATIC", "Propriétés", 157, 96, 35, 8, SS_LEFT},
        {1027, kSlider, "Brillance :", 157, 107, 138, 12, 0},
        {1028, kSlider, "Matière :", 157, 122, 138, 12, 0},
        {1026, kSlider, "Exposition:", 157, 138, 138, 12, 0},
        {1029, kSlider, "Ambiance :", 157, 154, 138, 12, 0},
        {1025, "BUTTON", "Couleur", 302, 122, 24, 24, BS_OWNERDRAW},
        {1051, "STATIC", "Texture :", 157, 174, 58, 8, SS_LEFT},
        {1005, "COMBOBOX", "", 217, 171, 78, 52, CBS_DROPDOWNLIST},
        {1019, "BUTTON", "Blanc = haut", 158, 186, 56, 10, BS_AUTOCHECKBOX},
        {1020, kSlider, "Relief :", 158, 196, 163, 12, 0},
        {1009, "VR_work_area_window", "Utilisateur3", 4, 9, 144, 190, 0},
        {1010, "VR_preview_area_window", "Utilisateur4", 27, 30, 100, 156, 0, true},
        {1056, "VR_light_well", "Utilisateur1", 70, 201, 12, 12, 0},
        {1057, "VR_trash_window", "Utilisateur1", 136, 201, 12, 12, 0},
        {1058, "BUTTON", "&Aperçu", 6, 202, 40, 10, BS_AUTOCHECKBOX},
        {1052, kGroupBox, "Utilisateur1", 151, 9, 133, 26, 0, true},
        {1053, kGroupBox, "Utilisateur1", 151, 44, 180, 50, 0, true},
        {1054, kGroupBox, "Utilisateur2", 151, 100, 180, 69, 0, true},
        {1055, kGroupBox, "Utilisateur3", 150, 178, 180, 34, 0, true},
    };
    expectDialog(102, "Orvane", 336, 215, controls);
    EXPECT_TRUE(readDialog(102).style & WS_CAPTION);
}

TEST(DialogTemplates, ColourPickerKeepsTheSystemColourDialogIds) {
    const Expected controls[] = {
        {-1, "STATIC", "Couleurs de &base :", 4, 4, 140, 9, SS_LEFT},
        {720, "STATIC", "", 4, 14, 140, 86, SS_BLACKFRAME},
        {-1, "STATIC", "Couleurs perso&nnalisées :", 4, 106, 140, 9, SS_LEFT},
        {721, "STATIC", "", 4, 116, 140, 28, SS_BLACKFRAME},
        {719, "BUTTON", "&Définir les couleurs personnalisées...", 4, 150, 140, 14, BS_PUSHBUTTON},
        {1, "BUTTON", "OK", 4, 166, 44, 14, BS_DEFPUSHBUTTON},
        {2, "BUTTON", "Annuler", 52, 166, 44, 14, BS_PUSHBUTTON},
        {1038, "BUTTON", "&Aide", 100, 166, 44, 14, BS_PUSHBUTTON},
        {710, "STATIC", "", 152, 4, 118, 116, SS_BLACKFRAME},
        {702, "STATIC", "", 280, 4, 8, 116, SS_BLACKFRAME},
        {709, "STATIC", "", 152, 124, 40, 26, SS_BLACKFRAME},
        {-1, "STATIC", "Couleur|", 146, 151, 28, 9, SS_RIGHT},
        {-1, "STATIC", "&Uni", 177, 151, 15, 9, SS_LEFT},
        {713, "BUTTON", "&u", 300, 200, 4, 14, BS_PUSHBUTTON},
        {723, "STATIC", "&Teinte :", 192, 126, 24, 9, SS_LEFT},
        {703, "EDIT", "", 216, 124, 22, 12, 0},
        {724, "STATIC", "&Sat. :", 192, 140, 24, 9, SS_LEFT},
        {704, "EDIT", "", 216, 138, 22, 12, 0},
        {725, "STATIC", "&Lum. :", 192, 154, 24, 9, SS_LEFT},
        {705, "EDIT", "", 216, 152, 22, 12, 0},
        {726, "STATIC", "&Rouge :", 241, 126, 26, 9, SS_LEFT},
        {706, "EDIT", "", 269, 124, 22, 12, 0},
        {727, "STATIC", "&Vert :", 243, 140, 24, 9, SS_LEFT},
        {707, "EDIT", "", 269, 138, 22, 12, 0},
        {728, "STATIC", "Bl&eu :", 243, 154, 24, 9, SS_LEFT},
        {708, "EDIT", "", 269, 152, 22, 12, 0},
        {712, "BUTTON", "Aj&outer la couleur", 152, 166, 142, 14, BS_PUSHBUTTON},
    };
    expectDialog(106, "Couleur", 298, 184, controls);
}

TEST(DialogTemplates, StyleNameDialogHasItsFourControls) {
    const Expected controls[] = {
        {1036, "BUTTON", "OK", 128, 4, 50, 14, BS_DEFPUSHBUTTON},
        {1037, "BUTTON", "Annuler", 128, 20, 50, 14, BS_PUSHBUTTON},
        {-1, "STATIC", "Nom du style :", 12, 8, 60, 8, SS_LEFT},
        {1035, "EDIT", "", 12, 20, 108, 13, ES_AUTOHSCROLL},
    };
    expectDialog(107, "Enregistrer sous...", 183, 42, controls);
    const DialogTemplate dialog = readDialog(107);
    ASSERT_EQ(dialog.controls.size(), 4u);
    EXPECT_TRUE(dialog.controls[3].style & WS_BORDER);
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
