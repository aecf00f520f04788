#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "resources/dialog_table.h"

// The dialog template bytes (the classic, not the extended, form) exactly as
// the table gives them: the plug-in's own class names keep their letter case,
// which a resource compiler would turn into capitals. The font makes the
// template carry DS_SETFONT. Fails on a text that is not valid UTF-8.
std::optional<std::vector<uint8_t>> encodeDialog(const DialogDescription& dialog,
                                                 std::string& error);
