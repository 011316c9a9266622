#pragma once
// TGIFImage: a GIF stream of one or more images. Assigning a bitmap makes
// exactly one image from it, with the bitmap's palette as that image's local
// colour map; SaveToStream writes the GIF89a layout, version "87a" unless an
// image carries an extension. The image data is written with the run-length
// scheme of TRLEEncoder, a standard GIF code stream.
#include <cstdint>
#include <optional>
#include <vector>

#include "formats/memory_stream.h"
#include "imaging/color.h"
#include "imaging/raster.h"

namespace pagewell {

struct TGIFColorMap {
  std::vector<TColor> Colors;
  bool Sorted = false;

  bool Empty() const { return Colors.empty(); }
  // log2 of the entries the map occupies in the file (1 to 8).
  int BitsPerPixel() const;
  // First entry with exactly this colour, or -1.
  int IndexOf(TColor color) const;
};

// Transparency (and timing) of the image that follows it.
struct TGIFGraphicControlExtension {
  bool Transparent = false;
  std::uint8_t TransparentColorIndex = 0;
  std::uint8_t Disposal = 0;
  std::uint16_t Delay = 0;  // hundredths of a second
};

struct TGIFSubImage {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  std::vector<std::uint8_t> Pixels;  // one colour index per pixel, rows top to bottom
  TGIFColorMap ColorMap;             // the local colour map
  std::optional<TGIFGraphicControlExtension> GraphicControl;

  bool NeedsVersion89a() const { return GraphicControl.has_value(); }
};

enum TGIFCompression : std::uint8_t { gcLZW, gcRLE };

class TGIFImage {
 public:
  std::vector<TGIFSubImage> Images;
  TGIFColorMap GlobalColorMap;
  // The page save asks for RLE. The LZW encoder is not part of this build,
  // so the image data is run-length coded either way.
  TGIFCompression Compression = gcLZW;

  // Clears the image and makes one sub-image from a 1-, 4- or 8-bit bitmap.
  // Raises GIFException for other pixel formats.
  void Assign(const TRaster& bitmap);
  // Marks `color` transparent in the first image through a graphic control
  // extension; the flag stays clear when the colour is not in its map.
  void SetTransparentColor(TColor color);
  // Raises GIFException when there is no image, an index lies outside its
  // colour map or a size does not fit 16 bits.
  void SaveToStream(TMemoryStream& stream) const;
};

}  // namespace pagewell
