#pragma once
// TBMPImage: a raster with a resolution, the image class that scans arrive
// in and that TluBitmap builds on. The resolution is kept in pixels per
// metre as in the BMP header; 0 means unknown. Reading and writing BMP
// files belong to the BMP format (formats/bmp), where they are defined.
#include <cstdint>

#include "imaging/raster.h"

namespace pagewell {

class TMemoryStream;

class TBMPImage : public TRaster {
 public:
  using TRaster::TRaster;

  std::int32_t XPelsPerMeter = 0;
  std::int32_t YPelsPerMeter = 0;

  // Writes a Windows BMP file (file header, 40-byte info header, colour
  // table, rows bottom-up) carrying this image's resolution.
  void SaveToStream(TMemoryStream& stream) const;
  // Reads a BMP file from the stream's position: 1, 4, 8, 16, 24 and 32 bits,
  // uncompressed or with bit-field masks. Malformed or run-length compressed
  // files raise EInvalidGraphic.
  void LoadFromStream(TMemoryStream& stream);
};

}  // namespace pagewell
