#pragma once
// One file from the pages, as the control's page encoding makes it: one page
// through SaveToStreamAs; several pages as one multi-page TIFF (Group 4 for
// black-and-white pages, uncompressed for the others) or PDF (Group 4 pages
// for black-and-white, JPEG pages for the others).
#include <cstdint>
#include <vector>

#include "formats/format_code.h"
#include "imaging/lu_bitmap.h"

namespace pagewell::convert {

bool FormatHoldsSeveralPages(TFormatCode code);
// Raises std::invalid_argument for several pages in a single-page format.
std::vector<std::uint8_t> EncodePages(std::vector<TluBitmap>& pages, TFormatCode code, int quality);

}  // namespace pagewell::convert
