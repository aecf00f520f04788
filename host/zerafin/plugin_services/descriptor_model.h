#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "protocol/descriptor_tables.h"
#include "protocol/result_codes.h"

// The host's scripting descriptors: keyed values in the order they were
// written, with nested descriptors for objects and lists of values. Between the
// host and the plug-in a descriptor travels as a handle holding its flattened
// bytes, so that releasing the handle is all it takes to free it.

enum class ValueKind : uint8_t { Integer, Float, Boolean, Enumerated, Reference, Object, List };

struct DescriptorItem;

struct Descriptor {
    std::vector<DescriptorItem> items;

    bool operator==(const Descriptor&) const = default;
};

struct DescriptorValue {
    ValueKind kind = ValueKind::Integer;
    int32_t integer = 0;
    double number = 0.0;
    bool boolean = false;
    uint32_t enumType = 0;
    uint32_t enumValue = 0;
    ChannelReference reference{};
    uint32_t objectClass = 0;
    Descriptor object;
    std::vector<DescriptorValue> list;

    static DescriptorValue makeInteger(int32_t value);
    static DescriptorValue makeFloat(double value);
    static DescriptorValue makeBoolean(bool value);
    static DescriptorValue makeEnumerated(uint32_t type, uint32_t value);
    static DescriptorValue makeReference(const ChannelReference& value);
    static DescriptorValue makeObject(uint32_t objectClass, Descriptor value);
    static DescriptorValue makeList(std::vector<DescriptorValue> values);

    bool operator==(const DescriptorValue&) const = default;
};

struct DescriptorItem {
    uint32_t key = 0;
    DescriptorValue value;

    bool operator==(const DescriptorItem&) const = default;
};

// Errors the reader and writer procedures answer besides running out of memory.
namespace descriptorError {
constexpr int16_t wrongType = -1700;  // the value under the key is of another kind
constexpr int16_t noValue = -1701;    // no key delivered, or the list is used up
constexpr int16_t unreadable = -1702; // a handle that holds no descriptor
constexpr int16_t noMemory = result::outOfMemory;
} // namespace descriptorError

// The type code a kind of value is flattened under and that NextKey reports:
// 'long', 'doub', 'bool', 'enum', 'rfrn', 'Objc', 'VlLs'.
uint32_t typeCodeOf(ValueKind kind);

// The flattened form: little-endian, a 32-bit item count, then per item the
// key, the value's type code and the value.
std::vector<uint8_t> flattenDescriptor(const Descriptor& descriptor);
std::optional<Descriptor> unflattenDescriptor(std::span<const uint8_t> bytes);

// A new handle holding the flattened descriptor (null when memory is short),
// and the descriptor a handle holds.
Handle descriptorToHandle(const Descriptor& descriptor);
std::optional<Descriptor> descriptorFromHandle(Handle handle);

// The procedure tables the host hands the plug-in in its script record
// (descriptor_access.cpp).
DescriptorReaderTable* hostReaderTable();
DescriptorWriterTable* hostWriterTable();
