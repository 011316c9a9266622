// DrawTextBlock and StampText: multi-line text on the page. The core lays
// the lines out; an ITextRenderer (GDI in the Windows build) measures and
// writes them.
#include "imaging/text_block.h"

#include <algorithm>
#include <cmath>

#include "imaging/lu_bitmap.h"
#include "imaging/packed_pixels.h"
#include "imaging/rounding.h"

namespace pagewell {
namespace {

constexpr double kPi = 3.14159265358979323846;

enum TTextAlignment { taLeft = 0, taCenter = 1, taRight = 2 };

// Where line i starts: its offset along the line from the alignment, and the
// line advance, both turned by the font's escapement.
std::vector<TTextLine> PlaceLines(const std::vector<std::wstring>& lines, const std::vector<int>& widths,
                                  int blockWidth, int lineHeight, int x, int y, int alignment, int escapement) {
  const double angle = escapement / 10.0 * kPi / 180.0;
  const double sine = std::sin(angle), cosine = std::cos(angle);
  std::vector<TTextLine> placed;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].empty()) continue;
    const int free = blockWidth - widths[i];
    const int offset = alignment == taCenter ? free / 2 : alignment == taRight ? free : 0;
    const double advance = static_cast<double>(i) * lineHeight;
    placed.push_back(TTextLine{x + RoundHalfEven(sine * advance + cosine * offset),
                               y + RoundHalfEven(cosine * advance - sine * offset), lines[i]});
  }
  return placed;
}

// Lays the drawn copy over the page: each pixel the text changed becomes
// image × t + text × (1 - t) per channel, t the transparency in percent.
void BlendChangedPixels(TRaster& page, const TRaster& drawn, int transparency) {
  const double keep = transparency / 100.0;
  const std::size_t bytes = page.RowBytes();
  for (int y = 0; y < page.Height(); ++y) {
    std::uint8_t* p = page.ScanLine(y);
    const std::uint8_t* d = drawn.ScanLine(y);
    for (std::size_t i = 0; i < bytes; i += 3) {
      if (p[i] == d[i] && p[i + 1] == d[i + 1] && p[i + 2] == d[i + 2]) continue;
      for (std::size_t c = i; c < i + 3; ++c) {
        p[c] = static_cast<std::uint8_t>(p[c] * keep + d[c] * (1 - keep) + 0.5);
      }
    }
  }
}

}  // namespace

std::vector<std::wstring> SplitTextLines(const std::wstring& text) {
  std::vector<std::wstring> lines(1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c != L'\r' && c != L'\n') {
      lines.back() += c;
      continue;
    }
    const bool pair = i + 1 < text.size() && (text[i + 1] == L'\r' || text[i + 1] == L'\n') && text[i + 1] != c;
    if (pair) ++i;
    lines.emplace_back();
  }
  return lines;
}

TTextBlockSize TluBitmap::DrawTextBlock(ITextRenderer& renderer, const std::wstring& text, int x, int y,
                                        int transparency, int alignment, bool draw) {
  if (text.empty()) return {};
  const std::vector<std::wstring> lines = SplitTextLines(text);
  std::vector<int> widths;
  for (const auto& line : lines) widths.push_back(line.empty() ? 0 : renderer.MeasureLine(Canvas, line).Width);
  const int blockWidth = *std::max_element(widths.begin(), widths.end());
  const int lineHeight = renderer.LineHeight(Canvas);
  const TTextBlockSize size{blockWidth, static_cast<int>(lines.size()) * lineHeight};
  if (!draw || Empty() || !IsEditableFormat(PixelFormat())) return size;

  const auto placed = PlaceLines(lines, widths, blockWidth, lineHeight, x, y, alignment, Canvas.Font.Escapement);
  transparency = std::clamp(transparency, 0, 100);
  if (transparency > 0 && PixelFormat() == TPixelFormat::pf24bit) {
    TRaster drawn = *this;
    renderer.DrawLines(drawn, Canvas, placed);
    BlendChangedPixels(*this, drawn, transparency);
  } else {
    renderer.DrawLines(*this, Canvas, placed);
  }
  return size;
}

void TluBitmap::StampText(ITextRenderer& renderer, const std::wstring& text) {
  const int width = Width(), height = Height();
  Canvas.Font.Name = "MS Sans Serif";
  Canvas.Font.Size = std::max(6, width / 40);
  Canvas.PenColor = clBlack;
  Canvas.BrushColor = clWhite;
  Canvas.BrushSolid = true;
  DrawTextBlock(renderer, text, width / 40, height / 40, 0, taLeft, true);
}

}  // namespace pagewell
