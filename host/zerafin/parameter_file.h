#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The --params file: the parameter block a module leaves in the host's
// parameter handle, kept between runs. The block's contents are the module's
// own; the host wraps them so that it can tell a complete file written for
// this module from a truncated, damaged or foreign one. Little-endian:
//   "ZFPB", format version (u16) 1, the module's name (a length byte and the
//   characters), the block's size (u32), the block's CRC-32 (u32), the block.
constexpr uint64_t kMaxParameterFileBytes = 1 << 20;

std::vector<uint8_t> parameterFileBytes(const std::string& moduleName,
                                        std::span<const uint8_t> block);

// The block of a parameter file written for the named module. False with a
// message saying what is wrong with the file.
bool readParameterFile(std::span<const uint8_t> bytes, const std::string& moduleName,
                       std::vector<uint8_t>& block, std::string& error);
