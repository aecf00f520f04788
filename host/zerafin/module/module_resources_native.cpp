#include "host/zerafin/module/module_resources.h"
#include "resources/resource_data.h"

bool readModuleDescription(const std::string&, ModuleDescription& description, std::string&) {
    const std::span<const uint8_t> propertyList = propertyListBytes();
    const std::span<const uint8_t> terminology = terminologyBytes();
    description.propertyList.assign(propertyList.begin(), propertyList.end());
    description.terminology.assign(terminology.begin(), terminology.end());
    description.version = orvaneVersionBlock();
    return true;
}
