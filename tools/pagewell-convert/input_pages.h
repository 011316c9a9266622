#pragma once
// Reading the input files: BMP, PNG, JPEG and TIFF (every page of a
// multi-page TIFF), recognised by their first bytes.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "imaging/lu_bitmap.h"

namespace pagewell::convert {

// The pages of one file, with their resolution and colour mode. Raises a
// std::exception with a clear message when the file cannot be read.
std::vector<TluBitmap> ReadInputPages(const std::string& path);

// The same pages handed over one at a time, each decoded only when the one
// before has been taken: a long TIFF file never has all its pages decoded
// at once. Each comes with the number of pages in its file. Exceptions from
// `take` pass through unchanged.
using TTakePage = std::function<void(TluBitmap page, int pagesInFile)>;
void ForEachInputPage(const std::string& path, const TTakePage& take);

}  // namespace pagewell::convert
