#include "protocol/host_tables.h"
#include "protocol/plugin_api.h"
#include "protocol/result_codes.h"
#include "scripting/script_keys.h"
#include "scripting/script_parameters.h"
#include "scripting/script_values.h"

uint8_t ReadRgbDescriptor(HostHandleTable* handles, HostScriptRecord* script,
                          DescriptorReadToken** reader, uint16_t rgb[3], int16_t* errorCell) {
    const DescriptorReaderTable& table = *script->readerTable;
    Handle colour = nullptr;
    *errorCell = table.readObject(*reader, nullptr, &colour);
    DescriptorReadToken* nested = colour ? table.openReader(colour, nullptr) : nullptr;
    if (!nested) {
        *errorCell = result::outOfMemory;
        HostDisposeHandle(handles, colour);
        return false;
    }
    double red = 0.0, green = 0.0, blue = 0.0;
    uint32_t key = 0;
    while (*errorCell == 0 && table.nextKey(nested, &key, nullptr, nullptr)) {
        if (key == scriptKey::red)
            *errorCell = table.readFloat(nested, &red);
        else if (key == scriptKey::green)
            *errorCell = table.readFloat(nested, &green);
        else if (key == scriptKey::blue)
            *errorCell = table.readFloat(nested, &blue);
    }
    *errorCell = table.closeReader(nested);
    HostDisposeHandle(handles, colour);
    rgb[0] = componentToChannel(red);
    rgb[1] = componentToChannel(green);
    rgb[2] = componentToChannel(blue);
    return *errorCell == 0;
}
