#pragma once
// TPSDImage: a bitmap written as an uncompressed Photoshop file of one
// layer-less image: bitmap mode for black-and-white, grayscale for all-gray
// palettes, indexed for other palettes and RGB for 24 bits.
#include <cstdint>
#include <stdexcept>
#include <string>

#include "formats/metadata/file_info.h"
#include "formats/memory_stream.h"
#include "imaging/raster.h"

namespace pagewell {

// A bitmap that fits none of the PSD colour modes.
class EFileNotSaved : public std::runtime_error {
 public:
  explicit EFileNotSaved(const std::string& message) : std::runtime_error(message) {}
};

enum TPSDColorMode : std::uint16_t { pcmBitmap = 0, pcmGrayscale = 1, pcmIndexed = 2, pcmRGB = 3 };

class TPSDImage {
 public:
  TRaster Bitmap;
  TPSDColorMode ColorMode = pcmRGB;  // decided while saving
  TFileInfo FileInfo;
  // Dots per inch; a ResolutionInfo resource is written when both lie
  // between 1 and 65535.
  int XDpi = 0;
  int YDpi = 0;

  void Assign(const TRaster& bitmap) { Bitmap = bitmap; }
  // Raises EFileNotSaved ("PSD file not saved") and writes nothing for a
  // bitmap of any other depth than 1, 4, 8 or 24 bits.
  void SaveToStream(TMemoryStream& stream);
};

}  // namespace pagewell
