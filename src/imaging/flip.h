#pragma once
// Mirroring of whole rasters, shared by TluBitmap::Flip, the half turn of
// Rotate and the alpha plane. Only 1, 4, 8 and 24-bit rasters are changed.
#include <cstdint>

#include "imaging/raster.h"

namespace pagewell {

// Writes the pixels of a row in reverse order: pixel x of `target` takes
// pixel width - 1 - x of `source`. The rows must not overlap; the bits after
// the last pixel of a packed row come out 0.
void ReverseRowPixels(const std::uint8_t* source, std::uint8_t* target, int width, TPixelFormat format);

void FlipLeftRight(TRaster& raster);
void FlipTopBottom(TRaster& raster);

}  // namespace pagewell
