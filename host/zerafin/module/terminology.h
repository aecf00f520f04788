#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "protocol/terminology.h"

// Parses the "AETE" bytes; on failure returns std::nullopt and sets error.
std::optional<Terminology> parseTerminology(std::span<const uint8_t> bytes, std::string& error);
