#include "platform/gdi_text_renderer.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "imaging/errors.h"
#include "platform/bitmap_info.h"
#include "platform/gdi_object.h"

namespace pagewell {
namespace {

int ScreenPixelsPerInch() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

// A font of the style's face, point size and escapement; the height is
// negative so that GDI matches the character height, as point sizes mean.
TGdiObject<HFONT> CreateStyleFont(const TFontStyle& font) {
  LOGFONTA logFont{};
  logFont.lfHeight = -MulDiv(font.Size, ScreenPixelsPerInch(), 72);
  logFont.lfEscapement = font.Escapement;
  logFont.lfOrientation = font.Escapement;
  logFont.lfWeight = FW_NORMAL;
  logFont.lfCharSet = DEFAULT_CHARSET;
  logFont.lfOutPrecision = OUT_DEFAULT_PRECIS;
  logFont.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  logFont.lfQuality = DEFAULT_QUALITY;
  logFont.lfPitchAndFamily = DEFAULT_PITCH;
  lstrcpynA(logFont.lfFaceName, font.Name.c_str(), LF_FACESIZE);
  return TGdiObject<HFONT>(CreateFontIndirectA(&logFont));
}

// A top-down DIB section with the raster's format, palette and pixels; its
// rows are padded to 4 bytes like the raster's, so the pixels copy in one
// piece each way.
class TRasterSection {
 public:
  explicit TRasterSection(const TRaster& raster) : bytes_(raster.RowStride() * static_cast<std::size_t>(raster.Height())) {
    auto info = TopDownBitmapInfo(raster, raster.Height());
    section_ = TGdiObject<HBITMAP>(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS,
                                                    &bits_, nullptr, 0));
    if (!section_ || !bits_) throw ERasterError("Cannot create a drawing surface for text output");
    std::memcpy(bits_, raster.ScanLine(0), bytes_);
  }

  HBITMAP Get() const { return section_.Get(); }

  void CopyTo(TRaster& raster) const {
    GdiFlush();
    std::memcpy(raster.ScanLine(0), bits_, bytes_);
  }

 private:
  std::size_t bytes_;
  void* bits_ = nullptr;
  TGdiObject<HBITMAP> section_;
};

}  // namespace

TTextExtent TGdiTextRenderer::MeasureLine(const TCanvasStyle& style, const std::wstring& line) {
  TMemoryDC dc;
  const auto font = CreateStyleFont(style.Font);
  TSelection selected(dc.Get(), font.Get());
  SIZE size{};
  GetTextExtentPoint32W(dc.Get(), line.c_str(), static_cast<int>(line.size()), &size);
  return {size.cx, size.cy};
}

int TGdiTextRenderer::LineHeight(const TCanvasStyle& style) {
  TMemoryDC dc;
  const auto font = CreateStyleFont(style.Font);
  TSelection selected(dc.Get(), font.Get());
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc.Get(), &metrics);
  return metrics.tmHeight;
}

void TGdiTextRenderer::DrawLines(TRaster& target, const TCanvasStyle& style, const std::vector<TTextLine>& lines) {
  if (lines.empty() || target.Empty()) return;
  TRasterSection section(target);
  TMemoryDC dc;
  const auto font = CreateStyleFont(style.Font);
  {
    TSelection bitmap(dc.Get(), section.Get());
    TSelection selectedFont(dc.Get(), font.Get());
    SetTextColor(dc.Get(), style.Font.Color & 0xFFFFFF);
    SetBkColor(dc.Get(), style.BrushColor & 0xFFFFFF);
    SetBkMode(dc.Get(), style.BrushSolid ? OPAQUE : TRANSPARENT);
    SetTextAlign(dc.Get(), TA_LEFT | TA_TOP | TA_NOUPDATECP);
    for (const auto& line : lines) {
      TextOutW(dc.Get(), line.X, line.Y, line.Text.c_str(), static_cast<int>(line.Text.size()));
    }
  }
  section.CopyTo(target);
}

}  // namespace pagewell
