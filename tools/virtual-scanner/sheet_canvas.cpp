#include "sheet_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace virtual_scanner {
namespace {

// Selects a GDI object for the lifetime of the scope and deletes the one
// it created.
class TSelected {
 public:
  TSelected(HDC dc, HGDIOBJ object) : dc_(dc), object_(object), old_(SelectObject(dc, object)) {}
  ~TSelected() {
    SelectObject(dc_, old_);
    DeleteObject(object_);
  }
  TSelected(const TSelected&) = delete;
  TSelected& operator=(const TSelected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ object_, old_;
};

// Selects a font for the lifetime of the scope; the canvas keeps the font.
class TFontSelected {
 public:
  TFontSelected(HDC dc, HFONT font) : dc_(dc), old_(SelectObject(dc, font)) {}
  ~TFontSelected() { SelectObject(dc_, old_); }
  TFontSelected(const TFontSelected&) = delete;
  TFontSelected& operator=(const TFontSelected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

bool SameFont(const TFontSpec& a, const TFontSpec& b) {
  return a.Face == b.Face && a.Points == b.Points && a.Bold == b.Bold && a.Italic == b.Italic;
}

}  // namespace

TSheetCanvas::TSheetCanvas(double originX, double originY, int width, int height, double xDpi, double yDpi)
    : originX_(originX), originY_(originY), xDpi_(xDpi), yDpi_(yDpi), width_(width), height_(height),
      stride_((static_cast<std::size_t>(width) * 3 + 3) & ~static_cast<std::size_t>(3)) {
  dc_ = CreateCompatibleDC(nullptr);
  if (!dc_) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap_ || !bits) return;
  bits_ = static_cast<std::uint8_t*>(bits);
  std::memset(bits_, 0xFF, stride_ * static_cast<std::size_t>(height));  // white paper
  oldBitmap_ = SelectObject(dc_, bitmap_);
  SetBkMode(dc_, TRANSPARENT);
  SetTextAlign(dc_, TA_TOP | TA_LEFT | TA_NOUPDATECP);
}

TSheetCanvas::~TSheetCanvas() {
  if (oldBitmap_) SelectObject(dc_, oldBitmap_);
  for (const auto& font : fonts_) DeleteObject(font.second);
  if (bitmap_) DeleteObject(bitmap_);
  if (dc_) DeleteDC(dc_);
}

int TSheetCanvas::PixelX(double x) const { return static_cast<int>(std::lround((x - originX_) * xDpi_)); }
int TSheetCanvas::PixelY(double y) const { return static_cast<int>(std::lround((y - originY_) * yDpi_)); }

void TSheetCanvas::FillRect(double left, double top, double right, double bottom, COLORREF color) {
  if (!Valid()) return;
  RECT r{PixelX(left), PixelY(top), PixelX(right), PixelY(bottom)};
  r.right = std::max(r.right, r.left + 1);
  r.bottom = std::max(r.bottom, r.top + 1);
  HBRUSH brush = CreateSolidBrush(color);
  ::FillRect(dc_, &r, brush);
  DeleteObject(brush);
}

void TSheetCanvas::FrameRect(double left, double top, double right, double bottom, double thickness,
                             COLORREF color) {
  FillRect(left, top, right, top + thickness, color);
  FillRect(left, bottom - thickness, right, bottom, color);
  FillRect(left, top, left + thickness, bottom, color);
  FillRect(right - thickness, top, right, bottom, color);
}

void TSheetCanvas::Ellipse(double left, double top, double right, double bottom, COLORREF color) {
  if (!Valid()) return;
  TSelected brush(dc_, CreateSolidBrush(color));
  TSelected pen(dc_, CreatePen(PS_NULL, 0, 0));
  ::Ellipse(dc_, PixelX(left), PixelY(top), PixelX(right) + 1, PixelY(bottom) + 1);
}

void TSheetCanvas::Polygon(const std::vector<TInchPoint>& points, COLORREF color) {
  if (!Valid() || points.size() < 3) return;
  std::vector<POINT> pixels;
  for (const TInchPoint& p : points) pixels.push_back(POINT{PixelX(p.X), PixelY(p.Y)});
  TSelected brush(dc_, CreateSolidBrush(color));
  TSelected pen(dc_, CreatePen(PS_NULL, 0, 0));
  ::Polygon(dc_, pixels.data(), static_cast<int>(pixels.size()));
}

void TSheetCanvas::Stroke(const std::vector<TInchPoint>& bezier, double thickness, COLORREF color) {
  if (!Valid() || bezier.size() < 4) return;
  std::vector<POINT> pixels;
  for (const TInchPoint& p : bezier) pixels.push_back(POINT{PixelX(p.X), PixelY(p.Y)});
  LOGBRUSH brush{BS_SOLID, color, 0};
  const DWORD width = static_cast<DWORD>(std::max(1L, std::lround(thickness * (xDpi_ + yDpi_) / 2)));
  TSelected pen(dc_, ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND, width, &brush, 0, nullptr));
  PolyBezier(dc_, pixels.data(), static_cast<DWORD>(pixels.size() - (pixels.size() - 1) % 3));
}

HFONT TSheetCanvas::MakeFont(const TFontSpec& font) const {
  LOGFONTW f{};
  f.lfHeight = -std::max(1L, std::lround(font.Points / 72.0 * yDpi_));
  f.lfWeight = font.Bold ? FW_BOLD : FW_NORMAL;
  f.lfItalic = font.Italic;
  f.lfCharSet = DEFAULT_CHARSET;
  f.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  f.lfQuality = ANTIALIASED_QUALITY;
  wcsncpy(f.lfFaceName, font.Face, LF_FACESIZE - 1);
  if (std::fabs(xDpi_ - yDpi_) > 1e-9) {
    // Unequal resolutions: widen or narrow the glyphs so that they keep
    // their shape on paper.
    HFONT natural = CreateFontIndirectW(&f);
    HGDIOBJ old = SelectObject(dc_, natural);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc_, &metrics);
    SelectObject(dc_, old);
    DeleteObject(natural);
    f.lfWidth = std::max(1L, std::lround(metrics.tmAveCharWidth * xDpi_ / yDpi_));
  }
  return CreateFontIndirectW(&f);
}

HFONT TSheetCanvas::Font(const TFontSpec& font) {
  for (const auto& made : fonts_)
    if (SameFont(made.first, font)) return made.second;
  fonts_.emplace_back(font, MakeFont(font));
  return fonts_.back().second;
}

double TSheetCanvas::Text(double x, double y, const TFontSpec& font, COLORREF color, const std::wstring& text) {
  if (!Valid()) return 0;
  TFontSelected selected(dc_, Font(font));
  SetTextColor(dc_, color);
  TextOutW(dc_, PixelX(x), PixelY(y), text.c_str(), static_cast<int>(text.size()));
  SIZE size{};
  GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx / xDpi_;
}

double TSheetCanvas::TextWidth(const TFontSpec& font, const std::wstring& text) {
  if (!Valid()) return 0;
  TFontSelected selected(dc_, Font(font));
  SIZE size{};
  GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx / xDpi_;
}

double TSheetCanvas::Paragraph(double left, double top, double width, const TFontSpec& font, COLORREF color,
                               const std::wstring& text) {
  if (!Valid()) return 0;
  TFontSelected selected(dc_, Font(font));
  SetTextColor(dc_, color);
  RECT r{PixelX(left), PixelY(top), PixelX(left + width), PixelY(top) + 1};
  const UINT format = DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX;
  DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &r, format | DT_CALCRECT);
  r.right = PixelX(left + width);
  DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &r, format);
  return (r.bottom - r.top) / yDpi_;
}

}  // namespace virtual_scanner
