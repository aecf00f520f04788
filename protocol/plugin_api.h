#pragma once
#include <cstdint>

#include "protocol/descriptor_tables.h"
#include "protocol/host_record.h"

// The host's support library, PLUGIN.dll. The plug-in imports these plain C
// functions; the host kit under host/ provides them (as a DLL on Windows and
// as a static library in the native build).

#if defined(_WIN32) && defined(PLUGIN_DLL_BUILD)
#define PLUGIN_API extern "C" __declspec(dllexport)
#elif defined(_WIN32)
#define PLUGIN_API extern "C" __declspec(dllimport)
#else
#define PLUGIN_API extern "C"
#endif

struct ThreadSet; // opaque worker-thread set
using ThreadWorkerProc = void (*)(void* threadBlock);

// Handles and pointers.
PLUGIN_API Handle NewHandle(int32_t size);
PLUGIN_API void HLock(Handle handle);
PLUGIN_API int32_t HostGetHandleSize(HostHandleTable* table, Handle handle);
PLUGIN_API void HostDisposeHandle(HostHandleTable* table, Handle handle);
PLUGIN_API void* NewPtr(int32_t size);
PLUGIN_API void DisposePtr(void* block);

// Worker threads. Every thread owns a zero-initialised block of the size given
// to PIThreadsInit; PIThreadsDoAll runs the worker on every thread and returns
// once all of them have returned.
PLUGIN_API int16_t PIThreadsGetNumThreads();
PLUGIN_API ThreadSet* PIThreadsInit(int32_t blockSize);
PLUGIN_API void* PIThreadsGetParamsPtr(ThreadSet* set, int16_t index);
PLUGIN_API int16_t PIThreadsDoAll(int32_t reserved, ThreadSet* set, ThreadWorkerProc worker);
PLUGIN_API void PIThreadsEndThreads(ThreadSet* set);

// Scripting descriptors. UtilReadDescriptors hands the script record's
// descriptor to `read` through an open reader and consumes it: true when one
// was read, with the outcome in the error cell (0 when there was none).
// UtilWriteDescriptors calls `write` with an open writer and leaves the finished
// descriptor in the script record. The point functions exchange a 'Pnt ' value
// whole, horizontal first.
PLUGIN_API uint8_t UtilReadDescriptors(void* context, HostHandleTable* handles,
                                       HostScriptRecord* script, ReadParametersProc read,
                                       int16_t* errorCell);
PLUGIN_API uint8_t UtilWriteDescriptors(void* context, HostHandleTable* handles,
                                        HostScriptRecord* script, WriteParametersProc write,
                                        int16_t* errorCell);
PLUGIN_API uint8_t UtilReadPointDescriptor(HostHandleTable* handles, HostScriptRecord* script,
                                           DescriptorReadToken** reader, double* horizontal,
                                           double* vertical, int16_t* errorCell);
PLUGIN_API uint8_t UtilWritePointDescriptor(HostHandleTable* handles,
                                            DescriptorWriterTable* writerTable,
                                            DescriptorWriteToken** writer, uint32_t key,
                                            const double* horizontal, const double* vertical,
                                            int16_t* errorCell);

// Host-side setting, not called by the plug-in: how many workers a set gets.
PLUGIN_API void PIThreadsSetCount(int16_t count);

// Host-side count, not called by the plug-in: the blocks NewPtr gave out that
// DisposePtr has not taken back yet.
PLUGIN_API int32_t HostLivePointerCount();
