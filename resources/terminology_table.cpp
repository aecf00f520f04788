#include "resources/terminology_table.h"

#include "protocol/four_cc.h"
#include "settings/parameter_table.h"

namespace {
// Terminology flags.
constexpr uint16_t kListOfItems = 0x4000;
constexpr uint16_t kEnumerated = 0x2000;
constexpr uint16_t kReadWrite = 0x1000;
constexpr uint16_t kDirectParameterFlags = 0xB000;

// A parameter of the event: the lights are a list of the light class.
TerminologyItem eventParameter(const ParameterEntry& entry) {
    const uint16_t flags = entry.type == filterType::light ? kListOfItems : 0;
    return {entry.frenchName, entry.scriptKey, entry.type, flags};
}

// A property of the light class: each is read/write, the type enumerated.
TerminologyItem classProperty(const ParameterEntry& entry) {
    const uint16_t enumerated = entry.type == filterType::lightType ? kEnumerated : 0;
    return {entry.frenchName, entry.scriptKey, entry.type, uint16_t(kReadWrite | enumerated)};
}
} // namespace

Terminology orvaneTerminology() {
    Terminology terminology{};
    terminology.suiteName = "Zerafin";
    terminology.suiteCode = fourCC("ZRFN");
    terminology.eventName = "orvane";
    terminology.eventClass = kFilterEventClass;
    terminology.eventCode = kOrvaneEventCode;
    terminology.replyType = fourCC("null");
    terminology.directParameterType = fourCC("#ImR"); // the image
    terminology.directParameterFlags = kDirectParameterFlags;
    for (const ParameterEntry& entry : filterParameters())
        terminology.parameters.push_back(eventParameter(entry));
    // The class is named as the parameter that lists its items.
    terminology.className = parameter(Parameter::Lights).frenchName;
    terminology.classCode = filterType::light;
    for (const ParameterEntry& entry : lightProperties())
        terminology.classProperties.push_back(classProperty(entry));
    terminology.enumerationCode = filterType::lightType;
    for (const LightTypeEntry& type : kLightTypes)
        terminology.enumerators.push_back({type.terminologyName, type.scriptCode});
    return terminology;
}
