#pragma once
#include <cstdint>

#include "protocol/descriptor_tables.h"

struct HostHandleTable;
struct PluginState;

// Applies every key of the descriptor the reader is open on to the state and
// decides through showDialog whether the dialog comes. Any host error stops
// the read at the next key, asks for the dialog and answers false; the error
// stays in the cell.
uint8_t ReadScriptParameters(void* context, HostScriptRecord* script,
                             DescriptorReadToken** reader, int16_t* errorCell);

// Writes every setting to the open writer for recording, in a fixed key order.
// The first error makes every later write a no-op. Changes no setting.
uint8_t WriteScriptParameters(void* context, HostScriptRecord* script,
                              DescriptorWriteToken** writer, int16_t* errorCell);

// Reads the 'RGBC' object under the current key as three 16-bit channels
// (red, green, blue). A missing object sets -108.
uint8_t ReadRgbDescriptor(HostHandleTable* handles, HostScriptRecord* script,
                          DescriptorReadToken** reader, uint16_t rgb[3], int16_t* errorCell);
