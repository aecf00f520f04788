#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "protocol/four_cc.h"

// A filter's scripting terminology (resource "AETE"): one suite with one event,
// one class and one enumeration. Codes are 32-bit numbers whose first character
// is the most significant byte; names are UTF-8 here (Windows-1252 in the
// resource). Flags follow the terminology format: 0x8000 optional, 0x4000 list
// of items, 0x2000 enumerated, 0x1000 read/write (a property) or changes state
// (an event).

// The host's class of filter events.
constexpr uint32_t kFilterEventClass = fourCC("Fltr");

struct TerminologyItem {
    std::string name;
    uint32_t key;
    uint32_t type;
    uint16_t flags;

    bool operator==(const TerminologyItem&) const = default;
};

struct TerminologyEnumerator {
    std::string name;
    uint32_t code;

    bool operator==(const TerminologyEnumerator&) const = default;
};

struct Terminology {
    std::string suiteName;
    uint32_t suiteCode;
    std::string eventName;
    uint32_t eventClass, eventCode;
    uint32_t directParameterType;
    uint16_t directParameterFlags;
    std::vector<TerminologyItem> parameters; // event parameters, in order
    std::string className;
    uint32_t classCode;
    std::vector<TerminologyItem> classProperties;
    uint32_t enumerationCode;
    std::vector<TerminologyEnumerator> enumerators;
    // The remaining fields of the resource, so that it can be checked whole.
    uint16_t suiteLevel = 0, suiteVersion = 0;
    uint32_t replyType = 0;
    uint16_t replyFlags = 0;

    bool operator==(const Terminology&) const = default;
};
