#pragma once
// Reduction of a raster to a palette: the octree colour table (at most
// maxColors leaves of colorBits levels) becomes the palette, entries past
// the table are black, and every pixel gets its nearest entry (smallest
// squared RGB distance, lowest index on ties). A pixel whose exact colour
// made it into the table therefore gets that entry's first occurrence.
#include "imaging/pixel_format.h"
#include "imaging/raster.h"

namespace pagewell {

// A raster of the source's size in `format` (a palette format). Sources of
// 15, 16 and 32 bits feed no colours: every pixel becomes entry 0, black.
TRaster ReduceToPalette(const TRaster& source, int maxColors, int colorBits, TPixelFormat format);

}  // namespace pagewell
