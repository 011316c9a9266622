#pragma once
// Reading the input files: BMP, PNG, JPEG and TIFF (every page of a
// multi-page TIFF), recognised by their first bytes.
#include <string>
#include <vector>

#include "imaging/lu_bitmap.h"

namespace pagewell::convert {

// The pages of one file, with their resolution and colour mode. Raises a
// std::exception with a clear message when the file cannot be read.
std::vector<TluBitmap> ReadInputPages(const std::string& path);
std::vector<TluBitmap> DecodePages(const std::vector<std::uint8_t>& file);

}  // namespace pagewell::convert
