#include "page_store/pixel_codec.h"

#include <libdeflate.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <new>

#include "formats/tiff/ccitt_decoder.h"
#include "formats/tiff/ccitt_group4_encoder.h"

namespace pagewell {
namespace {

constexpr std::uint8_t kMagic[4] = {'P', 'W', 'S', '1'};
constexpr std::uint8_t kCodecDeflate = 1;
constexpr std::uint8_t kCodecGroup4 = 2;
constexpr std::uint8_t kFlagInverted = 1;
constexpr std::size_t kHeaderBytes = 32;  // up to the strip sizes
constexpr std::size_t kCrcBytes = 4;
// Rows are deflated in strips of about this many bytes: a bounded scratch
// buffer, and DEFLATE's 32 KiB window makes longer strips gain nothing.
constexpr std::size_t kStripBytes = 512 * 1024;
// libdeflate's fastest level: faster than zlib's level 1 and no larger.
constexpr int kDeflateLevel = 1;

void PutU32(std::uint8_t* at, std::uint32_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
  at[2] = static_cast<std::uint8_t>(value >> 16);
  at[3] = static_cast<std::uint8_t>(value >> 24);
}

std::uint32_t GetU32(const std::uint8_t* at) {
  return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
         static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

std::size_t PixelBytes(const TRaster& raster) { return raster.RowStride() * static_cast<std::size_t>(raster.Height()); }

std::uint32_t PixelCrc(const TRaster& raster) {
  return raster.Empty() ? 0 : PageStoreCrc32(raster.ScanLine(0), PixelBytes(raster));
}

// The header and the table of strip sizes, which the caller fills in.
void StartRecord(const TRaster& raster, std::uint8_t codec, std::uint8_t flags, std::uint32_t rowsPerStrip,
                 std::uint32_t strips, std::vector<std::uint8_t>& record) {
  record.assign(kHeaderBytes + 4 * static_cast<std::size_t>(strips), 0);
  std::memcpy(record.data(), kMagic, 4);
  record[4] = codec;
  record[5] = flags;
  record[6] = static_cast<std::uint8_t>(raster.PixelFormat());
  PutU32(&record[8], static_cast<std::uint32_t>(raster.Width()));
  PutU32(&record[12], static_cast<std::uint32_t>(raster.Height()));
  PutU32(&record[16], static_cast<std::uint32_t>(raster.RowStride()));
  PutU32(&record[20], rowsPerStrip);
  PutU32(&record[24], strips);
  PutU32(&record[28], PixelCrc(raster));
}

void FinishRecord(std::vector<std::uint8_t>& record) {
  const std::uint32_t crc = PageStoreCrc32(record.data(), record.size());
  record.resize(record.size() + kCrcBytes);
  PutU32(&record[record.size() - kCrcBytes], crc);
  record.shrink_to_fit();
}

int Brightness(TColor c) { return RedOf(c) + GreenOf(c) + BlueOf(c); }

// Group 4 codes runs of the palette's white; the decoder gives back white as
// 0 bits. The encoder takes index 1 as white unless the palette puts the
// brighter colour first (formats/tiff/ccitt_group4_encoder.cpp); then the
// decoded bits are the inverse of the raster's. The pixels' CRC checks this.
bool Group4Inverts(const TRaster& raster) {
  const auto& palette = raster.Palette();
  return !(palette.size() >= 2 && Brightness(palette[0]) > Brightness(palette[1]));
}

// Group 4 codes only the pixels: the padding of every row and the bits after
// its last pixel must be 0, as in every raster, to come back the same.
bool TailsAreZero(const TRaster& raster) {
  const std::size_t rowBytes = raster.RowBytes(), stride = raster.RowStride();
  const int usedBits = raster.Width() % 8;
  const std::uint8_t unusedMask = usedBits == 0 ? 0 : static_cast<std::uint8_t>(0xFF >> usedBits);
  for (int y = 0; y < raster.Height(); ++y) {
    const std::uint8_t* row = raster.ScanLine(y);
    if (unusedMask != 0 && (row[rowBytes - 1] & unusedMask) != 0) return false;
    for (std::size_t i = rowBytes; i < stride; ++i) {
      if (row[i] != 0) return false;
    }
  }
  return true;
}

}  // namespace

std::uint32_t PageStoreCrc32(const std::uint8_t* bytes, std::size_t count, std::uint32_t crc) {
  return libdeflate_crc32(crc, bytes, count);
}

TPixelCodec::TPixelCodec() = default;

TPixelCodec::~TPixelCodec() { Release(); }

void TPixelCodec::Release() {
  libdeflate_free_compressor(compressor_);
  libdeflate_free_decompressor(decompressor_);
  compressor_ = nullptr;
  decompressor_ = nullptr;
  std::vector<std::uint8_t>().swap(scratch_);
}

TPageStoreError TPixelCodec::Encode(const TRaster& raster, std::vector<std::uint8_t>& record) {
  try {
    if (raster.PixelFormat() == TPixelFormat::pf1bit && !raster.Empty() && EncodeGroup4Record(raster, record)) {
      return TPageStoreError::None;
    }
    EncodeDeflateRecord(raster, record);
    return TPageStoreError::None;
  } catch (const std::bad_alloc&) {
    std::vector<std::uint8_t>().swap(record);
    return TPageStoreError::OutOfMemory;
  }
}

bool TPixelCodec::EncodeGroup4Record(const TRaster& raster, std::vector<std::uint8_t>& record) {
  if (!TailsAreZero(raster)) return false;
  const std::vector<std::uint8_t> coded = EncodeGroup4(raster);
  // Noise: Group 4 is no help, DEFLATE at least stores it.
  if (coded.size() >= raster.RowBytes() * static_cast<std::size_t>(raster.Height())) return false;
  StartRecord(raster, kCodecGroup4, Group4Inverts(raster) ? kFlagInverted : 0,
              static_cast<std::uint32_t>(raster.Height()), 1, record);
  PutU32(&record[kHeaderBytes], static_cast<std::uint32_t>(coded.size()));
  record.reserve(record.size() + coded.size() + kCrcBytes);
  record.insert(record.end(), coded.begin(), coded.end());
  FinishRecord(record);
  return true;
}

void TPixelCodec::EncodeDeflateRecord(const TRaster& raster, std::vector<std::uint8_t>& record) {
  const std::size_t stride = raster.RowStride();
  const int height = raster.Height();
  const std::uint32_t rowsPerStrip =
      raster.Empty() ? 0
                     : static_cast<std::uint32_t>(std::clamp<std::size_t>(kStripBytes / stride, 1, static_cast<std::size_t>(height)));
  const std::uint32_t strips = raster.Empty() ? 0 : (static_cast<std::uint32_t>(height) + rowsPerStrip - 1) / rowsPerStrip;
  StartRecord(raster, kCodecDeflate, 0, rowsPerStrip, strips, record);
  if (strips == 0) {
    FinishRecord(record);
    return;
  }
  if (compressor_ == nullptr) {
    compressor_ = libdeflate_alloc_compressor(kDeflateLevel);
    if (compressor_ == nullptr) throw std::bad_alloc();
  }
  const std::size_t bound = libdeflate_deflate_compress_bound(compressor_, rowsPerStrip * stride);
  if (scratch_.size() < bound) scratch_.resize(bound);
  for (std::uint32_t strip = 0; strip < strips; ++strip) {
    const int top = static_cast<int>(strip * rowsPerStrip);
    const int rows = std::min(static_cast<int>(rowsPerStrip), height - top);
    const std::size_t coded = libdeflate_deflate_compress(compressor_, raster.ScanLine(top),
                                                          static_cast<std::size_t>(rows) * stride, scratch_.data(), bound);
    if (coded == 0) throw std::bad_alloc();  // cannot happen: the bound always fits
    PutU32(&record[kHeaderBytes + 4 * strip], static_cast<std::uint32_t>(coded));
    record.insert(record.end(), scratch_.begin(), scratch_.begin() + static_cast<std::ptrdiff_t>(coded));
  }
  FinishRecord(record);
}

TPageStoreError TPixelCodec::Decode(const std::uint8_t* record, std::size_t size, const TRaster& shell,
                                    TRaster::TPixelBytes& pixels) {
  constexpr auto kCorrupt = TPageStoreError::Corrupt;
  if (record == nullptr || size < kHeaderBytes + kCrcBytes) return kCorrupt;
  const std::size_t body = size - kCrcBytes;
  if (PageStoreCrc32(record, body) != GetU32(record + body)) return kCorrupt;
  if (std::memcmp(record, kMagic, 4) != 0) return kCorrupt;
  const std::uint8_t codec = record[4], flags = record[5];
  const std::uint32_t width = GetU32(record + 8), height = GetU32(record + 12), stride = GetU32(record + 16);
  const std::uint32_t rowsPerStrip = GetU32(record + 20), strips = GetU32(record + 24), pixelCrc = GetU32(record + 28);
  if (record[6] != static_cast<std::uint8_t>(shell.PixelFormat()) || record[7] != 0) return kCorrupt;
  if (width != static_cast<std::uint32_t>(shell.Width()) || height != static_cast<std::uint32_t>(shell.Height()) ||
      stride != shell.RowStride()) {
    return kCorrupt;
  }
  // The strips: their count must cover the rows exactly, their sizes the
  // rest of the record exactly.
  if (shell.Empty()) {
    if (strips != 0 || rowsPerStrip != 0) return kCorrupt;
  } else if (rowsPerStrip == 0 || rowsPerStrip > height ||
             strips != (static_cast<std::uint64_t>(height) + rowsPerStrip - 1) / rowsPerStrip) {
    return kCorrupt;
  }
  if (codec == kCodecGroup4) {
    if (shell.PixelFormat() != TPixelFormat::pf1bit || shell.Empty() || strips != 1 || (flags & ~kFlagInverted) != 0) {
      return kCorrupt;
    }
  } else if (codec != kCodecDeflate || flags != 0) {
    return kCorrupt;
  }
  const std::uint64_t tableEnd = kHeaderBytes + 4 * static_cast<std::uint64_t>(strips);
  if (tableEnd > body) return kCorrupt;
  std::uint64_t total = 0;
  for (std::uint32_t i = 0; i < strips; ++i) total += GetU32(record + kHeaderBytes + 4 * static_cast<std::size_t>(i));
  if (total != body - tableEnd) return kCorrupt;

  try {
    pixels.resize(static_cast<std::size_t>(stride) * height);
    const std::uint8_t* in = record + tableEnd;
    if (codec == kCodecGroup4) {
      TCCITTDecoder decoder(TCCITTScheme::Group4, 0, shell.Width());
      try {
        decoder.DecodeStrip(in, static_cast<std::size_t>(total), static_cast<int>(height), pixels.data(), stride);
      } catch (const std::bad_alloc&) {
        throw;
      } catch (const std::exception&) {
        return kCorrupt;
      }
      if (flags & kFlagInverted) {
        const std::size_t rowBytes = shell.RowBytes();
        const int usedBits = shell.Width() % 8;
        const std::uint8_t lastMask = usedBits == 0 ? 0xFF : static_cast<std::uint8_t>(0xFF << (8 - usedBits));
        for (std::uint32_t y = 0; y < height; ++y) {
          std::uint8_t* row = pixels.data() + static_cast<std::size_t>(y) * stride;
          for (std::size_t i = 0; i < rowBytes; ++i) row[i] = static_cast<std::uint8_t>(~row[i]);
          row[rowBytes - 1] &= lastMask;
        }
      }
    } else if (strips > 0) {
      if (decompressor_ == nullptr) {
        decompressor_ = libdeflate_alloc_decompressor();
        if (decompressor_ == nullptr) return TPageStoreError::OutOfMemory;
      }
      std::uint8_t* out = pixels.data();
      for (std::uint32_t strip = 0; strip < strips; ++strip) {
        const std::uint32_t coded = GetU32(record + kHeaderBytes + 4 * static_cast<std::size_t>(strip));
        const std::uint32_t rows = std::min(rowsPerStrip, height - strip * rowsPerStrip);
        const std::size_t expected = static_cast<std::size_t>(rows) * stride;
        // Without a place for the actual size, libdeflate accepts only data
        // that decodes to exactly `expected` bytes.
        if (libdeflate_deflate_decompress(decompressor_, in, coded, out, expected, nullptr) != LIBDEFLATE_SUCCESS) {
          return kCorrupt;
        }
        in += coded;
        out += expected;
      }
    }
  } catch (const std::bad_alloc&) {
    return TPageStoreError::OutOfMemory;
  }
  const std::uint32_t crc = pixels.empty() ? 0 : PageStoreCrc32(pixels.data(), pixels.size());
  return crc == pixelCrc ? TPageStoreError::None : kCorrupt;
}

}  // namespace pagewell
