#include <gtest/gtest.h>

#include "imaging/lu_bitmap.h"
#include "imaging/text_block.h"
#include "page_fixtures.h"

namespace pagewell::test {
namespace {

// A renderer with block glyphs: every character is a 6 × 10 cell; a line is
// its cells on a box of the brush colour (when solid) with a 2 × 2 dot of
// the font colour in each cell. It records what it was asked to draw.
class TBlockGlyphRenderer : public ITextRenderer {
 public:
  static constexpr int kCharWidth = 6, kLineHeight = 10;

  TTextExtent MeasureLine(const TCanvasStyle&, const std::wstring& line) override {
    return {kCharWidth * static_cast<int>(line.size()), kLineHeight};
  }
  int LineHeight(const TCanvasStyle&) override { return kLineHeight; }
  void DrawLines(TRaster& target, const TCanvasStyle& style, const std::vector<TTextLine>& lines) override {
    drawn.insert(drawn.end(), lines.begin(), lines.end());
    lastStyle = style;
    for (const auto& line : lines) {
      const int width = kCharWidth * static_cast<int>(line.Text.size());
      if (style.BrushSolid) target.FillRect(line.X, line.Y, line.X + width, line.Y + kLineHeight, style.BrushColor);
      for (int i = 0; i < static_cast<int>(line.Text.size()); ++i) {
        const int x = line.X + i * kCharWidth + 2, y = line.Y + 4;
        target.FillRect(x, y, x + 2, y + 2, style.Font.Color);
      }
    }
  }

  std::vector<TTextLine> drawn;
  TCanvasStyle lastStyle;
};

TEST(SplitTextLines, BreaksAtEveryKindOfLineEnd) {
  const struct {
    std::wstring text;
    std::vector<std::wstring> lines;
  } cases[] = {
      {L"one", {L"one"}},
      {L"a\r\nb", {L"a", L"b"}},
      {L"a\n\rb", {L"a", L"b"}},
      {L"a\rb\nc", {L"a", L"b", L"c"}},
      {L"a\r\n\r\nb", {L"a", L"", L"b"}},
      {L"a\n\nb", {L"a", L"", L"b"}},
      {L"a\r\rb", {L"a", L"", L"b"}},
      {L"a\r\n\rb", {L"a", L"", L"b"}},
      {L"a\n", {L"a", L""}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitTextLines(c.text), c.lines);
}

struct TPlacementCase {
  const char* name;
  int alignment;
  int escapement;
  std::vector<std::pair<int, int>> corners;  // of the lines "abcd", "ab", "abc"
};

TEST(DrawTextBlock, PlacesLinesByAlignmentAndEscapement) {
  // Block width 24 (4 characters), line height 10, block at (100, 50).
  const TPlacementCase cases[] = {
      {"left", 0, 0, {{100, 50}, {100, 60}, {100, 70}}},
      {"centre", 1, 0, {{100, 50}, {106, 60}, {103, 70}}},
      {"right", 2, 0, {{100, 50}, {112, 60}, {106, 70}}},
      {"unknown alignment is left", 7, 0, {{100, 50}, {100, 60}, {100, 70}}},
      // Turned by 90 degrees the lines advance to the right and the
      // alignment offset runs upwards.
      {"left, 90 degrees", 0, 900, {{100, 50}, {110, 50}, {120, 50}}},
      {"right, 90 degrees", 2, 900, {{100, 50}, {110, 38}, {120, 44}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TluBitmap page = UniformPage(TPixelFormat::pf24bit, 200, 120, 0xFFFFFF);
    page.Canvas.Font.Escapement = c.escapement;
    TBlockGlyphRenderer renderer;
    const TTextBlockSize size = page.DrawTextBlock(renderer, L"abcd\r\nab\nabc", 100, 50, 0, c.alignment, true);
    EXPECT_EQ(size.Width, 24);
    EXPECT_EQ(size.Height, 30);
    ASSERT_EQ(renderer.drawn.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
      EXPECT_EQ(std::make_pair(renderer.drawn[i].X, renderer.drawn[i].Y), c.corners[i]) << "line " << i;
    }
  }
}

TEST(DrawTextBlock, MeasuresWithoutDrawingAndIgnoresEmptyText) {
  const TluBitmap original = UniformPage(TPixelFormat::pf8bit, 50, 30, 3);
  TluBitmap page = original;
  TBlockGlyphRenderer renderer;
  const TTextBlockSize measured = page.DrawTextBlock(renderer, L"hello\nyou", 0, 0, 0, 0, false);
  EXPECT_EQ(measured.Width, 30);
  EXPECT_EQ(measured.Height, 20);
  const TTextBlockSize empty = page.DrawTextBlock(renderer, L"", 0, 0, 0, 0, true);
  EXPECT_EQ(empty.Width, 0);
  EXPECT_EQ(empty.Height, 0);
  EXPECT_TRUE(renderer.drawn.empty());
  EXPECT_TRUE(SamePixels(page, original));
}

TEST(DrawTextBlock, TransparencyBlendsOnlyTheChangedPixelsOfTrueColourPages) {
  const TColor gray = RGBColor(100, 100, 100);
  TluBitmap page = UniformPage(TPixelFormat::pf24bit, 40, 20, 0x646464);
  page.Canvas.BrushColor = gray;  // the box is invisible: only the dots change
  page.Canvas.Font.Color = RGBColor(200, 0, 255);
  TBlockGlyphRenderer renderer;
  page.DrawTextBlock(renderer, L"x", 0, 0, 25, 0, true);
  // trunc(image × 0.25 + text × 0.75 + 0.5) per channel.
  EXPECT_EQ(page.PixelColor(2, 4), RGBColor(175, 25, 216));
  EXPECT_EQ(page.PixelColor(1, 4), gray);
  EXPECT_EQ(page.PixelColor(30, 15), gray);
}

TEST(DrawTextBlock, TransparencyIsIgnoredOnPalettePages) {
  TluBitmap page = UniformPage(TPixelFormat::pf8bit, 40, 20, 0);
  page.SetPaletteKeepingIndices(std::vector<TColor>(256, clBlack));
  page.SetPaletteEntry(1, clWhite);
  TBlockGlyphRenderer renderer;
  page.DrawTextBlock(renderer, L"x", 0, 0, 50, 0, true);
  EXPECT_EQ(page.PixelColor(0, 0), clWhite);  // the box, drawn directly
}

TEST(StampText, SizesTheFontByThePageAndStartsAFortiethIn) {
  const struct {
    int width, height, size, x, y;
  } cases[] = {{200, 120, 6, 5, 3}, {2550, 3300, 63, 63, 82}, {100, 39, 6, 2, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    TluBitmap page = UniformPage(TPixelFormat::pf1bit, c.width, c.height, 1);
    page.Canvas.BrushSolid = false;
    page.Canvas.BrushColor = clBlack;
    TBlockGlyphRenderer renderer;
    page.StampText(renderer, L"Stamp");
    ASSERT_EQ(renderer.drawn.size(), 1u);
    EXPECT_EQ(renderer.drawn[0].X, c.x);
    EXPECT_EQ(renderer.drawn[0].Y, c.y);
    EXPECT_EQ(renderer.lastStyle.Font.Name, "MS Sans Serif");
    EXPECT_EQ(renderer.lastStyle.Font.Size, c.size);
    EXPECT_TRUE(renderer.lastStyle.BrushSolid);
    EXPECT_EQ(renderer.lastStyle.BrushColor, clWhite);
    EXPECT_EQ(renderer.lastStyle.PenColor, clBlack);
  }
}

}  // namespace
}  // namespace pagewell::test
