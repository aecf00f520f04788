#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "resources/version_table.h"

// What a filter module carries for the host to read before running it.
struct ModuleDescription {
    std::vector<uint8_t> propertyList; // resource "PIPL" 16000
    std::vector<uint8_t> terminology;  // the "AETE" resource that 'hstm' names; may be empty
    std::optional<VersionBlock> version;
};

// The Win32 host reads the module file's resources without running any of its
// code; the native host, which has the plug-in linked in, answers with the
// plug-in's own resource data. False with a message on failure.
bool readModuleDescription(const std::string& modulePath, ModuleDescription& description,
                           std::string& error);

#ifdef _WIN32
// The bytes of one resource of the module file.
std::optional<std::vector<uint8_t>>
readModuleResource(const std::string& modulePath, const char* type, int id, std::string& error);
// The module file's version block: the fixed numbers and the standard strings
// present in its first string table.
std::optional<VersionBlock> readModuleVersionBlock(const std::string& modulePath,
                                                   std::string& error);
#endif
