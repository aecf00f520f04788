#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "protocol/terminology.h"

// The "AETE" resource bytes, with no padding anywhere; names in Windows-1252
// and every description empty. Fails when a name has no Windows-1252 form or
// is longer than 255 bytes.
std::optional<std::vector<uint8_t>> encodeTerminology(const Terminology& terminology,
                                                      std::string& error);
