// The style controls of the main dialog, driven as a user drives them: the
// style chosen at the first showing, choosing, saving (with its question),
// replacing, deleting, and the refusals for write-protected files.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "resources/resource_ids.h"
#include "styles/style_library.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/main_dialog_support.h"
#include "tests/support/styles_test_support.h"
#include "tests/support/test_host.h"
#include "tests/support/win32_module.h"

namespace {
class StylePanelTest : public StyleFolderTest {
  protected:
    // A style whose gloss tells it apart.
    void saveStyle(const char* utf8, int16_t gloss) {
        auto state = makeState(100);
        state->resetToDefaultStyle();
        state->gloss = gloss;
        std::string name = systemName(utf8);
        ASSERT_EQ(SaveStyle(name.data(), *state), 1);
    }
    int16_t glossOfStyleFile(const char* utf8) {
        auto state = makeState(100);
        std::string name = systemName(utf8);
        return LoadStyle(name.data(), *state) ? state->gloss : -1;
    }

    // Runs the first dialog of a new state while `drive` acts on it.
    void runDialog(const std::function<void(HWND)>& drive) {
        EXPECT_TRUE(driveModalWindow(
            "#32770", [&] { host.session.runFilter(true); }, drive));
    }
    Settings& settings() { return host.state()->settings; }

    static std::string selectedStyle(HWND dialog) {
        char name[MAX_PATH] = "";
        const LRESULT row = SendDlgItemMessageA(dialog, kControlStyleList, CB_GETCURSEL, 0, 0);
        SendDlgItemMessageA(dialog, kControlStyleList, CB_GETLBTEXT, WPARAM(row),
                            reinterpret_cast<LPARAM>(name));
        return name;
    }
    static int rowOf(HWND dialog, const char* utf8) {
        return int(SendDlgItemMessageA(dialog, kControlStyleList, CB_FINDSTRINGEXACT, WPARAM(-1),
                                       reinterpret_cast<LPARAM>(systemName(utf8).c_str())));
    }
    static bool canDelete(HWND dialog) {
        return IsWindowEnabled(GetDlgItem(dialog, kControlDeleteStyle)) != 0;
    }

    // The window the dialog opened (a message box or the name dialog), found by caption.
    HWND opened(const char* utf8Caption) {
        return waitForDialog(dialogThread, systemName(utf8Caption).c_str());
    }
    // Closes it with a button, and waits until the dialog has finished the command.
    static void answer(HWND window, HWND dialog, int button) {
        PostMessageA(window, WM_COMMAND, WPARAM(button), 0);
        waitForClose(window);
        SendMessageA(dialog, WM_NULL, 0, 0);
    }
    // Types a name into the name dialog and confirms it.
    static void typeName(HWND nameDialog, const char* name) {
        SetDlgItemTextA(nameDialog, kControlStyleName, name);
        PostMessageA(nameDialog, WM_COMMAND, kControlStyleNameOk, 0);
        waitForClose(nameDialog);
    }

    TestHost host{90, 60};
    DWORD dialogThread = GetCurrentThreadId();
};
} // namespace

TEST_F(StylePanelTest, TheFirstDialogTakesTheDefaultStyleElseTheFirstListedElseTheBuiltInOne) {
    runDialog([&](HWND dialog) {
        EXPECT_EQ(SendDlgItemMessageA(dialog, kControlStyleList, CB_GETCOUNT, 0, 0), 0);
        EXPECT_EQ(settings().lightCount, 1) << "the built-in default style";
        pressButton(dialog, kControlCancel);
    });
    saveStyle("Nuit", 30);
    runDialog([&](HWND dialog) {
        EXPECT_EQ(selectedStyle(dialog), "Nuit");
        EXPECT_EQ(settings().gloss, 30);
        EXPECT_TRUE(canDelete(dialog));
        pressButton(dialog, kControlCancel);
    });
    saveStyle("PAR DÉFAUT", 200); // the default style's name in another letter case
    runDialog([&](HWND dialog) {
        EXPECT_EQ(settings().gloss, 200);
        EXPECT_EQ(selectedStyle(dialog), systemName("PAR DÉFAUT"));
        EXPECT_FALSE(canDelete(dialog));
        pressButton(dialog, kControlCancel);
    });
}

// The plug-in keeps the style chosen last and the preview switch between runs
// (each OK taking the script it recorded, as a host does): the next dialog
// opens as OK left the last one.
TEST_F(StylePanelTest, TheNextDialogOpensWithTheStyleAndThePreviewSwitchLeft) {
    saveStyle("Par défaut", 200);
    saveStyle("Nuit", 30);
    saveStyle("Aube", 60); // so that "Nuit" is not the list's first row
    runWithDialog(host, [&](HWND dialog) {
        EXPECT_EQ(IsDlgButtonChecked(dialog, kControlPreviewOn), UINT(BST_CHECKED));
        EXPECT_GT(rowOf(dialog, "Nuit"), 0);
        chooseRow(dialog, kControlStyleList, rowOf(dialog, "Nuit"));
        pressButton(dialog, kControlPreviewOn);
        pressButton(dialog, kControlOk);
    });
    runWithDialog(host, [&](HWND dialog) {
        EXPECT_EQ(selectedStyle(dialog), "Nuit");
        EXPECT_EQ(settings().gloss, 30);
        EXPECT_EQ(IsDlgButtonChecked(dialog, kControlPreviewOn), UINT(BST_UNCHECKED));
        pressButton(dialog, kControlPreviewOn);
        pressButton(dialog, kControlOk);
    });
    runWithDialog(host, [&](HWND dialog) {
        EXPECT_EQ(selectedStyle(dialog), "Nuit");
        EXPECT_EQ(IsDlgButtonChecked(dialog, kControlPreviewOn), UINT(BST_CHECKED));
        pressButton(dialog, kControlCancel);
    });
}

TEST_F(StylePanelTest, StylesAreChosenSavedReplacedAndDeletedWithTheirQuestions) {
    saveStyle("Par défaut", 200);
    saveStyle("Nuit", 30);
    runDialog([&](HWND dialog) {
        ASSERT_EQ(settings().gloss, 200);
        chooseRow(dialog, kControlStyleList, rowOf(dialog, "Nuit"));
        EXPECT_EQ(settings().gloss, 30);
        EXPECT_TRUE(canDelete(dialog));
        settings().gloss = 99; // an edit, which choosing the same style again keeps
        chooseRow(dialog, kControlStyleList, rowOf(dialog, "Nuit"));
        EXPECT_EQ(settings().gloss, 99);

        // Saving under an existing name asks; No brings the name dialog back
        // with the name as typed, and a new name saves without a question.
        pressButtonThatOpensAWindow(dialog, kControlSaveStyle);
        HWND nameDialog = opened("Enregistrer sous...");
        ASSERT_NE(nameDialog, nullptr);
        const HWND edit = GetDlgItem(nameDialog, kControlStyleName);
        DWORD from = 1, to = 0;
        SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                     reinterpret_cast<LPARAM>(&to));
        EXPECT_EQ(windowText(edit), "Nuit");
        EXPECT_EQ(from, 0u);
        EXPECT_EQ(to, 4u) << "the proposed name is selected whole";
        typeName(nameDialog, "Nuit");
        HWND question = opened("Enregistrer...");
        ASSERT_NE(question, nullptr);
        EXPECT_EQ(messageText(question),
                  systemName("Nuit existe déjà. Souhaitez-vous le remplacer ?"));
        PostMessageA(question, WM_COMMAND, IDNO, 0);
        nameDialog = opened("Enregistrer sous...");
        ASSERT_NE(nameDialog, nullptr);
        EXPECT_EQ(windowText(GetDlgItem(nameDialog, kControlStyleName)), "Nuit");
        typeName(nameDialog, "Lampe");
        SendMessageA(dialog, WM_NULL, 0, 0);
        EXPECT_EQ(glossOfStyleFile("Lampe"), 99);
        EXPECT_EQ(glossOfStyleFile("Nuit"), 30);
        EXPECT_EQ(selectedStyle(dialog), "Lampe");

        // Yes replaces.
        settings().gloss = 77;
        pressButtonThatOpensAWindow(dialog, kControlSaveStyle);
        typeName(opened("Enregistrer sous..."), "Lampe");
        answer(opened("Enregistrer..."), dialog, IDYES);
        EXPECT_EQ(glossOfStyleFile("Lampe"), 77);

        // Deleting asks too; afterwards the default style is back.
        pressButtonThatOpensAWindow(dialog, kControlDeleteStyle);
        question = opened("Supprimer");
        ASSERT_NE(question, nullptr);
        EXPECT_EQ(messageText(question), "Souhaitez-vous supprimer Lampe");
        answer(question, dialog, IDYES);
        EXPECT_FALSE(std::filesystem::exists(stylePath("Lampe")));
        EXPECT_EQ(selectedStyle(dialog), systemName("Par défaut"));
        EXPECT_EQ(settings().gloss, 200);
        EXPECT_FALSE(canDelete(dialog));

        // A write-protected style is neither deleted nor replaced.
        setWriteProtected(stylePath("Nuit"), true);
        chooseRow(dialog, kControlStyleList, rowOf(dialog, "Nuit"));
        pressButtonThatOpensAWindow(dialog, kControlDeleteStyle);
        HWND refusal = opened("Erreur");
        ASSERT_NE(refusal, nullptr);
        EXPECT_EQ(
            messageText(refusal),
            systemName("Impossible de supprimer.Nuitcar le fichier est protégé en écriture."));
        answer(refusal, dialog, IDOK);
        pressButtonThatOpensAWindow(dialog, kControlSaveStyle);
        typeName(opened("Enregistrer sous..."), "Nuit");
        refusal = opened("Erreur");
        ASSERT_NE(refusal, nullptr);
        EXPECT_EQ(
            messageText(refusal),
            systemName("Impossible d'enregistrer. Nuitcar le fichier est protégé en écriture."));
        answer(refusal, dialog, IDOK);
        EXPECT_EQ(glossOfStyleFile("Nuit"), 30);
        pressButton(dialog, kControlOk);
    });
}
