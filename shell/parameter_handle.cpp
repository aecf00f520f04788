#include "shell/parameter_handle.h"

#include "protocol/host_tables.h"
#include "protocol/plugin_api.h"
#include "protocol/result_codes.h"

namespace {
bool handleHoldsBlock(HostRecord& host) {
    return HostGetHandleSize(host.handleTable, host.parameterHandle) >=
           int32_t(sizeof(ParameterBlock));
}
} // namespace

int16_t createParameterBlock(HostRecord& host) {
    // A handle too small for the block would be written past its end: treat
    // it as absent.
    if (host.parameterHandle && !handleHoldsBlock(host)) {
        HostDisposeHandle(host.handleTable, host.parameterHandle);
        host.parameterHandle = nullptr;
    }
    if (host.parameterHandle)
        return result::ok;
    Handle handle = NewHandle(int32_t(sizeof(ParameterBlock)));
    if (!handle)
        return result::outOfMemory;
    host.parameterHandle = handle;
    auto* block = static_cast<ParameterBlock*>(*handle);
    block->signature = ParameterBlock::kSignature;
    block->one32 = 1;
    block->one16 = 1;
    return result::ok;
}

ParameterBlock* lockParameterBlock(HostRecord& host) {
    if (!host.parameterHandle)
        return nullptr;
    HLock(host.parameterHandle);
    return static_cast<ParameterBlock*>(*host.parameterHandle);
}
