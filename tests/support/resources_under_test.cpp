#include "tests/support/resources_under_test.h"

#ifdef _WIN32
#include "host/zerafin/module/module_resources.h"
#include "tests/support/win32_module.h"

namespace {
std::vector<uint8_t> moduleResource(const char* type, int id) {
    std::string error;
    return readModuleResource(builtModulePath(), type, id, error).value_or(std::vector<uint8_t>{});
}
} // namespace

std::vector<uint8_t> propertyListUnderTest() {
    return moduleResource("PIPL", 16000);
}
std::vector<uint8_t> terminologyUnderTest() {
    return moduleResource("AETE", 128);
}
#else
#include "resources/resource_data.h"

std::vector<uint8_t> propertyListUnderTest() {
    const std::span<const uint8_t> bytes = propertyListBytes();
    return {bytes.begin(), bytes.end()};
}
std::vector<uint8_t> terminologyUnderTest() {
    const std::span<const uint8_t> bytes = terminologyBytes();
    return {bytes.begin(), bytes.end()};
}
#endif
