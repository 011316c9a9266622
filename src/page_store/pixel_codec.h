#pragma once
// TPixelCodec: codes the pixel rows of a raster as one self-checking record,
// and back. The rows are taken in strips of about 512 KiB; each strip is
// filtered against the row above (runs of 8-byte units equal to the row
// above, and the XOR of the others: on a scanned page most rows are much
// like the one above) and coded with DEFLATE (libdeflate, its fastest
// level); a strip that the filter does not halve is coded raw. A black and
// white page that this leaves larger than 1/8 of its rows (a rough scan) is
// also coded with CCITT Group 4 and the smaller record kept. The whole
// pixel buffer is coded, row padding included, so it comes back as it was.
//
// A record (all numbers little-endian):
//   0  "PWS1"
//   4  codec (1 DEFLATE, 2 Group 4), flags (bit 0: Group 4 bits inverted),
//      pixel format, 0
//   8  width, height, row stride, rows per strip, strip count (u32 each)
//  28  CRC-32 of the decoded pixel buffer (stride × height bytes)
//  32  per strip: its coded size and its filtered size (0: not filtered)
//      (u32 each), then the strips
//  end CRC-32 of every byte before it
// A filtered strip is [u32 control length][control: LEB128 run lengths in
// bytes, equal and differing in turn, starting with an equal run][the XOR
// bytes of the differing runs]; above the page's first row are zeros.
// Decoding checks the record's CRC first, then every number against the
// raster it decodes for and against the record's length before using it,
// and the pixels' CRC last: a record that does not check out is Corrupt,
// never a wrong picture.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/raster.h"
#include "page_store/page_store_error.h"

struct libdeflate_compressor;
struct libdeflate_decompressor;

namespace pagewell {

class TPixelCodec {
 public:
  TPixelCodec();
  ~TPixelCodec();
  TPixelCodec(const TPixelCodec&) = delete;
  TPixelCodec& operator=(const TPixelCodec&) = delete;

  // Codes the pixels of `raster` (which must hold them) into `record`.
  // None, or OutOfMemory.
  TPageStoreError Encode(const TRaster& raster, std::vector<std::uint8_t>& record);
  // Decodes a record made by Encode for a raster of `shell`'s size and
  // format into `pixels` (RowStride × Height bytes, for AdoptPixels).
  // None, Corrupt or OutOfMemory; `pixels` is unspecified unless None.
  TPageStoreError Decode(const std::uint8_t* record, std::size_t size, const TRaster& shell,
                         TRaster::TPixelBytes& pixels);

  // Frees the coders' working memory (they are made again when needed).
  void Release();

 private:
  bool EncodeGroup4Record(const TRaster& raster, std::vector<std::uint8_t>& record);
  void EncodeDeflateRecord(const TRaster& raster, std::vector<std::uint8_t>& record);

  libdeflate_compressor* compressor_ = nullptr;
  libdeflate_decompressor* decompressor_ = nullptr;
  std::vector<std::uint8_t> scratch_;   // coded strip
  std::vector<std::uint8_t> control_;   // the filter's run lengths
  std::vector<std::uint8_t> bytes_;     // the filter's XOR bytes
  std::vector<std::uint8_t> filtered_;  // a filtered strip
};

// CRC-32 (the one of zlib, PNG and gzip).
std::uint32_t PageStoreCrc32(const std::uint8_t* bytes, std::size_t count, std::uint32_t crc = 0);

}  // namespace pagewell
