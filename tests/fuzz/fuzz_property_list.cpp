// A module's property list, as the host reads it before running the module:
// parsed, checked for a filter on RGB images, and printed by zerafin info.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "host/zerafin/commands/info_command.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::FILE* nowhere = std::fopen("/dev/null", "w");
    std::string error, entryPoint;
    if (const std::optional<PropertyList> list = parsePropertyList({data, size}, error))
        checkFilterModule(*list, error, entryPoint);
    runInfoCommand({data, size}, {}, nowhere);
    return 0;
}
