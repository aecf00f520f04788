// A style file as the host applies it: read into a fresh plug-in state at the
// frame it was saved with, then recorded as a script.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/zerafin/commands/host_styles.h"
#include "host/zerafin/plugin_services/host_session.h"
#include "host/zerafin/scripts/script_file.h"

namespace {
void noEntryPoint(int16_t, void*, intptr_t*, int16_t* result) {
    *result = 0;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    HostSession session(noEntryPoint, nullptr);
    std::string error;
    const std::optional<Descriptor> descriptor =
        styleDescriptorOfBytes(std::vector<uint8_t>(data, data + size), session, error);
    if (descriptor)
        scriptFromDescriptor(*descriptor);
    return 0;
}
