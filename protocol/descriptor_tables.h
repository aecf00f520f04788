#pragma once
#include <cstddef>
#include <cstdint>

#include "protocol/four_cc.h"
#include "protocol/host_record.h"

// The host's scripting services as the plug-in reaches them: the script record
// in the HostRecord, and through it the tables of procedures that read and
// write descriptors. A descriptor is a list of keyed values; colours, points and
// each light are nested descriptors, handed over as handles. Reader and writer
// tokens are the host's own values; the plug-in only passes them back.

struct DescriptorReadToken;  // opaque to the plug-in
struct DescriptorWriteToken; // opaque to the plug-in

// The host's type codes of descriptor values.
namespace descriptorType {
constexpr uint32_t integer = fourCC("long");
constexpr uint32_t real = fourCC("doub");
constexpr uint32_t boolean = fourCC("bool");
constexpr uint32_t enumerated = fourCC("enum");
constexpr uint32_t reference = fourCC("rfrn");
constexpr uint32_t object = fourCC("Objc");
constexpr uint32_t list = fourCC("VlLs");
constexpr uint32_t channelReference = fourCC("#ChR");
} // namespace descriptorType

// The host's classes of nested descriptors.
namespace descriptorClass {
constexpr uint32_t rgbColor = fourCC("RGBC");
constexpr uint32_t point = fourCC("Pnt ");
} // namespace descriptorClass

// How a channel reference names its channel.
namespace channelForm {
constexpr uint32_t channelClass = fourCC("Chnl"); // its class and enumeration type
constexpr uint32_t byEnumerated = fourCC("Enmr");
constexpr uint32_t byIndex = fourCC("indx");
constexpr uint32_t byName = fourCC("name");
} // namespace channelForm

// A channel reference in the host's layout.
struct ChannelReference {
    uint32_t desiredClass; // 'Chnl' when written
    uint32_t form;         // 'Enmr' by enumerated value, 'indx' by index, 'name' by name
    uint8_t name[256];     // length byte and up to 255 characters
    int32_t index;
    uint32_t type;  // enumeration type, 'Chnl' when written
    uint32_t value; // enumerated value: 'Rd  ', 'Grn ', 'Bl  '

    bool operator==(const ChannelReference&) const = default;
};
static_assert(offsetof(ChannelReference, form) == 4);
static_assert(offsetof(ChannelReference, name) == 8);
static_assert(offsetof(ChannelReference, index) == 264);
static_assert(offsetof(ChannelReference, type) == 268);
static_assert(offsetof(ChannelReference, value) == 272);
static_assert(sizeof(ChannelReference) == 276);

// Every procedure answers a 16-bit error (0 = success) unless noted.
using OpenReaderProc = DescriptorReadToken* (*)(Handle descriptor, const void* reserved);
using CloseReaderProc = int16_t (*)(DescriptorReadToken* reader);
// True while a key was delivered; type and flags may be null.
using NextKeyProc = uint8_t (*)(DescriptorReadToken* reader, uint32_t* key, uint32_t* type,
                                int32_t* flags);
using ReadIntegerProc = int16_t (*)(DescriptorReadToken* reader, int32_t* value);
using ReadFloatProc = int16_t (*)(DescriptorReadToken* reader, double* value);
using ReadBooleanProc = int16_t (*)(DescriptorReadToken* reader, uint8_t* value);
using ReadEnumeratedProc = int16_t (*)(DescriptorReadToken* reader, uint32_t* value);
using ReadReferenceProc = int16_t (*)(DescriptorReadToken* reader, ChannelReference* value);
// The class may be null when it is not wanted.
using ReadObjectProc = int16_t (*)(DescriptorReadToken* reader, uint32_t* objectClass,
                                   Handle* descriptor);
using ReadCountProc = int16_t (*)(DescriptorReadToken* reader, uint32_t* count);

struct DescriptorReaderTable {
    int16_t version;
    int16_t count;
    OpenReaderProc openReader;
    CloseReaderProc closeReader;
    NextKeyProc nextKey;
    ReadIntegerProc readInteger;
    ReadFloatProc readFloat;
    void* reserved24;
    ReadBooleanProc readBoolean;
    void* reserved32;
    void* reserved36;
    ReadEnumeratedProc readEnumerated;
    void* reserved44;
    ReadReferenceProc readReference;
    ReadObjectProc readObject;
    ReadCountProc readCount;
};

using OpenWriterProc = DescriptorWriteToken* (*)();
using CloseWriterProc = int16_t (*)(DescriptorWriteToken* writer, Handle* descriptor);
using WriteIntegerProc = int16_t (*)(DescriptorWriteToken* writer, uint32_t key, int32_t value);
using WriteFloatProc = int16_t (*)(DescriptorWriteToken* writer, uint32_t key, const double* value);
using WriteBooleanProc = int16_t (*)(DescriptorWriteToken* writer, uint32_t key, uint8_t value);
using WriteEnumeratedProc = int16_t (*)(DescriptorWriteToken* writer, uint32_t key, uint32_t type,
                                        uint32_t value);
using WriteReferenceProc = int16_t (*)(DescriptorWriteToken* writer, uint32_t key,
                                       const ChannelReference* value);
using WriteObjectProc = int16_t (*)(DescriptorWriteToken* writer, uint32_t key,
                                    uint32_t objectClass, Handle descriptor);
// Announces a list under `key`; the objects that follow under the same key
// are its items.
using WriteCountProc = int16_t (*)(DescriptorWriteToken* writer, uint32_t key, uint32_t count);

struct DescriptorWriterTable {
    int16_t version;
    int16_t count;
    OpenWriterProc openWriter;
    CloseWriterProc closeWriter;
    WriteIntegerProc writeInteger;
    WriteFloatProc writeFloat;
    void* reserved20;
    WriteBooleanProc writeBoolean;
    void* reserved28;
    void* reserved32;
    WriteEnumeratedProc writeEnumerated;
    void* reserved40;
    WriteReferenceProc writeReference;
    WriteObjectProc writeObject;
    WriteCountProc writeCount;
};

// The play mode of a script that shows the dialog while it plays.
constexpr int16_t kPlayModeShowDialog = 1;

struct HostScriptRecord {
    int16_t version;
    int16_t playMode; // kPlayModeShowDialog: show the dialog while a script plays
    int16_t recordMode;
    int16_t reserved6;
    Handle descriptor; // the descriptor to play, or the one just written
    DescriptorWriterTable* writerTable;
    DescriptorReaderTable* readerTable;
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(offsetof(DescriptorReaderTable, openReader) == 4);
static_assert(offsetof(DescriptorReaderTable, closeReader) == 8);
static_assert(offsetof(DescriptorReaderTable, nextKey) == 12);
static_assert(offsetof(DescriptorReaderTable, readInteger) == 16);
static_assert(offsetof(DescriptorReaderTable, readFloat) == 20);
static_assert(offsetof(DescriptorReaderTable, readBoolean) == 28);
static_assert(offsetof(DescriptorReaderTable, readEnumerated) == 40);
static_assert(offsetof(DescriptorReaderTable, readReference) == 48);
static_assert(offsetof(DescriptorReaderTable, readObject) == 52);
static_assert(offsetof(DescriptorReaderTable, readCount) == 56);
static_assert(sizeof(DescriptorReaderTable) == 60);

static_assert(offsetof(DescriptorWriterTable, openWriter) == 4);
static_assert(offsetof(DescriptorWriterTable, closeWriter) == 8);
static_assert(offsetof(DescriptorWriterTable, writeInteger) == 12);
static_assert(offsetof(DescriptorWriterTable, writeFloat) == 16);
static_assert(offsetof(DescriptorWriterTable, writeBoolean) == 24);
static_assert(offsetof(DescriptorWriterTable, writeEnumerated) == 36);
static_assert(offsetof(DescriptorWriterTable, writeReference) == 44);
static_assert(offsetof(DescriptorWriterTable, writeObject) == 48);
static_assert(offsetof(DescriptorWriterTable, writeCount) == 52);
static_assert(sizeof(DescriptorWriterTable) == 56);

static_assert(offsetof(HostScriptRecord, playMode) == 2);
static_assert(offsetof(HostScriptRecord, recordMode) == 4);
static_assert(offsetof(HostScriptRecord, descriptor) == 8);
static_assert(offsetof(HostScriptRecord, writerTable) == 12);
static_assert(offsetof(HostScriptRecord, readerTable) == 16);
#endif

// The plug-in's procedures that the support library calls with a reader or a
// writer open on the host's descriptor; `context` is the plug-in's own value,
// passed through untouched. True when the error cell is 0 at the end.
using ReadParametersProc = uint8_t (*)(void* context, HostScriptRecord* script,
                                       DescriptorReadToken** reader, int16_t* errorCell);
using WriteParametersProc = uint8_t (*)(void* context, HostScriptRecord* script,
                                        DescriptorWriteToken** writer, int16_t* errorCell);
