// The reader and writer procedures the host hands the plug-in: a reader walks
// the keys of a descriptor flattened into a handle, a writer collects keyed
// values and hands the finished descriptor back as a new handle.
#include <new>

#include "host/zerafin/plugin_services/descriptor_model.h"

namespace {
// The plug-in calls these procedures: running out of memory becomes
// result::outOfMemory here and never unwinds through the plug-in.
template <typename Operation> int16_t withoutThrowing(Operation operation) {
    try {
        return operation();
    } catch (const std::bad_alloc&) {
        return descriptorError::noMemory;
    }
}

struct HostReader {
    Descriptor descriptor;
    size_t nextItem = 0;
    const DescriptorItem* current = nullptr; // the item of the last key delivered
    size_t nextElement = 0;                  // within a list: the next item to read
    int16_t firstError = 0;                  // what closing the reader answers
};

HostReader* hostReaderOf(DescriptorReadToken* token) {
    return reinterpret_cast<HostReader*>(token);
}

int16_t failReading(HostReader* reader, int16_t error) {
    if (reader && reader->firstError == 0)
        reader->firstError = error;
    return error;
}

// The value a read takes: the current key's value, or for a list its next item.
const DescriptorValue* nextValue(HostReader* reader) {
    if (!reader || !reader->current)
        return nullptr;
    const DescriptorValue& value = reader->current->value;
    if (value.kind != ValueKind::List)
        return &value;
    if (reader->nextElement >= value.list.size())
        return nullptr;
    return &value.list[reader->nextElement++];
}

// Finds the value of the wanted kind, or answers the error in `error`.
const DescriptorValue* valueToRead(DescriptorReadToken* token, ValueKind wanted, int16_t& error) {
    HostReader* reader = hostReaderOf(token);
    const DescriptorValue* value = nextValue(reader);
    error = 0;
    if (!value)
        error = failReading(reader, descriptorError::noValue);
    else if (value->kind != wanted)
        error = failReading(reader, descriptorError::wrongType);
    return error == 0 ? value : nullptr;
}

DescriptorReadToken* openReader(Handle descriptor, const void*) {
    HostReader* reader = nullptr;
    withoutThrowing([&] {
        std::optional<Descriptor> read = descriptorFromHandle(descriptor);
        if (read)
            reader = new HostReader{std::move(*read)};
        return 0;
    });
    return reinterpret_cast<DescriptorReadToken*>(reader);
}

int16_t closeReader(DescriptorReadToken* token) {
    HostReader* reader = hostReaderOf(token);
    if (!reader)
        return descriptorError::noValue;
    const int16_t error = reader->firstError;
    delete reader;
    return error;
}

uint8_t nextKey(DescriptorReadToken* token, uint32_t* key, uint32_t* type, int32_t* flags) {
    HostReader* reader = hostReaderOf(token);
    if (!reader || reader->nextItem >= reader->descriptor.items.size()) {
        if (reader)
            reader->current = nullptr;
        return false;
    }
    reader->current = &reader->descriptor.items[reader->nextItem++];
    reader->nextElement = 0;
    *key = reader->current->key;
    if (type)
        *type = typeCodeOf(reader->current->value.kind);
    if (flags)
        *flags = 0;
    return true;
}

int16_t readInteger(DescriptorReadToken* token, int32_t* out) {
    int16_t error = 0;
    if (const DescriptorValue* value = valueToRead(token, ValueKind::Integer, error))
        *out = value->integer;
    return error;
}

int16_t readFloat(DescriptorReadToken* token, double* out) {
    int16_t error = 0;
    if (const DescriptorValue* value = valueToRead(token, ValueKind::Float, error))
        *out = value->number;
    return error;
}

int16_t readBoolean(DescriptorReadToken* token, uint8_t* out) {
    int16_t error = 0;
    if (const DescriptorValue* value = valueToRead(token, ValueKind::Boolean, error))
        *out = value->boolean ? 1 : 0;
    return error;
}

int16_t readEnumerated(DescriptorReadToken* token, uint32_t* out) {
    int16_t error = 0;
    if (const DescriptorValue* value = valueToRead(token, ValueKind::Enumerated, error))
        *out = value->enumValue;
    return error;
}

int16_t readReference(DescriptorReadToken* token, ChannelReference* out) {
    int16_t error = 0;
    if (const DescriptorValue* value = valueToRead(token, ValueKind::Reference, error))
        *out = value->reference;
    return error;
}

int16_t readObject(DescriptorReadToken* token, uint32_t* objectClass, Handle* out) {
    int16_t error = 0;
    *out = nullptr;
    const DescriptorValue* value = valueToRead(token, ValueKind::Object, error);
    if (!value)
        return error;
    if (objectClass)
        *objectClass = value->objectClass;
    error = withoutThrowing([&] {
        *out = descriptorToHandle(value->object);
        return *out ? 0 : descriptorError::noMemory;
    });
    return error == 0 ? 0 : failReading(hostReaderOf(token), error);
}

int16_t readCount(DescriptorReadToken* token, uint32_t* count) {
    HostReader* reader = hostReaderOf(token);
    if (!reader || !reader->current)
        return failReading(reader, descriptorError::noValue);
    if (reader->current->value.kind != ValueKind::List)
        return failReading(reader, descriptorError::wrongType);
    *count = uint32_t(reader->current->value.list.size());
    return 0;
}

struct HostWriter {
    Descriptor descriptor;
};

HostWriter* hostWriterOf(DescriptorWriteToken* token) {
    return reinterpret_cast<HostWriter*>(token);
}

int16_t append(DescriptorWriteToken* token, uint32_t key, DescriptorValue value) {
    HostWriter* writer = hostWriterOf(token);
    if (!writer)
        return descriptorError::noValue;
    return withoutThrowing([&] {
        writer->descriptor.items.push_back({key, std::move(value)});
        return 0;
    });
}

DescriptorWriteToken* openWriter() {
    return reinterpret_cast<DescriptorWriteToken*>(new (std::nothrow) HostWriter);
}

int16_t closeWriter(DescriptorWriteToken* token, Handle* out) {
    HostWriter* writer = hostWriterOf(token);
    *out = nullptr;
    if (!writer)
        return descriptorError::noValue;
    const int16_t error = withoutThrowing([&] {
        *out = descriptorToHandle(writer->descriptor);
        return *out ? 0 : descriptorError::noMemory;
    });
    delete writer;
    return error;
}

int16_t writeInteger(DescriptorWriteToken* writer, uint32_t key, int32_t value) {
    return append(writer, key, DescriptorValue::makeInteger(value));
}

int16_t writeFloat(DescriptorWriteToken* writer, uint32_t key, const double* value) {
    return append(writer, key, DescriptorValue::makeFloat(*value));
}

int16_t writeBoolean(DescriptorWriteToken* writer, uint32_t key, uint8_t value) {
    return append(writer, key, DescriptorValue::makeBoolean(value != 0));
}

int16_t writeEnumerated(DescriptorWriteToken* writer, uint32_t key, uint32_t type, uint32_t value) {
    return append(writer, key, DescriptorValue::makeEnumerated(type, value));
}

int16_t writeReference(DescriptorWriteToken* writer, uint32_t key, const ChannelReference* value) {
    return append(writer, key, DescriptorValue::makeReference(*value));
}

// An object written under the key of the list just announced joins the list.
int16_t addObject(HostWriter& writer, uint32_t key, uint32_t objectClass, Handle descriptor) {
    std::optional<Descriptor> object = descriptorFromHandle(descriptor);
    if (!object)
        return descriptorError::unreadable;
    DescriptorValue value = DescriptorValue::makeObject(objectClass, std::move(*object));
    std::vector<DescriptorItem>& items = writer.descriptor.items;
    if (!items.empty() && items.back().key == key && items.back().value.kind == ValueKind::List)
        items.back().value.list.push_back(std::move(value));
    else
        items.push_back({key, std::move(value)});
    return 0;
}

int16_t writeObject(DescriptorWriteToken* token, uint32_t key, uint32_t objectClass,
                    Handle descriptor) {
    HostWriter* writer = hostWriterOf(token);
    if (!writer)
        return descriptorError::noValue;
    return withoutThrowing([&] { return addObject(*writer, key, objectClass, descriptor); });
}

int16_t writeCount(DescriptorWriteToken* writer, uint32_t key, uint32_t) {
    return append(writer, key, DescriptorValue::makeList({}));
}

DescriptorReaderTable readerTable{
    1,          14,          openReader, closeReader, nextKey,        readInteger, readFloat,
    nullptr,    readBoolean, nullptr,    nullptr,     readEnumerated, nullptr,     readReference,
    readObject, readCount};
DescriptorWriterTable writerTable{1,
                                  13,
                                  openWriter,
                                  closeWriter,
                                  writeInteger,
                                  writeFloat,
                                  nullptr,
                                  writeBoolean,
                                  nullptr,
                                  nullptr,
                                  writeEnumerated,
                                  nullptr,
                                  writeReference,
                                  writeObject,
                                  writeCount};
} // namespace

DescriptorReaderTable* hostReaderTable() {
    return &readerTable;
}
DescriptorWriterTable* hostWriterTable() {
    return &writerTable;
}
