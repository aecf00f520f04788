#pragma once
#include <optional>
#include <string>
#include <string_view>

// Our sources are UTF-8. The module's single-byte texts (terminology,
// property list, the ANSI side of the string table) are in the Windows-1252
// code page, and the texts of its dialog templates in UTF-16.

// UTF-8 to Windows-1252; nullopt when a character has no Windows-1252 byte or
// the UTF-8 is malformed.
std::optional<std::string> utf8ToWindows1252(std::string_view utf8);

// Windows-1252 to UTF-8. The five unassigned bytes (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) come out as U+FFFD.
std::string windows1252ToUtf8(std::string_view windows1252);

// UTF-8 to UTF-16 (characters beyond U+FFFF as surrogate pairs); nullopt when
// the UTF-8 is malformed.
std::optional<std::u16string> utf8ToUtf16(std::string_view utf8);
