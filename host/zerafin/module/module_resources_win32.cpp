#include <windows.h>

#include <cstdio>

#include "host/zerafin/module/module_resources.h"
#include "host/zerafin/module/property_list.h"
#include "protocol/property_list.h"
#include "resources/resource_ids.h"

namespace {
// The module mapped as data only: its code never runs.
class DataModule {
  public:
    explicit DataModule(const std::string& path)
        : module(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~DataModule() {
        if (module)
            FreeLibrary(module);
    }
    DataModule(const DataModule&) = delete;
    DataModule& operator=(const DataModule&) = delete;

    HMODULE module;
};

// The names of the standard strings of a version block.
constexpr const char* kVersionStringNames[] = {
    "Comments",     "CompanyName",    "FileDescription", "FileVersion",
    "InternalName", "LegalCopyright", "LegalTrademarks", "OriginalFilename",
    "PrivateBuild", "ProductName",    "ProductVersion",  "SpecialBuild",
};

std::array<uint16_t, 4> versionParts(DWORD high, DWORD low) {
    return {HIWORD(high), LOWORD(high), HIWORD(low), LOWORD(low)};
}

bool readFixedInfo(const std::vector<char>& data, VersionBlock& block) {
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    if (!VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &size) || !fixed)
        return false;
    block.fileVersion = versionParts(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
    block.productVersion = versionParts(fixed->dwProductVersionMS, fixed->dwProductVersionLS);
    block.fileFlagsMask = fixed->dwFileFlagsMask;
    block.fileFlags = fixed->dwFileFlags;
    block.fileOs = fixed->dwFileOS;
    block.fileType = fixed->dwFileType;
    return true;
}

// The string table named by the first language and code page pair.
bool readStrings(const std::vector<char>& data, VersionBlock& block) {
    WORD* translation = nullptr;
    UINT size = 0;
    if (!VerQueryValueA(data.data(), "\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &size) ||
        size < 2 * sizeof(WORD))
        return false;
    char name[16];
    std::snprintf(name, sizeof name, "%04X%04X", unsigned(translation[0]),
                  unsigned(translation[1]));
    block.languageCodePage = name;
    for (const char* stringName : kVersionStringNames) {
        const std::string query = "\\StringFileInfo\\" + block.languageCodePage + "\\" + stringName;
        char* value = nullptr;
        if (VerQueryValueA(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &size) &&
            value)
            block.strings.emplace_back(stringName, std::string(value));
    }
    return true;
}

// The terminology resource ID that the property list's 'hstm' names, if any.
std::optional<int> terminologyId(const std::vector<uint8_t>& propertyList, std::string& error) {
    const std::optional<PropertyList> list = parsePropertyList(propertyList, error);
    if (!list)
        return std::nullopt;
    const Property* scripting = findProperty(*list, propertyKey::scripting);
    const std::optional<ScriptingInfo> info =
        scripting ? propertyScriptingInfo(*scripting) : std::nullopt;
    return info ? std::optional<int>(int(info->terminologyId)) : std::nullopt;
}
} // namespace

std::optional<std::vector<uint8_t>>
readModuleResource(const std::string& modulePath, const char* type, int id, std::string& error) {
    DataModule data(modulePath);
    if (!data.module) {
        error = "cannot open the module '" + modulePath + "' (error " +
                std::to_string(GetLastError()) + ")";
        return std::nullopt;
    }
    HRSRC found = FindResourceA(data.module, MAKEINTRESOURCEA(id), type);
    HGLOBAL loaded = found ? LoadResource(data.module, found) : nullptr;
    const auto* bytes = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    if (!bytes) {
        error =
            "the module '" + modulePath + "' has no resource " + type + " " + std::to_string(id);
        return std::nullopt;
    }
    return std::vector<uint8_t>(bytes, bytes + SizeofResource(data.module, found));
}

std::optional<VersionBlock> readModuleVersionBlock(const std::string& modulePath,
                                                   std::string& error) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(modulePath.c_str(), &ignored);
    std::vector<char> data(size);
    VersionBlock block;
    if (size == 0 || !GetFileVersionInfoA(modulePath.c_str(), 0, size, data.data()) ||
        !readFixedInfo(data, block) || !readStrings(data, block)) {
        error = "the module '" + modulePath + "' has no readable version block";
        return std::nullopt;
    }
    return block;
}

bool readModuleDescription(const std::string& modulePath, ModuleDescription& description,
                           std::string& error) {
    std::optional<std::vector<uint8_t>> propertyList =
        readModuleResource(modulePath, "PIPL", kPropertyListResource, error);
    if (!propertyList)
        return false;
    description.propertyList = std::move(*propertyList);
    // A module without scripting has no 'hstm' and no terminology.
    if (const std::optional<int> id = terminologyId(description.propertyList, error)) {
        std::optional<std::vector<uint8_t>> terminology =
            readModuleResource(modulePath, "AETE", *id, error);
        if (!terminology)
            return false;
        description.terminology = std::move(*terminology);
    }
    std::string versionError;
    description.version = readModuleVersionBlock(modulePath, versionError);
    return true;
}
