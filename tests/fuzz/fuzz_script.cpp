// A script file on its way to the plug-in's settings: the text checked against
// the module's terminology into a descriptor, read by the plug-in into its
// state, and recorded again.
#include <cstddef>
#include <cstdint>
#include <string>

#include "host/zerafin/scripts/script_file.h"
#include "resources/resource_data.h"
#include "tests/support/script_fixture.h"

namespace {
const Terminology& moduleTerminology() {
    static const Terminology terminology = [] {
        std::string error;
        return *parseTerminology(terminologyBytes(), error);
    }();
    return terminology;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxScriptBytes)
        return 0;
    std::string error;
    const std::optional<Descriptor> descriptor = descriptorFromScript(
        std::string(reinterpret_cast<const char*>(data), size), moduleTerminology(), error);
    if (!descriptor)
        return 0;
    ScriptFixture fixture;
    int16_t cell = 0;
    if (fixture.read(*descriptor, cell))
        scriptFromDescriptor(fixture.write());
    return 0;
}
