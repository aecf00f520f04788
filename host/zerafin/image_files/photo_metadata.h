#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "host/zerafin/image_files/document.h"

// The colour profile and camera data of JPEG and PNG files, read and written
// by explicit byte walks with every offset checked against the data's end.
// (No library that reads them builds for both the native and the Win32 host.)
//
// JPEG keeps the EXIF block in an APP1 segment after "Exif\0\0", and the ICC
// profile in APP2 segments after "ICC_PROFILE\0", each with its number and
// the count of them. PNG keeps the profile deflated in an iCCP chunk and the
// EXIF block in an eXIf chunk.

// The profile and EXIF block of a file; what is missing or damaged is left
// empty (a damaged profile is dropped whole).
PhotoMetadata jpegMetadata(std::span<const uint8_t> file);
PhotoMetadata pngMetadata(std::span<const uint8_t> file);

// The EXIF orientation: how the stored pixels are turned to stand upright,
// 1 (as stored) to 8; 1 when the block has none or cannot be read.
int exifOrientation(std::span<const uint8_t> exif);
// Sets the orientation where the block has one; other blocks stay as they are.
void setExifOrientation(std::vector<uint8_t>& exif, int orientation);

// Turns the document's channels as an EXIF orientation says (2 to 8: mirrored,
// turned or both), so that the image stands as its viewer shows it; any other
// value leaves it as it is.
void turnUpright(Document& document, int orientation);

// A JPEG file from the encoder with the metadata's segments added after its
// first segment; a part too large for its segments is left out.
std::vector<uint8_t> jpegWithMetadata(std::span<const uint8_t> jpeg, const PhotoMetadata& metadata);
