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
// Per strip: its coded size, and its filtered size (0: not filtered).
constexpr std::size_t kStripEntryBytes = 8;
// Rows are coded in strips of about this many bytes: bounded scratch
// buffers, and DEFLATE's 32 KiB window makes longer strips gain little.
constexpr std::size_t kStripBytes = 512 * 1024;
// libdeflate's fastest level. On the raw rows of a text page it is slower
// than zlib's level 1 (it hashes every byte of a long match); after the
// filter there are few bytes left to hash.
constexpr int kDeflateLevel = 1;
// Black and white records between 1/8 and 1/2 of the rows are also tried in
// Group 4.
constexpr std::size_t kTryGroup4Below = 8;
constexpr std::size_t kTryGroup4Above = 2;

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
  record.assign(kHeaderBytes + kStripEntryBytes * static_cast<std::size_t>(strips), 0);
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

// ---- the row filter ---------------------------------------------------------
// A scanned page is mostly rows much like the row above. Each strip is
// first coded as its difference to the row above (XOR; above the first row
// of the page, zeros) in units of 8 bytes (4 at a row's end): runs of units
// equal to the row above, and runs of differing units with their XOR bytes.
// The filtered strip, [u32 control length][control: run lengths as LEB128,
// equal and differing in turn, from an equal run][the XOR bytes], is what
// DEFLATE codes. On a text page this leaves a few per cent of the bytes, and
// DEFLATE, which spends time on every byte of a long match, is then faster
// than zlib on the raw rows; a strip for which it leaves more than half is
// coded raw.

std::uint64_t Load64(const std::uint8_t* p) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}
std::uint32_t Load32(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

class TFilterOutput {
 public:
  TFilterOutput(std::uint8_t* control, std::uint8_t* bytes, std::size_t limit)
      : control_(control), bytes_(bytes), limit_(limit) {}
  bool PutRun(std::uint64_t run) {
    if (controlSize_ + 10 + bytesSize_ > limit_) return false;
    do {
      control_[controlSize_++] = static_cast<std::uint8_t>((run & 0x7F) | (run > 0x7F ? 0x80 : 0));
      run >>= 7;
    } while (run != 0);
    return true;
  }
  bool PutXor(const std::uint8_t* a, const std::uint8_t* b, std::size_t count) {
    if (controlSize_ + bytesSize_ + count > limit_) return false;
    for (std::size_t i = 0; i < count; ++i) bytes_[bytesSize_ + i] = static_cast<std::uint8_t>(a[i] ^ b[i]);
    bytesSize_ += count;
    return true;
  }
  std::size_t ControlSize() const { return controlSize_; }
  std::size_t BytesSize() const { return bytesSize_; }

 private:
  std::uint8_t* control_;
  std::uint8_t* bytes_;
  std::size_t limit_;
  std::size_t controlSize_ = 0;
  std::size_t bytesSize_ = 0;
};

// Filters `rows` rows of `stride` bytes (a multiple of 4) at `data`, the
// row above being `above`, into `out` ([u32][control][bytes]). `control`
// and `bytes` are scratch of `limit` bytes each. False when the filtered
// strip would be larger than `limit`.
bool FilterStrip(const std::uint8_t* data, const std::uint8_t* above, std::size_t stride, std::size_t rows,
                 std::size_t limit, std::uint8_t* control, std::uint8_t* bytes, std::vector<std::uint8_t>& out) {
  TFilterOutput output(control, bytes, limit);
  bool equalRun = true;
  std::uint64_t run = 0;
  for (std::size_t r = 0; r < rows; ++r) {
    const std::uint8_t* row = data + r * stride;
    const std::uint8_t* up = r == 0 ? above : row - stride;
    std::size_t j = 0;
    while (j < stride) {
      const std::size_t unit = stride - j >= 8 ? 8 : 4;
      const bool equal = unit == 8 ? Load64(row + j) == Load64(up + j) : Load32(row + j) == Load32(up + j);
      if (equal != equalRun) {
        if (!output.PutRun(run)) return false;
        run = 0;
        equalRun = equal;
      }
      if (!equal && !output.PutXor(row + j, up + j, unit)) return false;
      run += unit;
      j += unit;
    }
  }
  if (!output.PutRun(run)) return false;
  out.resize(4 + output.ControlSize() + output.BytesSize());
  PutU32(out.data(), static_cast<std::uint32_t>(output.ControlSize()));
  std::memcpy(out.data() + 4, control, output.ControlSize());
  std::memcpy(out.data() + 4 + output.ControlSize(), bytes, output.BytesSize());
  return true;
}

// Undoes FilterStrip: `filtered` ([u32][control][bytes], `size` bytes)
// into `count` bytes at `data`, whose row above is `above`. False for
// filtered data that does not make exactly `count` bytes.
bool UnfilterStrip(const std::uint8_t* filtered, std::size_t size, std::uint8_t* data, const std::uint8_t* above,
                   std::size_t stride, std::size_t count) {
  if (size < 4) return false;
  const std::size_t controlSize = GetU32(filtered);
  if (controlSize > size - 4) return false;
  const std::uint8_t* control = filtered + 4;
  const std::uint8_t* controlEnd = control + controlSize;
  const std::uint8_t* bytes = controlEnd;
  const std::uint8_t* bytesEnd = filtered + size;
  std::size_t i = 0;
  bool equalRun = true;
  while (control < controlEnd) {
    std::uint64_t run = 0;
    int shift = 0;
    for (;;) {
      if (control == controlEnd || shift > 63) return false;
      const std::uint8_t b = *control++;
      run |= static_cast<std::uint64_t>(b & 0x7F) << shift;
      if ((b & 0x80) == 0) break;
      shift += 7;
    }
    if (run > count - i) return false;
    std::size_t left = static_cast<std::size_t>(run);
    if (equalRun) {
      while (left > 0) {
        // From the row above, no more than a row at a time (never overlapping).
        const std::uint8_t* up = i < stride ? above + i : data + i - stride;
        const std::size_t n = std::min(left, i < stride ? stride - i : stride);
        std::memcpy(data + i, up, n);
        i += n;
        left -= n;
      }
    } else {
      if (left > static_cast<std::size_t>(bytesEnd - bytes)) return false;
      for (; left > 0; --left, ++i, ++bytes) {
        const std::uint8_t up = i < stride ? above[i] : data[i - stride];
        data[i] = static_cast<std::uint8_t>(*bytes ^ up);
      }
    }
    equalRun = !equalRun;
  }
  return i == count && bytes == bytesEnd;
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
  std::vector<std::uint8_t>().swap(control_);
  std::vector<std::uint8_t>().swap(bytes_);
  std::vector<std::uint8_t>().swap(filtered_);
}

TPageStoreError TPixelCodec::Encode(const TRaster& raster, std::vector<std::uint8_t>& record) {
  try {
    EncodeDeflateRecord(raster, record);
    // Black and white: the filter and DEFLATE are several times faster than
    // Group 4 and on clean text pages smaller too; where they make between
    // 1:8 and 1:2 of the rows (a rough scan), Group 4 is tried as well and
    // the smaller record kept. Below 1:2 it is noise, where Group 4 is both
    // slow (a code for every few pixels) and larger.
    const std::size_t rows = raster.RowBytes() * static_cast<std::size_t>(raster.Height());
    if (raster.PixelFormat() == TPixelFormat::pf1bit && !raster.Empty() && record.size() > rows / kTryGroup4Below &&
        record.size() <= rows / kTryGroup4Above) {
      std::vector<std::uint8_t> group4;
      if (EncodeGroup4Record(raster, group4) && group4.size() < record.size()) record.swap(group4);
    }
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
  PutU32(&record[kHeaderBytes], static_cast<std::uint32_t>(coded.size()));  // not filtered
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
  const std::size_t stripBytes = rowsPerStrip * stride;
  // A filtered strip is kept when it is at most half the strip.
  const std::size_t limit = stripBytes / 2;
  if (control_.size() < limit) control_.resize(limit);
  if (bytes_.size() < limit) bytes_.resize(limit);
  const std::vector<std::uint8_t> zeroRow(stride, 0);
  const std::size_t bound = libdeflate_deflate_compress_bound(compressor_, stripBytes);
  if (scratch_.size() < bound) scratch_.resize(bound);
  for (std::uint32_t strip = 0; strip < strips; ++strip) {
    const int top = static_cast<int>(strip * rowsPerStrip);
    const int rows = std::min(static_cast<int>(rowsPerStrip), height - top);
    const std::size_t count = static_cast<std::size_t>(rows) * stride;
    const std::uint8_t* above = top == 0 ? zeroRow.data() : raster.ScanLine(top - 1);
    const std::uint8_t* in = raster.ScanLine(top);
    std::size_t inSize = count;
    std::uint32_t filteredSize = 0;
    if (FilterStrip(raster.ScanLine(top), above, stride, static_cast<std::size_t>(rows), std::min(limit, count / 2),
                    control_.data(), bytes_.data(), filtered_)) {
      in = filtered_.data();
      inSize = filtered_.size();
      filteredSize = static_cast<std::uint32_t>(inSize);
    }
    const std::size_t coded = libdeflate_deflate_compress(compressor_, in, inSize, scratch_.data(), bound);
    if (coded == 0) throw std::bad_alloc();  // cannot happen: the bound always fits
    PutU32(&record[kHeaderBytes + kStripEntryBytes * strip], static_cast<std::uint32_t>(coded));
    PutU32(&record[kHeaderBytes + kStripEntryBytes * strip + 4], filteredSize);
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
  const std::uint64_t tableEnd = kHeaderBytes + kStripEntryBytes * static_cast<std::uint64_t>(strips);
  if (tableEnd > body) return kCorrupt;
  std::uint64_t total = 0;
  for (std::uint32_t i = 0; i < strips; ++i) {
    const std::uint8_t* entry = record + kHeaderBytes + kStripEntryBytes * static_cast<std::size_t>(i);
    total += GetU32(entry);
    // A filtered strip is never larger than half its rows (and Group 4 is
    // not filtered).
    const std::uint64_t rows = std::min<std::uint64_t>(rowsPerStrip, height - static_cast<std::uint64_t>(i) * rowsPerStrip);
    if (GetU32(entry + 4) > rows * stride / 2 + 4 || (codec == kCodecGroup4 && GetU32(entry + 4) != 0)) return kCorrupt;
  }
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
      const std::vector<std::uint8_t> zeroRow(stride, 0);
      for (std::uint32_t strip = 0; strip < strips; ++strip) {
        const std::uint8_t* entry = record + kHeaderBytes + kStripEntryBytes * static_cast<std::size_t>(strip);
        const std::uint32_t coded = GetU32(entry), filtered = GetU32(entry + 4);
        const std::uint32_t rows = std::min(rowsPerStrip, height - strip * rowsPerStrip);
        const std::size_t expected = static_cast<std::size_t>(rows) * stride;
        // Without a place for the actual size, libdeflate accepts only data
        // that decodes to exactly the size asked for.
        if (filtered == 0) {
          if (libdeflate_deflate_decompress(decompressor_, in, coded, out, expected, nullptr) != LIBDEFLATE_SUCCESS) {
            return kCorrupt;
          }
        } else {
          if (filtered_.size() < filtered) filtered_.resize(filtered);
          if (libdeflate_deflate_decompress(decompressor_, in, coded, filtered_.data(), filtered, nullptr) !=
                  LIBDEFLATE_SUCCESS ||
              !UnfilterStrip(filtered_.data(), filtered, out, strip == 0 ? zeroRow.data() : out - stride, stride,
                             expected)) {
            return kCorrupt;
          }
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
