// A module's scripting terminology: parsed as the host checks scripts against
// it, and printed by zerafin info.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "host/zerafin/commands/info_command.h"
#include "host/zerafin/module/terminology.h"
#include "resources/resource_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::FILE* nowhere = std::fopen("/dev/null", "w");
    std::string error;
    parseTerminology({data, size}, error);
    runInfoCommand(propertyListBytes(), {data, size}, nowhere);
    return 0;
}
