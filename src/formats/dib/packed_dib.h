#pragma once
// Turning a packed device-independent bitmap (a BITMAPINFOHEADER, its colour
// table and the pixel rows, as a scanner hands it over in one memory block)
// into a TBMPImage. Portable: the block is given as bytes and its size, and
// nothing past that size is ever read.
#include <cstddef>
#include <cstdint>

#include "formats/bmp/bmp_image.h"

namespace pagewell {

struct TDibConversionOptions {
  // Some scanners send a 1-bit table that begins with white while their
  // pixel bits still mean 0 = black; for them the table is read as black,
  // white. Other sources' white-first tables are honoured and the image is
  // re-mapped to the table black, white afterwards.
  bool WhiteFirstTableMeansBlack = false;
  // Dots per inch used when the header's resolution is 0; values that are
  // not positive leave the resolution unknown (0).
  double FallbackXDpi = 0.0;
  double FallbackYDpi = 0.0;
};

// Converts the DIB into `image`. Answers false, leaving `image` empty, when
// the block is too small for the header, the colour table or the rows the
// header claims, or when the header's size is impossible. 1, 4, 8 and
// 24-bit uncompressed DIBs are copied pixel for pixel, bottom-up and
// top-down rows alike; any other depth or a compressed DIB gives a blank
// 24-bit image of the header's size.
bool ConvertPackedDib(const std::uint8_t* dib, std::size_t size, const TDibConversionOptions& options,
                      TBMPImage& image);

// trunc(dpi × 1000 / 25.4 + 0.5), 0 for a resolution that is not positive.
std::int32_t PelsPerMeterFromDpi(double dpi);

}  // namespace pagewell
