#pragma once
// TBMPImage: a raster with a resolution, the image class that scans arrive
// in and that TluBitmap builds on. The resolution is kept in pixels per
// metre as in the BMP header; 0 means unknown.
#include <cstdint>

#include "imaging/raster.h"

namespace pagewell {

class TBMPImage : public TRaster {
 public:
  using TRaster::TRaster;

  std::int32_t XPelsPerMeter = 0;
  std::int32_t YPelsPerMeter = 0;
};

}  // namespace pagewell
