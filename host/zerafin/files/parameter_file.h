#pragma once
#include <cstddef>
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

// What the filter's block holds at least: its size, a signature followed by a
// 32-bit and a 16-bit 1, and the number of prepared lights (at most 16).
constexpr size_t kParameterBlockSize = 66736;
constexpr uint32_t kParameterBlockSignature = 0x05BF44FD;
constexpr size_t kParameterBlockLightCountOffset = 36;
constexpr uint32_t kParameterBlockMaxLights = 16;

std::vector<uint8_t> parameterFileBytes(const std::string& moduleName,
                                        std::span<const uint8_t> block);

// The block of a parameter file written for the named module. False with a
// message saying what is wrong with the file or with the block it holds.
bool readParameterFile(std::span<const uint8_t> bytes, const std::string& moduleName,
                       std::vector<uint8_t>& block, std::string& error);
