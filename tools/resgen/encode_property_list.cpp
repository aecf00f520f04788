#include "tools/resgen/encode_property_list.h"

#include "tools/resgen/byte_writer.h"

std::vector<uint8_t> encodePropertyList(const PropertyList& list) {
    ByteWriter writer;
    writer.u16(list.resourceVersion);
    writer.u32(list.listVersion);
    writer.u32(uint32_t(list.properties.size()));
    for (const Property& property : list.properties) {
        writer.u32(property.vendor);
        writer.u32(property.key);
        writer.u32(property.id);
        writer.u32(uint32_t(property.data.size()));
        writer.append(property.data);
        writer.zeros((4 - property.data.size() % 4) % 4);
    }
    return writer.data();
}
