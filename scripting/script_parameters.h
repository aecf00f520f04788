#pragma once
#include <cstdint>

#include "protocol/descriptor_tables.h"

struct HostHandleTable;
struct HostRecord;
struct Settings;

// What a script is read into or written from: the settings, the host (its
// handles and the document's channel names; null without one), and for
// writing the geometry the run lit.
struct ScriptContext {
    Settings& settings;
    const HostRecord* host = nullptr;
    // Writing: the run lit the lights from their percent geometry (a script
    // without the dialog), not from their preview pixels.
    bool litFromPercent = false;
    int16_t previewWidth = 0; // writing: the preview image's width in preview pixels
    // Reading: whether the dialog comes (after an error, or when the script
    // asks for it).
    bool showDialog = false;
};

// Applies every key of the descriptor the reader is open on to the settings of
// the ScriptContext that `context` points to, and decides through its
// showDialog whether the dialog comes. Any host error stops
// the read at the next key, asks for the dialog and answers false; the error
// stays in the cell.
uint8_t ReadScriptParameters(void* context, HostScriptRecord* script, DescriptorReadToken** reader,
                             int16_t* errorCell);

// Writes every setting of the ScriptContext that `context` points to to the
// open writer for recording, in a fixed key order. The first error makes every
// later write a no-op. Changes no setting.
uint8_t WriteScriptParameters(void* context, HostScriptRecord* script,
                              DescriptorWriteToken** writer, int16_t* errorCell);

// Reads the 'RGBC' object under the current key as three 16-bit channels
// (red, green, blue). A missing object sets result::outOfMemory.
uint8_t ReadRgbDescriptor(HostHandleTable* handles, HostScriptRecord* script,
                          DescriptorReadToken** reader, uint16_t rgb[3], int16_t* errorCell);
