#pragma once
// Compression of a raster into JPEG data through the JPEG library, with the
// settings every JPEG the control writes uses: the library's defaults, the
// floating-point DCT and the quality with baseline-compatible tables.
#include <cstdint>
#include <vector>

#include "imaging/raster.h"

namespace pagewell {

struct TJpegCompressionSettings {
  int Quality = 90;          // 1..100; the library clamps values outside
  bool Grayscale = false;    // one gray component instead of three
  bool Progressive = false;  // the library's simple progression script
};

// The library's output for the raster: SOI, the JFIF APP0 segment, tables,
// frame, scan(s), EOI. A raster without pixels gives no bytes.
std::vector<std::uint8_t> CompressRaster(const TRaster& raster, const TJpegCompressionSettings& settings);

}  // namespace pagewell
