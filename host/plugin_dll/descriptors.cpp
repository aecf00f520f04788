// The support library's descriptor services: they open a reader or writer on
// the host's descriptor through the script record's tables and let the
// plug-in's procedure do the reading or writing.
#include "host/plugin_dll/point_descriptor.h"
#include "protocol/plugin_api.h"
#include "protocol/result_codes.h"

namespace {

bool canRead(const HostScriptRecord* script) {
    return script && script->descriptor && script->readerTable;
}

bool canWrite(const HostScriptRecord* script) {
    return script && script->writerTable;
}
} // namespace

// The descriptor to play is consumed: it is released once read, and the
// script record no longer holds it.
PLUGIN_API uint8_t UtilReadDescriptors(void* context, HostHandleTable* handles,
                                       HostScriptRecord* script, ReadParametersProc read,
                                       int16_t* errorCell) {
    *errorCell = 0;
    if (!canRead(script))
        return false;
    const DescriptorReaderTable& table = *script->readerTable;
    Handle descriptor = script->descriptor;
    script->descriptor = nullptr;
    DescriptorReadToken* reader = table.openReader(descriptor, nullptr);
    if (!reader) {
        *errorCell = result::outOfMemory;
        HostDisposeHandle(handles, descriptor);
        return false;
    }
    // The procedure has judged every error it met; closing adds nothing.
    const uint8_t wasRead = read(context, script, &reader, errorCell);
    table.closeReader(reader);
    HostDisposeHandle(handles, descriptor);
    return wasRead;
}

// The finished descriptor replaces whatever the script record held; after an
// error it is dropped.
PLUGIN_API uint8_t UtilWriteDescriptors(void* context, HostHandleTable* handles,
                                        HostScriptRecord* script, WriteParametersProc write,
                                        int16_t* errorCell) {
    if (!canWrite(script))
        return false;
    const DescriptorWriterTable& table = *script->writerTable;
    DescriptorWriteToken* writer = table.openWriter();
    if (!writer) {
        *errorCell = result::outOfMemory;
        return false;
    }
    write(context, script, &writer, errorCell);
    Handle written = nullptr;
    const int16_t closeError = table.closeWriter(writer, &written);
    if (*errorCell == 0)
        *errorCell = closeError;
    HostDisposeHandle(handles, script->descriptor);
    script->descriptor = nullptr;
    if (*errorCell != 0) {
        HostDisposeHandle(handles, written);
        return false;
    }
    script->descriptor = written;
    return true;
}

PLUGIN_API uint8_t UtilReadPointDescriptor(HostHandleTable* handles, HostScriptRecord* script,
                                           DescriptorReadToken** reader, double* horizontal,
                                           double* vertical, int16_t* errorCell) {
    const DescriptorReaderTable& table = *script->readerTable;
    Handle point = nullptr;
    *errorCell = table.readObject(*reader, nullptr, &point);
    DescriptorReadToken* nested = point ? table.openReader(point, nullptr) : nullptr;
    if (*errorCell != 0 || !nested) {
        if (*errorCell == 0)
            *errorCell = result::outOfMemory;
        HostDisposeHandle(handles, point);
        return false;
    }
    double x = 0.0, y = 0.0;
    uint32_t key = 0;
    while (*errorCell == 0 && table.nextKey(nested, &key, nullptr, nullptr)) {
        if (key == pointDescriptor::horizontal)
            *errorCell = table.readFloat(nested, &x);
        else if (key == pointDescriptor::vertical)
            *errorCell = table.readFloat(nested, &y);
    }
    const int16_t closeError = table.closeReader(nested);
    if (*errorCell == 0)
        *errorCell = closeError;
    HostDisposeHandle(handles, point);
    if (*errorCell != 0)
        return false;
    *horizontal = x;
    *vertical = y;
    return true;
}

PLUGIN_API uint8_t UtilWritePointDescriptor(HostHandleTable* handles,
                                            DescriptorWriterTable* writerTable,
                                            DescriptorWriteToken** writer, uint32_t key,
                                            const double* horizontal, const double* vertical,
                                            int16_t* errorCell) {
    DescriptorWriteToken* nested = writerTable->openWriter();
    if (!nested) {
        *errorCell = result::outOfMemory;
        return false;
    }
    *errorCell = writerTable->writeFloat(nested, pointDescriptor::horizontal, horizontal);
    if (*errorCell == 0)
        *errorCell = writerTable->writeFloat(nested, pointDescriptor::vertical, vertical);
    Handle point = nullptr;
    const int16_t closeError = writerTable->closeWriter(nested, &point);
    if (*errorCell == 0)
        *errorCell = closeError;
    if (point && *errorCell == 0)
        *errorCell = writerTable->writeObject(*writer, key, pointDescriptor::objectClass, point);
    HostDisposeHandle(handles, point);
    return *errorCell == 0;
}
