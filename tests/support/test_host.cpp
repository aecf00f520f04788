#include "tests/support/test_host.h"

#include "host/zerafin/scripts/script_file.h"
#include "platform/checked_alloc.h"
#include "resources/resource_data.h"
#ifdef _WIN32
#include "tests/support/win32_module.h"
#endif

namespace {
Document testPattern(int width, int height) {
    std::vector<uint8_t> rgb(size_t(width) * size_t(height) * 3);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = uint8_t((i * 37 + i / 3 * 11) & 0xff);
    return documentFromRgb(width, height, rgb);
}
} // namespace

TestHost::TestHost(int width, int height)
    : document(testPattern(width, height)), session(ENTRYPOINT1, nullptr), record(session.record),
      slot(session.dataSlot) {
    session.setDocument(&document);
}

TestHost::~TestHost() {
    if (slot)
        call(SelectorFinish);
    // Destroys the state the finish kept, as a host does when it unloads the module.
    if (PluginState* kept = state()) {
        kept->~PluginState();
        checkedFreeRaw(kept);
    }
}

ParameterBlock* TestHost::block() const {
    return record.parameterHandle ? static_cast<ParameterBlock*>(*record.parameterHandle) : nullptr;
}

std::vector<uint8_t> TestHost::rgb() const {
    const size_t pixels = size_t(document.width) * size_t(document.height);
    std::vector<uint8_t> out(pixels * 3);
    for (size_t i = 0; i < pixels; ++i)
        for (size_t c = 0; c < 3; ++c)
            out[i * 3 + c] = document.channels[c].samples[i];
    return out;
}

std::string TestHost::takeRecordedScript() {
    const std::optional<Descriptor> recorded = session.takeRecordedDescriptor();
    return recorded ? scriptFromDescriptor(*recorded) : std::string();
}

std::optional<Descriptor> scriptDescriptor(const std::string& text, std::string& error) {
    const std::optional<Terminology> terminology = parseTerminology(terminologyBytes(), error);
    if (!terminology)
        return std::nullopt;
    return descriptorFromScript(text, *terminology, error);
}

int16_t TestHost::runFilterCancellingTheDialog() {
#ifdef _WIN32
    int16_t result = 0;
    driveModalWindow(
        "#32770", [&] { result = runFilter(); },
        [](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); });
    return result;
#else
    return runFilter();
#endif
}
