#pragma once
#include <cstddef>
#include <cstdint>

#include "protocol/four_cc.h"
#include "protocol/host_record.h"

// Callback tables the host reaches through the HostRecord.

using DisposeHandleProc = void (*)(Handle handle);
using GetHandleSizeProc = int32_t (*)(Handle handle);
using NewHandleProc = Handle (*)(int32_t size);

struct HostHandleTable {
    int16_t version;
    int16_t count;
    NewHandleProc newHandle;         // byte 4
    DisposeHandleProc disposeHandle; // byte 8
    GetHandleSizeProc getHandleSize; // byte 12
};

using QueryPropertyProc = int16_t (*)(uint32_t signature, uint32_t key, int16_t index,
                                      intptr_t* simpleValue, Handle* complexValue);
using SetPropertyProc = int16_t (*)(uint32_t signature, uint32_t key, int16_t index,
                                    intptr_t simpleValue, Handle complexValue);

// The properties the plug-in asks for or sets, all under kHostSignature.
namespace hostProperty {
constexpr uint32_t channelCount = fourCC("nuch"); // number of the document's channels
constexpr uint32_t channelName = fourCC("nmch");  // a channel's name, by index
constexpr uint32_t waiting = fourCC("wtch");      // 1 while the plug-in's dialog is open
} // namespace hostProperty

struct HostPropertyTable {
    int16_t version;
    int16_t count;
    QueryPropertyProc queryProperty; // byte 4
    SetPropertyProc setProperty;     // byte 8
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(offsetof(HostHandleTable, disposeHandle) == 8);
static_assert(offsetof(HostPropertyTable, queryProperty) == 4);
static_assert(offsetof(HostPropertyTable, setProperty) == 8);
#endif
