// Feeds arbitrary records to the page store's pixel decoder, as if the page
// file had been damaged or tampered with. The page file is the control's
// own, but what it reads back from the disk must never crash it:
// - a record decodes to a buffer of the page's exact size whose CRC is the
//   record's, or it is Corrupt (or there was no memory), never anything else;
// - pixels that decoded code again and decode to the same bytes;
// - so do pixels of any content, of the size and format the record names.
//
// Random changes almost never keep the record's own CRC right, which would
// stop every input at its first check; so the CRC is recomputed before
// decoding (the tests check that a wrong one is refused). The page the
// record is decoded for has the size and format the record names, when they
// are of a size a test can afford; the tests check that a record for
// another page is refused.
//
// Input: the record.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "imaging/raster.h"
#include "page_store/pixel_codec.h"

namespace {

using namespace pagewell;

constexpr std::size_t kHeaderBytes = 32;
constexpr std::size_t kCrcBytes = 4;
constexpr std::uint32_t kMaxSide = 1 << 16;
constexpr std::size_t kMaxPixelBytes = 1 << 20;  // two strips and more
// Pixels of any content are coded only for small pages: coding (Group 4
// above all) is much slower than decoding, and a small page takes every
// path of the coder but the strip boundary, which the records of two
// strips reach.
constexpr std::size_t kMaxCodedPixelBytes = 512;

void check(bool condition) {
  if (!condition) std::abort();
}

std::uint32_t u32(const std::uint8_t* at) {
  return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
         static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

void putU32(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

bool isPixelFormat(std::uint8_t value) {
  for (TPixelFormat format : {TPixelFormat::pf1bit, TPixelFormat::pf4bit, TPixelFormat::pf8bit, TPixelFormat::pf15bit,
                              TPixelFormat::pf16bit, TPixelFormat::pf24bit, TPixelFormat::pf32bit})
    if (value == static_cast<std::uint8_t>(format)) return true;
  return false;
}

// The page the record names, or a 1 × 1 one when it names no page this
// test can afford.
TRaster pageFor(const std::vector<std::uint8_t>& record) {
  if (record.size() < kHeaderBytes || !isPixelFormat(record[6])) return TRaster(1, 1, TPixelFormat::pf8bit);
  const auto format = static_cast<TPixelFormat>(record[6]);
  const std::uint32_t width = u32(&record[8]), height = u32(&record[12]);
  if (width == 0 || height == 0) {
    TRaster empty(1, 1, format);
    empty.Clear();
    return empty;
  }
  if (width > kMaxSide || height > kMaxSide ||
      TRaster::StrideFor(static_cast<int>(width), format) * height > kMaxPixelBytes)
    return TRaster(1, 1, TPixelFormat::pf8bit);
  return TRaster(static_cast<int>(width), static_cast<int>(height), format);
}

// The same without its pixels, as the store keeps a page. Changed records
// mostly name the page of the record they came from, so the last shell is
// kept: making a page of a few hundred KiB for every input would take most
// of the fuzzer's time.
const TRaster& shellFor(const std::vector<std::uint8_t>& record) {
  static std::optional<std::string> lastPage;  // the format, width and height
  static TRaster shell;
  std::string page;
  if (record.size() >= kHeaderBytes) page.assign(reinterpret_cast<const char*>(&record[6]), 10);
  if (page != lastPage) {
    shell = pageFor(record);
    shell.ReleasePixels();
    lastPage = page;
  }
  return shell;
}

void fixRecordCrc(std::vector<std::uint8_t>& record) {
  if (record.size() < kCrcBytes) return;
  const std::size_t body = record.size() - kCrcBytes;
  putU32(&record[body], PageStoreCrc32(record.data(), body));
}

std::size_t pixelBytes(const TRaster& raster) { return raster.RowStride() * static_cast<std::size_t>(raster.Height()); }

// Codes the raster's pixels and decodes them again: the same bytes.
void checkCodesBack(TPixelCodec& codec, const TRaster& raster) {
  std::vector<std::uint8_t> record;
  check(codec.Encode(raster, record) == TPageStoreError::None);
  TRaster::TPixelBytes back;
  check(codec.Decode(record.data(), record.size(), raster, back) == TPageStoreError::None);
  check(back.size() == pixelBytes(raster) && (back.empty() || std::memcmp(back.data(), raster.ScanLine(0), back.size()) == 0));
}

// The bits after a row's last pixel and its padding are 0 in every raster.
void clearRowTails(TRaster& raster) {
  const std::size_t rowBytes = raster.RowBytes(), stride = raster.RowStride();
  const int usedBits = static_cast<int>(static_cast<std::size_t>(raster.Width()) * raster.BitsPerPixel() % 8);
  for (int y = 0; y < raster.Height(); ++y) {
    std::uint8_t* row = raster.ScanLine(y);
    if (usedBits != 0) row[rowBytes - 1] &= static_cast<std::uint8_t>(0xFF << (8 - usedBits));
    std::memset(row + rowBytes, 0, stride - rowBytes);
  }
}

// The record's bytes as the pixels of its page (the tails cleared, as the
// control's pages have them, unless flag bit 1, which no record uses, asks
// for stray bits).
void checkAnyPixelsCodeBack(TPixelCodec& codec, const TRaster& shell, const std::vector<std::uint8_t>& record) {
  if (shell.Empty() || pixelBytes(shell) > kMaxCodedPixelBytes || record.size() <= kHeaderBytes) return;
  TRaster page(shell.Width(), shell.Height(), shell.PixelFormat());
  std::uint8_t* pixels = page.ScanLine(0);
  const std::size_t count = pixelBytes(page), sourceBytes = record.size() - kHeaderBytes;
  for (std::size_t i = 0; i < count; ++i) pixels[i] = record[kHeaderBytes + i % sourceBytes];
  if (!(record[5] & 2)) clearRowTails(page);
  checkCodesBack(codec, page);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> record(data, data + size);
  fixRecordCrc(record);
  const TRaster& shell = shellFor(record);
  // One codec for every input, as the store keeps one for every page: its
  // working memory must not carry anything from one record to the next.
  static TPixelCodec codec;
  TRaster::TPixelBytes pixels;
  const TPageStoreError error = codec.Decode(record.data(), record.size(), shell, pixels);
  check(error == TPageStoreError::None || error == TPageStoreError::Corrupt || error == TPageStoreError::OutOfMemory);
  if (error == TPageStoreError::None) {
    check(pixels.size() == pixelBytes(shell));
    const std::uint32_t crc = pixels.empty() ? 0 : PageStoreCrc32(pixels.data(), pixels.size());
    check(crc == u32(&record[28]));
    TRaster decoded = shell;
    check(decoded.AdoptPixels(std::move(pixels)));
    checkCodesBack(codec, decoded);
  }
  checkAnyPixelsCodeBack(codec, shell, record);
  return 0;
}
