#pragma once
// Cutting a rectangle out of a raster or a page. The rectangle may reach
// beyond the picture; what lies outside is filled.
#include <cstdint>

#include "imaging/lu_bitmap.h"

namespace pagewell {

// The width × height pixels from (left, top) on, with the source's format
// and palette; pixels outside the source get `fillValue` (a palette index,
// or blue + green × 256 + red × 65536 for 24 bits). 1, 4, 8 and 24 bits.
TRaster CroppedRaster(const TRaster& source, int left, int top, int width, int height, std::uint32_t fillValue);

// Crops the page to the inclusive rectangle without Crop's refusal rule:
// areas outside the page become BackgroundColor, an alpha plane is cut the
// same way with AlphaFillValue, and the selection is cleared. Deskew uses it
// to bring a turned page back to its size whatever that size is.
void CropPage(TluBitmap& page, int left, int top, int right, int bottom);

}  // namespace pagewell
