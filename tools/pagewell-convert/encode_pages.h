#pragma once
// One file from the pages, as the control's page encoding makes it (see
// formats/page_encoding.h): one page through SaveToStreamAs, several pages
// as one multi-page TIFF or PDF.
#include <cstdint>
#include <vector>

#include "formats/format_code.h"
#include "imaging/lu_bitmap.h"

namespace pagewell::convert {

// Raises std::invalid_argument for several pages in a single-page format.
std::vector<std::uint8_t> EncodePages(std::vector<TluBitmap>& pages, TFormatCode code, int quality);

}  // namespace pagewell::convert
