#include "imaging/packed_pixels.h"

#include <cstring>

#include "imaging/nearest_color.h"

namespace pagewell {

std::uint32_t PixelValueOf(const TRaster& raster, TColor color) {
  if (!IsPaletteFormat(raster.PixelFormat())) return BlueOf(color) | (GreenOf(color) << 8) | (RedOf(color) << 16);
  TNearestColorMap nearest(raster.Palette());
  return static_cast<std::uint32_t>(nearest.IndexOf(color));
}

TRaster FilledRasterLike(const TRaster& like, int width, int height, std::uint32_t value) {
  TRaster result(width, height, like.PixelFormat());
  result.SetPaletteKeepingIndices(like.Palette());
  if (value == 0) return result;  // a new raster starts at 0
  // Fill the first row pixel by pixel, then copy it down.
  std::uint8_t* first = result.ScanLine(0);
  VisitPackedPixels(like.PixelFormat(), [&](auto pixels) {
    for (int x = 0; x < width; ++x) pixels.Set(first, x, value);
  });
  for (int y = 1; y < height; ++y) std::memcpy(result.ScanLine(y), first, result.RowBytes());
  return result;
}

}  // namespace pagewell
