#include "resources/version_table.h"

namespace {
constexpr uint32_t kDebugBuild = 0x1;
constexpr uint32_t kAllFileFlags = 0x3F;
constexpr uint32_t kWindows32 = 4;
constexpr uint32_t kDynamicLibrary = 2;
} // namespace

const VersionBlock& orvaneVersionBlock() {
    static const VersionBlock block{
        {5, 0, 128, 0},
        {5, 0, 6, 0},
        kAllFileFlags,
        kDebugBuild,
        kWindows32,
        kDynamicLibrary,
        "040904E4", // U.S. English, Windows-1252
        {
            {"CompanyName", "Halvorn"},
            {"FileDescription", "Module externe Orvane de Zerafin"},
            {"FileVersion", "5.0"},
            {"InternalName", "Orvane"},
            {"LegalCopyright", "Copyright (C) Halvorn"},
            {"OriginalFilename", "Orvane.9ZF"},
            {"ProductName", "Halvorn Zerafin"},
            {"ProductVersion", "5.0"},
        },
    };
    return block;
}
