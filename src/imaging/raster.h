#pragma once
// TRaster: the general raster image every bitmap of the system is built on.
// Rows run top to bottom, each padded to a multiple of 4 bytes; a 1-bit row
// holds its leftmost pixel in the most significant bit, a 4-bit row in the
// high nibble, and 24-bit pixels are stored blue, green, red.
//
// Changing the pixel format or the whole palette keeps the picture: every
// pixel is re-mapped to the nearest colour that the new format or palette
// offers (squared distance in RGB, lowest index on ties).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "imaging/color.h"
#include "imaging/no_fill_allocator.h"
#include "imaging/pixel_format.h"

namespace pagewell {

class TRaster {
 public:
  TRaster() = default;  // empty (0 × 0, 24 bits)
  TRaster(int width, int height, TPixelFormat format);
  // A raster whose pixels are left unset, for an operation that writes every
  // pixel of it at once (a quarter turn of a whole page) and would only
  // overwrite the zeros of the other constructor. The last four bytes of
  // every row (the padding and the unused bits after the last pixel among
  // them) are 0 as in every raster; pixel bytes written whole must keep
  // those unused bits 0. The palette is the format's default one.
  static TRaster WithUnsetPixels(int width, int height, TPixelFormat format);
  virtual ~TRaster() = default;
  TRaster(const TRaster&) = default;
  TRaster& operator=(const TRaster&) = default;
  TRaster(TRaster&&) noexcept = default;
  TRaster& operator=(TRaster&&) noexcept = default;

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  TPixelFormat PixelFormat() const { return format_; }
  int BitsPerPixel() const { return pagewell::BitsPerPixel(format_); }
  // Bytes from one row to the next, padding included.
  std::size_t RowStride() const { return stride_; }
  // Bytes of a row that hold pixels: (width × bits + 7) div 8.
  std::size_t RowBytes() const { return RowBytesFor(width_, format_); }

  std::uint8_t* ScanLine(int y) { return pixels_.data() + static_cast<std::size_t>(y) * stride_; }
  const std::uint8_t* ScanLine(int y) const { return pixels_.data() + static_cast<std::size_t>(y) * stride_; }

  // Sets the size, keeping the pixel format and the pixels that still fit;
  // new pixels are 0. Refuses sizes below 1 and byte counts that overflow
  // with ERasterError before allocating anything.
  void SetSize(int width, int height);
  // Back to the empty 0 × 0 raster (the format stays).
  void Clear();

  // Changes the format, keeping the picture; a palette format starts from
  // its default palette (DefaultPalette).
  void SetPixelFormat(TPixelFormat format);

  // 2, 16 or 256 entries for palette formats, empty for the others.
  const std::vector<TColor>& Palette() const { return palette_; }
  // Replaces the palette and re-maps every pixel to the nearest new entry.
  // Missing entries are black, extra entries are ignored.
  void SetPalette(const std::vector<TColor>& palette);
  // Replaces palette entries while every pixel keeps its index.
  void SetPaletteKeepingIndices(const std::vector<TColor>& palette);

  int PixelIndex(int x, int y) const;           // palette formats only
  void SetPixelIndex(int x, int y, int index);  // palette formats only
  TColor PixelColor(int x, int y) const;
  void SetPixelColor(int x, int y, TColor color);  // nearest entry for palette formats

  // Fills the rectangle [left, right) × [top, bottom), clipped to the image.
  void FillRect(int left, int top, int right, int bottom, TColor color);
  // Draws another raster with its top-left corner at (x, y), clipped; each
  // pixel goes to the nearest colour of this raster's palette.
  void Draw(const TRaster& source, int x, int y);

  // Row y as width × 3 bytes blue, green, red, whatever the format.
  void DecodeRowBGR(int y, std::uint8_t* bgr) const;
  // Reads the first `count` pixels of row y into `out` as blue, green, red,
  // starting at pixel x.
  void DecodeSpanBGR(int y, int x, int count, std::uint8_t* bgr) const;

  static std::size_t RowBytesFor(int width, TPixelFormat format);
  static std::size_t StrideFor(int width, TPixelFormat format);

  // For the page store, which keeps a page's pixels compressed: hands the
  // pixel buffer over without copying and leaves the raster a pixel-less
  // shell that keeps its size, format and palette (its rows must not be
  // touched until AdoptPixels). AdoptPixels takes back a buffer of exactly
  // RowStride() × Height() bytes and answers false, taking nothing, for any
  // other size.
  using TPixelBytes = std::vector<std::uint8_t, TNoFillAllocator<std::uint8_t>>;
  TPixelBytes ReleasePixels();
  bool AdoptPixels(TPixelBytes&& pixels);

 private:
  void ConvertPixelsTo(TPixelFormat format, const std::vector<TColor>& palette);
  void ReplacePalette(const std::vector<TColor>& palette);

  int width_ = 0;
  int height_ = 0;
  TPixelFormat format_ = TPixelFormat::pf24bit;
  std::size_t stride_ = 0;
  TPixelBytes pixels_;
  std::vector<TColor> palette_;
};

}  // namespace pagewell
