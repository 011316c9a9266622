#include "imaging/raster.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

#include "imaging/default_palettes.h"
#include "imaging/errors.h"
#include "imaging/nearest_color.h"

namespace pagewell {
namespace {

// A raster never holds more than 2 GiB - 1 bytes: every offset then fits a
// signed 32-bit number, which the 32-bit product and the file formats need.
constexpr std::uint64_t kMaxRasterBytes = 0x7FFFFFFFu;

std::uint64_t StrideOf(std::int64_t width, TPixelFormat format) {
  return (static_cast<std::uint64_t>(width) * BitsPerPixel(format) + 31) / 32 * 4;
}

void CheckSize(int width, int height, TPixelFormat format) {
  if (width < 1 || height < 1) {
    throw ERasterError("Invalid bitmap size " + std::to_string(width) + " x " + std::to_string(height) +
                       ": width and height must be at least 1 pixel");
  }
  const std::uint64_t stride = StrideOf(width, format);
  if (stride > kMaxRasterBytes || stride * static_cast<std::uint64_t>(height) > kMaxRasterBytes) {
    throw ERasterError("Bitmap of " + std::to_string(width) + " x " + std::to_string(height) + " pixels at " +
                       std::to_string(BitsPerPixel(format)) + " bits per pixel is too large");
  }
}

void CheckInside(const TRaster& raster, int x, int y) {
  if (x < 0 || y < 0 || x >= raster.Width() || y >= raster.Height()) {
    throw std::out_of_range("Pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") is outside the bitmap");
  }
}

inline int ReadIndex(const std::uint8_t* row, int x, TPixelFormat format) {
  switch (format) {
    case TPixelFormat::pf1bit: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case TPixelFormat::pf4bit: return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
    default: return row[x];
  }
}

inline void WriteIndex(std::uint8_t* row, int x, int index, TPixelFormat format) {
  switch (format) {
    case TPixelFormat::pf1bit: {
      const std::uint8_t mask = static_cast<std::uint8_t>(0x80 >> (x & 7));
      row[x >> 3] = static_cast<std::uint8_t>(index & 1 ? (row[x >> 3] | mask) : (row[x >> 3] & ~mask));
      break;
    }
    case TPixelFormat::pf4bit:
      row[x >> 1] = static_cast<std::uint8_t>((x & 1) ? ((row[x >> 1] & 0xF0) | (index & 0x0F))
                                                      : ((row[x >> 1] & 0x0F) | ((index & 0x0F) << 4)));
      break;
    default: row[x] = static_cast<std::uint8_t>(index); break;
  }
}

inline std::uint8_t Expand5(unsigned v) { return static_cast<std::uint8_t>((v << 3) | (v >> 2)); }
inline std::uint8_t Expand6(unsigned v) { return static_cast<std::uint8_t>((v << 2) | (v >> 4)); }

// Writes `count` pixels given as blue, green, red into row, starting at x.
// `nearest` is used only for palette formats.
void EncodeSpanBGR(std::uint8_t* row, int x, int count, const std::uint8_t* bgr, TPixelFormat format,
                   TNearestColorMap* nearest) {
  switch (format) {
    case TPixelFormat::pf24bit: std::memcpy(row + x * 3, bgr, static_cast<std::size_t>(count) * 3); return;
    case TPixelFormat::pf32bit:
      for (int i = 0; i < count; ++i, bgr += 3) {
        std::uint8_t* p = row + (x + i) * 4;
        p[0] = bgr[0], p[1] = bgr[1], p[2] = bgr[2], p[3] = 0;
      }
      return;
    case TPixelFormat::pf15bit:
    case TPixelFormat::pf16bit:
      for (int i = 0; i < count; ++i, bgr += 3) {
        const unsigned v = format == TPixelFormat::pf15bit
                               ? ((bgr[2] >> 3) << 10) | ((bgr[1] >> 3) << 5) | (bgr[0] >> 3)
                               : ((bgr[2] >> 3) << 11) | ((bgr[1] >> 2) << 5) | (bgr[0] >> 3);
        row[(x + i) * 2] = static_cast<std::uint8_t>(v);
        row[(x + i) * 2 + 1] = static_cast<std::uint8_t>(v >> 8);
      }
      return;
    case TPixelFormat::pf8bit:
      for (int i = 0; i < count; ++i, bgr += 3) row[x + i] = static_cast<std::uint8_t>(nearest->IndexOf(bgr[2], bgr[1], bgr[0]));
      return;
    default:
      for (int i = 0; i < count; ++i, bgr += 3) {
        WriteIndex(row, x + i, nearest->IndexOf(bgr[2], bgr[1], bgr[0]), format);
      }
      return;
  }
}

// Clears the bits after the last pixel of a packed row, so that whole-byte
// operations leave no stray pixels there.
void ClearTrailingBits(std::uint8_t* row, int width, TPixelFormat format) {
  const int bits = width * BitsPerPixel(format) % 8;
  if (bits != 0) row[(width * BitsPerPixel(format)) / 8] &= static_cast<std::uint8_t>(0xFF << (8 - bits));
}

}  // namespace

std::size_t TRaster::RowBytesFor(int width, TPixelFormat format) {
  return static_cast<std::size_t>((static_cast<std::uint64_t>(width) * pagewell::BitsPerPixel(format) + 7) / 8);
}

std::size_t TRaster::StrideFor(int width, TPixelFormat format) {
  return static_cast<std::size_t>(StrideOf(width, format));
}

TRaster::TRaster(int width, int height, TPixelFormat format) : format_(format), palette_(DefaultPalette(format)) {
  SetSize(width, height);
}

TRaster TRaster::WithUnsetPixels(int width, int height, TPixelFormat format) {
  CheckSize(width, height, format);
  TRaster raster;
  raster.format_ = format;
  raster.palette_ = DefaultPalette(format);
  raster.stride_ = StrideFor(width, format);
  raster.pixels_.resize(raster.stride_ * static_cast<std::size_t>(height));  // no values written
  raster.width_ = width;
  raster.height_ = height;
  constexpr std::size_t kTail = 4;  // the stride is a whole number of these
  for (int y = 0; y < height; ++y) std::memset(raster.ScanLine(y) + raster.stride_ - kTail, 0, kTail);
  return raster;
}

void TRaster::SetSize(int width, int height) {
  CheckSize(width, height, format_);
  if (width == width_ && height == height_) return;
  const std::size_t stride = StrideFor(width, format_);
  TPixelBytes pixels(stride * static_cast<std::size_t>(height), 0);
  const std::size_t keep = std::min(RowBytesFor(width, format_), RowBytes());
  for (int y = 0; y < std::min(height, height_); ++y) {
    std::memcpy(pixels.data() + static_cast<std::size_t>(y) * stride, ScanLine(y), keep);
    if (width < width_) ClearTrailingBits(pixels.data() + static_cast<std::size_t>(y) * stride, width, format_);
  }
  pixels_.swap(pixels);
  width_ = width;
  height_ = height;
  stride_ = stride;
}

TRaster::TPixelBytes TRaster::ReleasePixels() {
  TPixelBytes pixels;
  pixels.swap(pixels_);
  return pixels;
}

bool TRaster::AdoptPixels(TPixelBytes&& pixels) {
  if (pixels.size() != stride_ * static_cast<std::size_t>(height_)) return false;
  pixels_.swap(pixels);
  pixels.clear();
  pixels.shrink_to_fit();
  return true;
}

void TRaster::Clear() {
  pixels_.clear();
  pixels_.shrink_to_fit();
  width_ = height_ = 0;
  stride_ = 0;
}

void TRaster::SetPixelFormat(TPixelFormat format) {
  if (format == format_) return;
  ConvertPixelsTo(format, DefaultPalette(format));
}

void TRaster::ConvertPixelsTo(TPixelFormat format, const std::vector<TColor>& palette) {
  if (!Empty()) CheckSize(width_, height_, format);
  const std::size_t stride = StrideFor(width_, format);
  TPixelBytes pixels(stride * static_cast<std::size_t>(height_), 0);
  TNearestColorMap nearest(palette);
  std::vector<std::uint8_t> bgr(static_cast<std::size_t>(width_) * 3);
  for (int y = 0; y < height_; ++y) {
    DecodeRowBGR(y, bgr.data());
    EncodeSpanBGR(pixels.data() + static_cast<std::size_t>(y) * stride, 0, width_, bgr.data(), format, &nearest);
  }
  pixels_.swap(pixels);
  format_ = format;
  stride_ = stride;
  palette_ = palette;
}

void TRaster::ReplacePalette(const std::vector<TColor>& palette) {
  std::vector<TColor> entries(static_cast<std::size_t>(PaletteEntryCount(format_)), clBlack);
  std::copy_n(palette.begin(), std::min(palette.size(), entries.size()), entries.begin());
  palette_.swap(entries);
}

void TRaster::SetPaletteKeepingIndices(const std::vector<TColor>& palette) {
  if (IsPaletteFormat(format_)) ReplacePalette(palette);
}

void TRaster::SetPalette(const std::vector<TColor>& palette) {
  if (!IsPaletteFormat(format_)) return;
  const std::vector<TColor> old = palette_;
  ReplacePalette(palette);
  // Each old index goes to the entry nearest to its old colour; the pixels
  // are then re-mapped a whole byte at a time through a lookup table. At most
  // 256 colours are looked up, so a plain search beats building the grid.
  std::vector<int> newIndex(old.size());
  bool identity = true;
  for (std::size_t i = 0; i < old.size(); ++i) {
    newIndex[i] = NearestPaletteIndex(palette_, old[i]);
    identity = identity && newIndex[i] == static_cast<int>(i);
  }
  if (identity || Empty()) return;
  std::uint8_t byteMap[256];
  for (int b = 0; b < 256; ++b) {
    switch (format_) {
      case TPixelFormat::pf1bit: {
        int mapped = 0;
        for (int bit = 7; bit >= 0; --bit) mapped |= newIndex[(b >> bit) & 1] << bit;
        byteMap[b] = static_cast<std::uint8_t>(mapped);
        break;
      }
      case TPixelFormat::pf4bit: byteMap[b] = static_cast<std::uint8_t>(newIndex[b >> 4] << 4 | newIndex[b & 15]); break;
      default: byteMap[b] = static_cast<std::uint8_t>(newIndex[b]); break;
    }
  }
  const std::size_t rowBytes = RowBytes();
  for (int y = 0; y < height_; ++y) {
    std::uint8_t* row = ScanLine(y);
    for (std::size_t i = 0; i < rowBytes; ++i) row[i] = byteMap[row[i]];
    ClearTrailingBits(row, width_, format_);
  }
}

int TRaster::PixelIndex(int x, int y) const {
  CheckInside(*this, x, y);
  if (!IsPaletteFormat(format_)) throw ERasterError("PixelIndex needs a palette image");
  return ReadIndex(ScanLine(y), x, format_);
}

void TRaster::SetPixelIndex(int x, int y, int index) {
  CheckInside(*this, x, y);
  if (!IsPaletteFormat(format_)) throw ERasterError("SetPixelIndex needs a palette image");
  WriteIndex(ScanLine(y), x, index, format_);
}

TColor TRaster::PixelColor(int x, int y) const {
  CheckInside(*this, x, y);
  std::uint8_t bgr[3];
  DecodeSpanBGR(y, x, 1, bgr);
  return RGBColor(bgr[2], bgr[1], bgr[0]);
}

void TRaster::SetPixelColor(int x, int y, TColor color) {
  FillRect(x, y, x + 1, y + 1, color);
}

void TRaster::FillRect(int left, int top, int right, int bottom, TColor color) {
  left = std::max(left, 0), top = std::max(top, 0);
  right = std::min(right, width_), bottom = std::min(bottom, height_);
  if (left >= right || top >= bottom) return;
  if (IsPaletteFormat(format_)) {
    const int index = NearestPaletteIndex(palette_, color);
    for (int y = top; y < bottom; ++y) {
      std::uint8_t* row = ScanLine(y);
      for (int x = left; x < right; ++x) WriteIndex(row, x, index, format_);
    }
    return;
  }
  std::vector<std::uint8_t> bgr(static_cast<std::size_t>(right - left) * 3);
  for (std::size_t i = 0; i < bgr.size(); i += 3) {
    bgr[i] = BlueOf(color), bgr[i + 1] = GreenOf(color), bgr[i + 2] = RedOf(color);
  }
  for (int y = top; y < bottom; ++y) EncodeSpanBGR(ScanLine(y), left, right - left, bgr.data(), format_, nullptr);
}

void TRaster::Draw(const TRaster& source, int x, int y) {
  const int left = std::max(0, x), top = std::max(0, y);
  const int right = std::min(width_, x + source.Width()), bottom = std::min(height_, y + source.Height());
  if (left >= right || top >= bottom) return;
  TNearestColorMap nearest(palette_);
  std::vector<std::uint8_t> bgr(static_cast<std::size_t>(right - left) * 3);
  for (int row = top; row < bottom; ++row) {
    source.DecodeSpanBGR(row - y, left - x, right - left, bgr.data());
    EncodeSpanBGR(ScanLine(row), left, right - left, bgr.data(), format_, &nearest);
  }
}

void TRaster::DecodeRowBGR(int y, std::uint8_t* bgr) const { DecodeSpanBGR(y, 0, width_, bgr); }

void TRaster::DecodeSpanBGR(int y, int x, int count, std::uint8_t* bgr) const {
  const std::uint8_t* row = ScanLine(y);
  switch (format_) {
    case TPixelFormat::pf24bit: std::memcpy(bgr, row + x * 3, static_cast<std::size_t>(count) * 3); return;
    case TPixelFormat::pf32bit:
      for (int i = 0; i < count; ++i, bgr += 3) {
        const std::uint8_t* p = row + (x + i) * 4;
        bgr[0] = p[0], bgr[1] = p[1], bgr[2] = p[2];
      }
      return;
    case TPixelFormat::pf15bit:
    case TPixelFormat::pf16bit:
      for (int i = 0; i < count; ++i, bgr += 3) {
        const unsigned v = row[(x + i) * 2] | (row[(x + i) * 2 + 1] << 8);
        if (format_ == TPixelFormat::pf15bit) {
          bgr[0] = Expand5(v & 31), bgr[1] = Expand5((v >> 5) & 31), bgr[2] = Expand5((v >> 10) & 31);
        } else {
          bgr[0] = Expand5(v & 31), bgr[1] = Expand6((v >> 5) & 63), bgr[2] = Expand5((v >> 11) & 31);
        }
      }
      return;
    default:
      for (int i = 0; i < count; ++i, bgr += 3) {
        const TColor c = palette_[static_cast<std::size_t>(ReadIndex(row, x + i, format_))];
        bgr[0] = BlueOf(c), bgr[1] = GreenOf(c), bgr[2] = RedOf(c);
      }
      return;
  }
}

}  // namespace pagewell
