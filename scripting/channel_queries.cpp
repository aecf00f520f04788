#include "scripting/channel_queries.h"

#include <algorithm>
#include <cstring>

#include "protocol/host_tables.h"
#include "protocol/plugin_api.h"
#include "protocol/result_codes.h"
#include "scripting/script_keys.h"

namespace {
constexpr int32_t kLongestName = 255;

bool hasPropertyServices(const HostRecord& host) {
    return host.propertyTable && host.propertyTable->queryProperty;
}
} // namespace

int16_t GetChannelCount(uint16_t* count, const HostRecord& host) {
    if (!hasPropertyServices(host))
        return result::hostServiceMissing;
    intptr_t simple = 0;
    Handle complex = nullptr;
    const int16_t error = host.propertyTable->queryProperty(
        kHostSignature, hostProperty::channelCount, 0, &simple, &complex);
    if (error != 0)
        return error;
    *count = uint16_t(simple);
    return result::ok;
}

int16_t GetChannelName(uint16_t index, uint8_t name[256], const HostRecord& host) {
    if (!hasPropertyServices(host))
        return result::hostServiceMissing;
    intptr_t simple = 0;
    Handle complex = nullptr;
    const int16_t error = host.propertyTable->queryProperty(
        kHostSignature, hostProperty::channelName, int16_t(index), &simple, &complex);
    if (error != 0)
        return error;
    if (!complex)
        return result::hostServiceMissing;
    const int32_t length =
        std::clamp(HostGetHandleSize(host.handleTable, complex), 0, kLongestName);
    name[0] = uint8_t(length);
    std::memcpy(name + 1, *complex, size_t(length));
    HostDisposeHandle(host.handleTable, complex);
    return result::ok;
}

bool LengthPrefixedEqual(const uint8_t* a, const uint8_t* b) {
    return a[0] == b[0] && std::memcmp(a + 1, b + 1, a[0]) == 0;
}
