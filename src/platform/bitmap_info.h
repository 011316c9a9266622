#pragma once
// The BITMAPINFO that describes a raster's rows to GDI.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "imaging/raster.h"

namespace pagewell {

// A BITMAPINFO (header and colour table, or the bit masks of a 5-6-5
// raster) for `rows` top-down rows of the raster's width and format. GDI
// pads DIB rows to 4 bytes as the raster does, so the raster's rows can be
// handed over as they are.
std::vector<std::uint8_t> TopDownBitmapInfo(const TRaster& raster, int rows);

}  // namespace pagewell
