// The dialog's pictures for the documentation, on the demo's sample image with
// its relief channel and the shipped styles: the default style, and a
// textured style whose selected light is switched off.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "host/zerafin/host_session.h"
#include "host/zerafin/image_io.h"
#include "shell/entry_point.h"
#include "styles/style_library.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/styles_test_support.h"
#include "tests/support/win32_module.h"
#include "resources/resource_ids.h"

namespace {
// The folder of the built module, whose "Lighting Styles" holds the shipped styles.
std::string moduleFolder() {
    const std::string module = builtModulePath();
    return module.substr(0, module.find_last_of("\\/"));
}

int rowOf(HWND dialog, int comboId, const char* utf8) {
    return int(SendDlgItemMessageA(dialog, comboId, CB_FINDSTRINGEXACT, WPARAM(-1),
                                   reinterpret_cast<LPARAM>(systemName(utf8).c_str())));
}
} // namespace

TEST(DialogScreenshots, TheDefaultStyleAndATexturedStyleOnTheSample) {
    const char* sampleFolder = std::getenv("ORVANE_SAMPLE_DIR");
    if (!sampleFolder)
        GTEST_SKIP() << "ORVANE_SAMPLE_DIR names the folder of the sample (scripts/test makes it)";
    Document sample;
    std::string error;
    ASSERT_TRUE(loadDocument(std::string(sampleFolder) + "/sample.png", sample, error)) << error;
    ASSERT_TRUE(loadChannel(std::string(sampleFolder) + "/relief.png", "Relief", sample, error))
        << error;
    setStyleFolderBaseForTesting(moduleFolder().c_str());
    HostSession session(ENTRYPOINT1, nullptr);
    session.setDocument(&sample);
    const bool closed = driveModalWindow(
        "#32770", [&] { session.runFilter(true); },
        [&](HWND dialog) {
            EXPECT_EQ(SendDlgItemMessageA(dialog, kControlStyleList, CB_GETCURSEL, 0, 0),
                      rowOf(dialog, kControlStyleList, "Par défaut"));
            EXPECT_TRUE(saveWindowScreenshot(dialog, "main_dialog.png"));
            chooseRow(dialog, kControlStyleList,
                      rowOf(dialog, kControlStyleList, "Métal repoussé"));
            chooseRow(dialog, kControlTextureChannel, rowOf(dialog, kControlTextureChannel, "Relief"));
            pressButton(dialog, kControlLightOn);
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, kControlIntensity)));
            EXPECT_TRUE(saveWindowScreenshot(dialog, "main_dialog_textured.png"));
            pressButton(dialog, kControlCancel);
        });
    EXPECT_TRUE(closed);
    setStyleFolderBaseForTesting(nullptr);
    session.call(SelectorFinish);
    discardPluginState(&session.dataSlot);
}
