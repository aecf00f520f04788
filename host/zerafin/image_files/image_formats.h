#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>

// What the host reads, said to the user when a file is refused.
constexpr const char* kReadableFormats =
    "PNG, JPEG (8 bits per sample, baseline or progressive), BMP (uncompressed) and TGA";

// Why the decoder cannot read a file, from its header: a kind or variant this
// host does not read (a TIFF file, a 12-bit or lossless JPEG, an RLE bitmap),
// followed by the kinds it reads, or a size beyond `maxSide` pixels on a side;
// nullopt when the header says nothing of the kind (the file is damaged).
std::optional<std::string> unsupportedVariant(std::span<const uint8_t> bytes, int maxSide);
