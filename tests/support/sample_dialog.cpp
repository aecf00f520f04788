#ifdef _WIN32
#include "tests/support/sample_dialog.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "host/zerafin/image_files/image_io.h"
#include "shell/entry_point.h"
#include "styles/style_library.h"
#include "tests/support/styles_test_support.h"
#include "tests/support/win32_module.h"

namespace {
// The folder of the built module, whose "Lighting Styles" holds the shipped styles.
std::string moduleFolder() {
    const std::string module = builtModulePath();
    return module.substr(0, module.find_last_of("\\/"));
}
} // namespace

void withSampleDialog(const std::function<void(HWND, HostSession&)>& drive, HWND owner) {
    const char* sampleFolder = std::getenv("ORVANE_SAMPLE_DIR");
    if (!sampleFolder)
        GTEST_SKIP() << "ORVANE_SAMPLE_DIR names the folder of the sample (scripts/test makes it)";
    Document sample;
    std::string error;
    ASSERT_TRUE(loadDocument(std::string(sampleFolder) + "/sample.png", sample, error)) << error;
    ASSERT_TRUE(loadChannel(std::string(sampleFolder) + "/relief.png", "Relief", sample, error))
        << error;
    setStyleFolderBaseForTesting(moduleFolder().c_str());
    HostSession session(ENTRYPOINT1, owner);
    session.setDocument(&sample);
    const bool closed = driveModalWindow(
        "#32770", [&] { session.runFilter(true); }, [&](HWND dialog) { drive(dialog, session); });
    EXPECT_TRUE(closed);
    setStyleFolderBaseForTesting(nullptr);
    session.call(SelectorFinish);
    discardPluginState(&session.dataSlot);
}
#endif
