#pragma once
// ToxPNGImage: the PNG graphic class. It holds a bitmap and writes it as a
// PNG file; it also reads PNG files. Its transparency state lives in a TAlpha
// record, the same record a page carries.
#include <cstdint>

#include "formats/memory_stream.h"
#include "formats/png/alpha.h"
#include "imaging/color.h"
#include "imaging/raster.h"

namespace pagewell {

// PNG colour types (IHDR).
enum TPngColorType : std::uint8_t {
  ctGray = 0,
  ctRGB = 2,
  ctPalette = 3,
  ctGrayAlpha = 4,
  ctRGBAlpha = 6,
};

class ToxPNGImage {
 public:
  // The bitmap to write: 1, 4, 8 or 24 bits per pixel (Assign converts any
  // other format to 24 bits). After reading, the decoded picture.
  TRaster Bitmap;
  // Of the file: set while writing or reading.
  std::uint8_t BitDepth = 0;
  std::uint8_t ColorType = 0;
  // Only reading a file with a bKGD chunk sets the flag.
  bool HasBackground = false;
  TColor Background = clWhite;
  // Pixels per metre, 0 meaning unknown.
  std::int32_t XPelsPerMeter = 0;
  std::int32_t YPelsPerMeter = 0;
  TAlpha Alpha;

  void Assign(const TRaster& bitmap);
  // The page's Transparent flag and BackgroundColor: a transparent colour
  // becomes a key colour, gray level or palette index, unless the record
  // already holds a palette alpha table or an alpha plane.
  void ApplyTransparentColor(bool transparent, TColor color);
  // Dots per inch to pixels per metre, rounded to the nearest (ties to even).
  void SetResolution(int xDpi, int yDpi);

  void SaveToStream(TMemoryStream& stream);
  // Reads a PNG file from the stream's position. Raises EInvalidGraphic with
  // one of the four PNG messages.
  void LoadFromStream(TMemoryStream& stream);
};

// True for an 8-bit bitmap whose palette is the identity gray ramp: such a
// bitmap is written as PNG gray. 1- and 4-bit bitmaps never are, because a
// PNG gray sample of those depths spans black to white while their palette
// index does not.
bool PassesPngGrayTest(const TRaster& bitmap);

}  // namespace pagewell
