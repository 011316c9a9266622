#pragma once
// Rotation by quarter and half turns: pixels are moved exactly, without
// arithmetic on their values. Only 1, 4, 8 and 24-bit rasters are handled;
// the quarter turns answer an empty raster for the others.
#include "imaging/raster.h"

namespace pagewell {

// 90 degrees counter-clockwise: new(x, y) = old(width - 1 - y, x).
TRaster RotatedCounterClockwise(const TRaster& source);
// 270 degrees counter-clockwise (90 clockwise): new(x, y) = old(y, height - 1 - x).
TRaster RotatedClockwise(const TRaster& source);
// 180 degrees, in place: new(x, y) = old(width - 1 - x, height - 1 - y).
void RotateHalfTurn(TRaster& raster);

}  // namespace pagewell
