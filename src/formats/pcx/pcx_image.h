#pragma once
// TPCXImage: a bitmap written as a ZSoft PCX file (version 5, run-length
// encoded). 1-bit bitmaps become one bit plane, 4-bit bitmaps four bit
// planes with the palette in the header, 8-bit bitmaps one byte plane with a
// 256-entry palette after the image, everything else three byte planes
// (red, green, blue) of a 24-bit copy.
#include <array>
#include <cstdint>
#include <vector>

#include "formats/memory_stream.h"
#include "imaging/color.h"
#include "imaging/raster.h"

namespace pagewell {

struct TPCXHeader {
  std::uint8_t Manufacturer = 10;
  std::uint8_t Version = 5;
  std::uint8_t Encoding = 1;  // run-length
  std::uint8_t BitsPerPixel = 8;  // per plane
  std::uint16_t XMin = 0, YMin = 0, XMax = 0, YMax = 0;
  std::uint16_t HDpi = 0, VDpi = 0;
  std::array<std::uint8_t, 48> ColorMap{};
  std::uint8_t Planes = 1;
  std::uint16_t BytesPerLine = 0;  // per plane, always even
  std::uint16_t PaletteType = 1;
};

class TPCXImage {
 public:
  TRaster Bitmap;
  TPCXHeader Header;
  std::vector<TColor> Palette;  // the 256-entry palette of 8-bit files
  // Pixels per metre, 0 meaning unknown.
  std::int32_t XPelsPerMeter = 0;
  std::int32_t YPelsPerMeter = 0;

  void Assign(const TRaster& bitmap) { Bitmap = bitmap; }
  // Dots per inch to pixels per metre, rounded to the nearest.
  void SetResolution(int xDpi, int yDpi);
  // Raises EInvalidGraphic for an empty bitmap or one wider or higher than
  // 65536 pixels, which the header cannot describe.
  void SaveToStream(TMemoryStream& stream);
};

// One line (or one plane of a line): runs of equal bytes as 0xC0 + length
// (1 to 63) and the value; a single byte below 0xC0 as it stands.
void EncodePCXLine(const std::uint8_t* bytes, std::size_t count, std::vector<std::uint8_t>& out);

}  // namespace pagewell
