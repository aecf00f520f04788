#ifdef _WIN32
#include "tests/support/main_dialog_support.h"

#include <gtest/gtest.h>

#include "shell/render_preview.h"
#include "tests/support/win32_module.h"

int16_t runWithDialog(TestHost& host, const std::function<void(HWND)>& drive) {
    int16_t result = 99;
    EXPECT_TRUE(driveModalWindow(
        "#32770", [&] { result = host.session.runFilter(true); }, drive))
        << "the dialog stayed open";
    host.session.takeRecordedDescriptor();
    return result;
}

std::vector<uint8_t> resultPixels(const PluginState& state) {
    const ImageRecord& image = state.preview.resultImage;
    return std::vector<uint8_t>(image.pixels, image.pixels + image.rowBytes * image.height());
}

void expectPreviewFollows(PluginState& state, const char* edit, const std::function<void()>& make) {
    SCOPED_TRACE(edit);
    const std::vector<uint8_t> before = resultPixels(state);
    make();
    const std::vector<uint8_t> shown = resultPixels(state);
    EXPECT_NE(shown, before) << "the preview did not change";
    state.preview.everythingChanged();
    renderPreview(state);
    EXPECT_EQ(resultPixels(state), shown) << "the preview differs from a fresh render";
}
#endif
