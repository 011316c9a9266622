#pragma once
// TPixelCodec: codes the pixel rows of a raster as one self-checking record,
// and back. Black and white pages are coded with CCITT Group 4, unless that
// comes out no smaller than the raw rows (noise); every other page, and
// such noise, with DEFLATE (libdeflate, its fastest level) in strips of
// about 512 KiB of rows.
//
// A record (all numbers little-endian):
//   0  "PWS1"
//   4  codec (1 DEFLATE, 2 Group 4), flags (bit 0: Group 4 bits inverted),
//      pixel format, 0
//   8  width, height, row stride, rows per strip, strip count (u32 each)
//  28  CRC-32 of the decoded pixel buffer (stride × height bytes)
//  32  the coded size of each strip (u32 each), then the strips
//  end CRC-32 of every byte before it
// Decoding checks every number against the raster it decodes for and
// against the record's length before using it, the record's CRC before
// decoding and the pixels' CRC after: a record that does not check out is
// Corrupt, never a wrong picture.
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
  std::vector<std::uint8_t> scratch_;
};

// CRC-32 (the one of zlib, PNG and gzip).
std::uint32_t PageStoreCrc32(const std::uint8_t* bytes, std::size_t count, std::uint32_t crc = 0);

}  // namespace pagewell
