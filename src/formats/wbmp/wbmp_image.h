#pragma once
// TWBMPImage: a bitmap written as a Wireless Bitmap, type 0: two zero bytes,
// width and height as multi-byte integers, then 1-bit rows (1 = white),
// leftmost pixel in the most significant bit. A pixel is white only when its
// red, green and blue are all above 126.
#include <cstdint>
#include <vector>

#include "formats/memory_stream.h"
#include "imaging/raster.h"

namespace pagewell {

class TWBMPImage {
 public:
  TRaster Bitmap;

  void Assign(const TRaster& bitmap) { Bitmap = bitmap; }
  // Raises EInvalidGraphic for an empty bitmap. Leaves the stream at
  // position 0.
  void SaveToStream(TMemoryStream& stream) const;
};

// Groups of 7 bits, most significant first, the high bit set in every byte
// but the last.
void AppendWBMPInteger(std::vector<std::uint8_t>& out, std::uint32_t value);

}  // namespace pagewell
