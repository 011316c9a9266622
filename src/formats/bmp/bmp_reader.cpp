// The BMP reader. Every length and offset comes from the file, so each is
// checked against the bytes actually present before anything is allocated.
// 16- and 32-bit pixels are unpacked through their channel masks into 24
// bits, the formats the rest of the system works on.
#include <cstdint>
#include <cstring>
#include <vector>

#include "formats/bmp/bmp_image.h"
#include "imaging/errors.h"

namespace pagewell {
namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;
const char* const kInvalidBitmap = "Bitmap image is not valid";

[[noreturn]] void Fail(const char* message = kInvalidBitmap) { throw EInvalidGraphic(message); }

std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t U32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

struct TBmpHeader {
  std::uint32_t headerSize = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;  // negative: rows run top-down
  int bits = 0;
  std::uint32_t compression = kBiRgb;
  std::int32_t xPelsPerMeter = 0, yPelsPerMeter = 0;
  std::uint32_t colorsUsed = 0;
  std::uint32_t masks[3] = {0, 0, 0};
};

// One channel of a packed pixel, scaled to 8 bits.
class TChannel {
 public:
  explicit TChannel(std::uint32_t mask) : mask_(mask) {
    if (mask == 0) return;
    while (!(mask & 1)) mask >>= 1, ++shift_;
    while (mask & 1) mask >>= 1, ++width_;
    if (mask != 0) Fail();  // the mask's bits must be contiguous
    max_ = (width_ >= 32) ? 0xFFFFFFFFu : (1u << width_) - 1;
  }
  std::uint8_t Of(std::uint32_t pixel) const {
    if (mask_ == 0) return 0;
    const std::uint64_t value = (pixel & mask_) >> shift_;
    return static_cast<std::uint8_t>((value * 255 + max_ / 2) / max_);
  }

 private:
  std::uint32_t mask_;
  int shift_ = 0;
  int width_ = 0;
  std::uint32_t max_ = 1;
};

TBmpHeader ParseInfoHeader(const std::uint8_t* info, std::size_t available) {
  TBmpHeader h;
  h.headerSize = U32(info);
  if (h.headerSize == 12) {
    h.width = U16(info + 4);
    h.height = U16(info + 6);
    h.bits = U16(info + 10);
    return h;
  }
  if (h.headerSize < 40 || h.headerSize > available) Fail();
  h.width = static_cast<std::int32_t>(U32(info + 4));
  h.height = static_cast<std::int32_t>(U32(info + 8));
  h.bits = U16(info + 14);
  h.compression = U32(info + 16);
  h.xPelsPerMeter = static_cast<std::int32_t>(U32(info + 24));
  h.yPelsPerMeter = static_cast<std::int32_t>(U32(info + 28));
  h.colorsUsed = U32(info + 32);
  if (h.headerSize >= 52) {
    for (int i = 0; i < 3; ++i) h.masks[i] = U32(info + 40 + 4 * i);
  }
  return h;
}

void CheckHeader(const TBmpHeader& h) {
  const bool knownDepth = h.bits == 1 || h.bits == 4 || h.bits == 8 || h.bits == 16 || h.bits == 24 || h.bits == 32;
  if (!knownDepth || h.width < 1 || h.height == 0 || h.height == INT32_MIN) Fail();
  if (h.compression == kBiBitfields && (h.bits == 16 || h.bits == 32)) return;
  if (h.compression != kBiRgb) Fail("Unsupported bitmap compression");
}

void UseDefaultMasks(TBmpHeader& h) {
  if (h.compression == kBiBitfields) return;
  if (h.bits == 16) h.masks[0] = 0x7C00, h.masks[1] = 0x03E0, h.masks[2] = 0x001F;
  if (h.bits == 32) h.masks[0] = 0xFF0000, h.masks[1] = 0x00FF00, h.masks[2] = 0x0000FF;
}

TPixelFormat FormatFor(int bits) {
  switch (bits) {
    case 1: return TPixelFormat::pf1bit;
    case 4: return TPixelFormat::pf4bit;
    case 8: return TPixelFormat::pf8bit;
    default: return TPixelFormat::pf24bit;
  }
}

void UnpackMaskedRow(const std::uint8_t* source, int width, int bits, const TChannel channels[3], std::uint8_t* bgr) {
  for (int x = 0; x < width; ++x, bgr += 3) {
    const std::uint32_t pixel = bits == 16 ? U16(source + 2 * x) : U32(source + 4 * x);
    bgr[0] = channels[2].Of(pixel), bgr[1] = channels[1].Of(pixel), bgr[2] = channels[0].Of(pixel);
  }
}

}  // namespace

void TBMPImage::LoadFromStream(TMemoryStream& stream) {
  const std::size_t start = stream.Position();
  if (start >= stream.Size()) Fail();
  const std::uint8_t* file = stream.Data() + start;
  const std::size_t size = stream.Size() - start;
  if (size < 14 + 12 || file[0] != 'B' || file[1] != 'M') Fail();
  const std::uint32_t dataOffset = U32(file + 10);

  TBmpHeader h = ParseInfoHeader(file + 14, size - 14);
  CheckHeader(h);
  std::size_t tableOffset = 14 + h.headerSize;
  if (h.compression == kBiBitfields && h.headerSize == 40) {
    if (tableOffset + 12 > size) Fail();
    for (int i = 0; i < 3; ++i) h.masks[i] = U32(file + tableOffset + 4 * i);
    tableOffset += 12;
  }
  UseDefaultMasks(h);

  const bool topDown = h.height < 0;
  const std::int64_t height = topDown ? -h.height : h.height;
  if (h.width > INT32_MAX || height > INT32_MAX) Fail();
  const std::uint64_t rowSize = (static_cast<std::uint64_t>(h.width) * h.bits + 31) / 32 * 4;
  if (dataOffset > size || rowSize * static_cast<std::uint64_t>(height) > size - dataOffset) Fail();

  std::vector<TColor> palette;
  if (h.bits <= 8) {
    const std::uint32_t maxEntries = 1u << h.bits;
    const std::uint32_t entries = (h.colorsUsed == 0 || h.colorsUsed > maxEntries) ? maxEntries : h.colorsUsed;
    const std::size_t entrySize = h.headerSize == 12 ? 3 : 4;
    if (tableOffset + entries * entrySize > size) Fail();
    for (std::uint32_t i = 0; i < entries; ++i) {
      const std::uint8_t* q = file + tableOffset + i * entrySize;
      palette.push_back(RGBColor(q[2], q[1], q[0]));
    }
  }

  TRaster raster(static_cast<int>(h.width), static_cast<int>(height), FormatFor(h.bits));
  if (!palette.empty()) raster.SetPaletteKeepingIndices(palette);
  const TChannel channels[3] = {TChannel(h.masks[0]), TChannel(h.masks[1]), TChannel(h.masks[2])};
  const std::size_t copyBytes = raster.RowBytes();
  for (std::int64_t row = 0; row < height; ++row) {
    const std::uint8_t* source = file + dataOffset + row * rowSize;
    const int y = static_cast<int>(topDown ? row : height - 1 - row);
    if (h.bits == 16 || h.bits == 32) {
      UnpackMaskedRow(source, raster.Width(), h.bits, channels, raster.ScanLine(y));
    } else {
      std::memcpy(raster.ScanLine(y), source, copyBytes);
    }
  }
  static_cast<TRaster&>(*this) = std::move(raster);
  XPelsPerMeter = h.xPelsPerMeter;
  YPelsPerMeter = h.yPelsPerMeter;
  stream.Seek(start + dataOffset + rowSize * static_cast<std::uint64_t>(height));
}

}  // namespace pagewell
