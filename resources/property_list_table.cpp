#include "resources/property_list_table.h"

#include <string_view>

#include "resources/resource_ids.h"
#include "resources/terminology_table.h"

namespace {
// Codes and numbers are stored little-endian, so 'kind' appears as "dnik".
std::vector<uint8_t> numberData(uint32_t value) {
    return {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
}

// A length byte and the characters, zero-padded to `size` bytes.
std::vector<uint8_t> pascalStringData(std::string_view text, size_t size) {
    std::vector<uint8_t> data(size, 0);
    data[0] = uint8_t(text.size());
    std::copy(text.begin(), text.end(), data.begin() + 1);
    return data;
}

// The characters and a terminating zero, zero-padded to `size` bytes.
std::vector<uint8_t> cStringData(std::string_view text, size_t size) {
    std::vector<uint8_t> data(size, 0);
    std::copy(text.begin(), text.end(), data.begin());
    return data;
}

std::vector<uint8_t> joined(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> data;
    for (const std::vector<uint8_t>& part : parts)
        data.insert(data.end(), part.begin(), part.end());
    return data;
}

Property property(uint32_t key, std::vector<uint8_t> data) {
    return {kHostSignature, key, 0, std::move(data)};
}
} // namespace

PropertyList orvanePropertyList() {
    return {
        1, // resource version
        0, // list version
        {
            property(propertyKey::kind, numberData(kFilterModuleKind)),
            property(propertyKey::category, pascalStringData("Rendu", 8)),
            property(propertyKey::name, pascalStringData("Orvane...", 12)),
            property(propertyKey::version, numberData(0x00040000)), // host interface 4.0
            // Image modes in which the menu item is enabled: the host's flags,
            // RGB among them.
            property(propertyKey::imageModes, {0x11, 0x00, 0x00, 0x00}),
            property(propertyKey::host, numberData(kHostSignature)),
            property(propertyKey::entryPoint, cStringData("ENTRYPOINT1", 16)),
            // Input handling, output handling and two flag bytes for each of the
            // host's seven layer and selection cases.
            property(propertyKey::inputHandling,
                     {0x01, 0x01, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0x07, 0x01,
                      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                      0x07, 0x01, 0x00, 0x00, 0x07, 0x01, 0x00, 0x00}),
            // Scripting: version 0, class 'Fltr', event 'LghE', terminology
            // resource 128 and an empty scope string.
            property(
                propertyKey::scripting,
                joined({numberData(0), numberData(kFilterEventClass), numberData(kOrvaneEventCode),
                        numberData(kTerminologyResource), pascalStringData("", 4)})),
        },
    };
}
