#include "host/zerafin/plugin_services/descriptor_model.h"

#include <bit>
#include <cstring>

#include "protocol/descriptor_tables.h"
#include "protocol/plugin_api.h"

DescriptorValue DescriptorValue::makeInteger(int32_t value) {
    DescriptorValue made;
    made.kind = ValueKind::Integer;
    made.integer = value;
    return made;
}

DescriptorValue DescriptorValue::makeFloat(double value) {
    DescriptorValue made;
    made.kind = ValueKind::Float;
    made.number = value;
    return made;
}

DescriptorValue DescriptorValue::makeBoolean(bool value) {
    DescriptorValue made;
    made.kind = ValueKind::Boolean;
    made.boolean = value;
    return made;
}

DescriptorValue DescriptorValue::makeEnumerated(uint32_t type, uint32_t value) {
    DescriptorValue made;
    made.kind = ValueKind::Enumerated;
    made.enumType = type;
    made.enumValue = value;
    return made;
}

DescriptorValue DescriptorValue::makeReference(const ChannelReference& value) {
    DescriptorValue made;
    made.kind = ValueKind::Reference;
    made.reference = value;
    return made;
}

DescriptorValue DescriptorValue::makeObject(uint32_t objectClass, Descriptor value) {
    DescriptorValue made;
    made.kind = ValueKind::Object;
    made.objectClass = objectClass;
    made.object = std::move(value);
    return made;
}

DescriptorValue DescriptorValue::makeList(std::vector<DescriptorValue> values) {
    DescriptorValue made;
    made.kind = ValueKind::List;
    made.list = std::move(values);
    return made;
}

namespace {
constexpr uint32_t kTypeCodes[] = {descriptorType::integer,   descriptorType::real,
                                   descriptorType::boolean,   descriptorType::enumerated,
                                   descriptorType::reference, descriptorType::object,
                                   descriptorType::list};
constexpr int kDeepestNesting = 64; // a handle nested deeper holds no descriptor of ours

} // namespace

uint32_t typeCodeOf(ValueKind kind) {
    return kTypeCodes[size_t(kind)];
}

namespace {
std::optional<ValueKind> kindOfTypeCode(uint32_t code) {
    for (size_t i = 0; i < std::size(kTypeCodes); ++i)
        if (kTypeCodes[i] == code)
            return ValueKind(i);
    return std::nullopt;
}

class FlatWriter {
  public:
    void u8(uint8_t value) { bytes.push_back(value); }
    void u32(uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(uint8_t(value >> shift));
    }
    void f64(double value) {
        const uint64_t bits = std::bit_cast<uint64_t>(value);
        u32(uint32_t(bits));
        u32(uint32_t(bits >> 32));
    }
    void raw(const uint8_t* data, size_t count) { bytes.insert(bytes.end(), data, data + count); }

    void descriptor(const Descriptor& descriptor);
    void value(const DescriptorValue& value);

    std::vector<uint8_t> bytes;
};

void FlatWriter::descriptor(const Descriptor& descriptor) {
    u32(uint32_t(descriptor.items.size()));
    for (const DescriptorItem& item : descriptor.items) {
        u32(item.key);
        value(item.value);
    }
}

void FlatWriter::value(const DescriptorValue& value) {
    u32(typeCodeOf(value.kind));
    switch (value.kind) {
    case ValueKind::Integer:
        u32(uint32_t(value.integer));
        break;
    case ValueKind::Float:
        f64(value.number);
        break;
    case ValueKind::Boolean:
        u8(value.boolean ? 1 : 0);
        break;
    case ValueKind::Enumerated:
        u32(value.enumType);
        u32(value.enumValue);
        break;
    case ValueKind::Reference:
        u32(value.reference.desiredClass);
        u32(value.reference.form);
        raw(value.reference.name, sizeof value.reference.name);
        u32(uint32_t(value.reference.index));
        u32(value.reference.type);
        u32(value.reference.value);
        break;
    case ValueKind::Object:
        u32(value.objectClass);
        descriptor(value.object);
        break;
    case ValueKind::List:
        u32(uint32_t(value.list.size()));
        for (const DescriptorValue& element : value.list)
            this->value(element);
        break;
    }
}

// Every read answers false once the bytes run out or make no sense.
class FlatReader {
  public:
    explicit FlatReader(std::span<const uint8_t> bytes) : bytes(bytes) {}

    bool u8(uint8_t& value) {
        if (bytes.size() - position < 1)
            return false;
        value = bytes[position++];
        return true;
    }
    bool u32(uint32_t& value) {
        if (bytes.size() - position < 4)
            return false;
        value = 0;
        for (int i = 3; i >= 0; --i)
            value = value << 8 | bytes[position + size_t(i)];
        position += 4;
        return true;
    }
    bool i32(int32_t& value) {
        uint32_t bits = 0;
        const bool read = u32(bits);
        value = int32_t(bits);
        return read;
    }
    bool f64(double& value) {
        uint32_t low = 0, high = 0;
        const bool read = u32(low) && u32(high);
        value = std::bit_cast<double>(uint64_t(high) << 32 | low);
        return read;
    }
    bool raw(uint8_t* data, size_t count) {
        if (bytes.size() - position < count)
            return false;
        std::memcpy(data, bytes.data() + position, count);
        position += count;
        return true;
    }
    bool atEnd() const { return position == bytes.size(); }

    bool descriptor(Descriptor& descriptor, int depth);
    bool value(DescriptorValue& value, int depth);

  private:
    bool payload(DescriptorValue& value, int depth);

    std::span<const uint8_t> bytes;
    size_t position = 0;
};

bool FlatReader::descriptor(Descriptor& descriptor, int depth) {
    uint32_t count = 0;
    if (depth > kDeepestNesting || !u32(count))
        return false;
    for (uint32_t i = 0; i < count; ++i) {
        DescriptorItem item;
        if (!u32(item.key) || !value(item.value, depth))
            return false;
        descriptor.items.push_back(std::move(item));
    }
    return true;
}

bool FlatReader::value(DescriptorValue& value, int depth) {
    uint32_t code = 0;
    if (!u32(code))
        return false;
    const std::optional<ValueKind> kind = kindOfTypeCode(code);
    if (!kind)
        return false;
    value.kind = *kind;
    return payload(value, depth);
}

bool FlatReader::payload(DescriptorValue& value, int depth) {
    uint8_t byte = 0;
    uint32_t count = 0;
    ChannelReference& reference = value.reference;
    switch (value.kind) {
    case ValueKind::Integer:
        return i32(value.integer);
    case ValueKind::Float:
        return f64(value.number);
    case ValueKind::Boolean:
        if (!u8(byte) || byte > 1)
            return false;
        value.boolean = byte == 1;
        return true;
    case ValueKind::Enumerated:
        return u32(value.enumType) && u32(value.enumValue);
    case ValueKind::Reference:
        return u32(reference.desiredClass) && u32(reference.form) &&
               raw(reference.name, sizeof reference.name) && i32(reference.index) &&
               u32(reference.type) && u32(reference.value);
    case ValueKind::Object:
        return u32(value.objectClass) && descriptor(value.object, depth + 1);
    case ValueKind::List:
        if (!u32(count))
            return false;
        for (uint32_t i = 0; i < count; ++i) {
            value.list.emplace_back();
            if (!this->value(value.list.back(), depth + 1))
                return false;
        }
        return true;
    }
    return false;
}
} // namespace

std::vector<uint8_t> flattenDescriptor(const Descriptor& descriptor) {
    FlatWriter writer;
    writer.descriptor(descriptor);
    return std::move(writer.bytes);
}

std::optional<Descriptor> unflattenDescriptor(std::span<const uint8_t> bytes) {
    FlatReader reader(bytes);
    Descriptor descriptor;
    if (!reader.descriptor(descriptor, 0) || !reader.atEnd())
        return std::nullopt;
    return descriptor;
}

Handle descriptorToHandle(const Descriptor& descriptor) {
    const std::vector<uint8_t> bytes = flattenDescriptor(descriptor);
    Handle handle = NewHandle(int32_t(bytes.size()));
    if (handle)
        std::memcpy(*handle, bytes.data(), bytes.size());
    return handle;
}

std::optional<Descriptor> descriptorFromHandle(Handle handle) {
    if (!handle)
        return std::nullopt;
    const auto* bytes = static_cast<const uint8_t*>(*handle);
    return unflattenDescriptor({bytes, size_t(HostGetHandleSize(nullptr, handle))});
}
