#pragma once
// A piece of a sheet of paper drawn with GDI at the scan's resolution: a
// top-down 24-bit DIB section whose pixel (i, j) shows the sheet at
// (OriginX + (i + 0.5) / XDpi, OriginY + (j + 0.5) / YDpi) inches. Documents
// are laid out in inches on the sheet; the canvas turns that into pixels,
// so the same layout serves every resolution and frame.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace virtual_scanner {

struct TFontSpec {
  const wchar_t* Face;
  double Points;
  bool Bold = false;
  bool Italic = false;
};

struct TInchPoint {
  double X, Y;
};

class TSheetCanvas {
 public:
  TSheetCanvas(double originX, double originY, int width, int height, double xDpi, double yDpi);
  ~TSheetCanvas();
  TSheetCanvas(const TSheetCanvas&) = delete;
  TSheetCanvas& operator=(const TSheetCanvas&) = delete;

  // False when GDI could not give the bitmap (a huge page): the canvas is
  // then white paper and drawing does nothing.
  bool Valid() const { return bits_ != nullptr; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // The colour of a canvas pixel, 0x00BBGGRR.
  std::uint32_t At(int i, int j) const {
    if (!Valid()) return 0xFFFFFF;
    const std::uint8_t* p = Pixel(i, j);
    return p[2] | (p[1] << 8) | (static_cast<std::uint32_t>(p[0]) << 16);
  }

  // Drawing, in inches on the sheet. A rectangle is at least one pixel
  // each way, so that rules show at every resolution.
  void FillRect(double left, double top, double right, double bottom, COLORREF color);
  void FrameRect(double left, double top, double right, double bottom, double thickness, COLORREF color);
  void Ellipse(double left, double top, double right, double bottom, COLORREF color);
  void Polygon(const std::vector<TInchPoint>& points, COLORREF color);
  // A pen stroke through cubic Bezier segments (1 + 3n points).
  void Stroke(const std::vector<TInchPoint>& bezier, double thickness, COLORREF color);
  // One line of text with its top-left corner at (x, y); answers its width.
  double Text(double x, double y, const TFontSpec& font, COLORREF color, const std::wstring& text);
  double TextWidth(const TFontSpec& font, const std::wstring& text);
  // Text broken into lines of at most `width`; answers the height it took.
  double Paragraph(double left, double top, double width, const TFontSpec& font, COLORREF color,
                   const std::wstring& text);
  // Paints every pixel of the rectangle with colorAt(u, v), u and v running
  // from 0 to 1 across and down it; answers 0x00BBGGRR.
  template <class ColorAt>
  void Shade(double left, double top, double right, double bottom, ColorAt colorAt);

 private:
  int PixelX(double x) const;
  int PixelY(double y) const;
  HFONT MakeFont(const TFontSpec& font) const;
  // Fonts are made once per canvas: a letter uses a handful many times.
  HFONT Font(const TFontSpec& font);
  std::uint8_t* Pixel(int i, int j) const { return bits_ + static_cast<std::size_t>(j) * stride_ + 3 * i; }

  double originX_, originY_, xDpi_, yDpi_;
  int width_, height_;
  std::size_t stride_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  std::uint8_t* bits_ = nullptr;
  std::vector<std::pair<TFontSpec, HFONT>> fonts_;
};

template <class ColorAt>
void TSheetCanvas::Shade(double left, double top, double right, double bottom, ColorAt colorAt) {
  if (!Valid()) return;
  GdiFlush();
  const int x0 = PixelX(left), x1 = PixelX(right), y0 = PixelY(top), y1 = PixelY(bottom);
  if (x1 <= x0 || y1 <= y0) return;
  for (int j = std::max(0, y0); j < std::min(height_, y1); ++j) {
    const double v = (j + 0.5 - y0) / (y1 - y0);
    for (int i = std::max(0, x0); i < std::min(width_, x1); ++i) {
      const std::uint32_t c = colorAt((i + 0.5 - x0) / (x1 - x0), v);
      std::uint8_t* p = Pixel(i, j);
      p[0] = static_cast<std::uint8_t>(c >> 16);
      p[1] = static_cast<std::uint8_t>(c >> 8);
      p[2] = static_cast<std::uint8_t>(c);
    }
  }
}

}  // namespace virtual_scanner
