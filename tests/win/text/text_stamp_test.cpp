#include <gtest/gtest.h>

#include <algorithm>

#include "imaging/lu_bitmap.h"
#include "platform/gdi_text_renderer.h"

namespace pagewell {
namespace {

const TColor kGray = RGBColor(100, 100, 100);

TluBitmap GrayPage(int width, int height) {
  TluBitmap page(width, height, TPixelFormat::pf24bit);
  page.FillRect(0, 0, width, height, kGray);
  page.DetectColorMode();
  return page;
}

struct TBox {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // inclusive
  bool Empty() const { return right < 0; }
};

// The smallest rectangle around the pixels that are not `background`.
TBox DrawnBox(const TRaster& page, TColor background) {
  TBox box;
  for (int y = 0; y < page.Height(); ++y) {
    for (int x = 0; x < page.Width(); ++x) {
      if (page.PixelColor(x, y) == background) continue;
      box.left = std::min(box.left, x), box.right = std::max(box.right, x);
      box.top = std::min(box.top, y), box.bottom = std::max(box.bottom, y);
    }
  }
  return box;
}

struct TStampCase {
  int width, height;
  int fontSize;
  int left, top;  // width div 40, height div 40
};

// On a gray page the stamp's opaque white box shows exactly where the text
// was written and how large the font is.
TEST(StampText, WritesAWhiteBoxOfTheFontsSizeAFortiethIntoThePage) {
  const TStampCase cases[] = {{200, 160, 6, 5, 4}, {2550, 3300, 63, 63, 82}};
  TGdiTextRenderer renderer;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    TluBitmap page = GrayPage(c.width, c.height);
    page.StampText(renderer, L"Pagewell 42");
    EXPECT_EQ(page.Canvas.Font.Size, c.fontSize);
    const TBox box = DrawnBox(page, kGray);
    ASSERT_FALSE(box.Empty());
    EXPECT_EQ(box.left, c.left);
    EXPECT_EQ(box.top, c.top);
    EXPECT_EQ(page.PixelColor(c.left, c.top), clWhite);
    // Points at 96 pixels per inch. "MS Sans Serif" is a bitmap font: it
    // has no face below 13 pixels, and large sizes are its nearest scaling.
    const int pixelHeight = c.fontSize * 96 / 72;
    const int lineHeight = renderer.LineHeight(page.Canvas);
    EXPECT_EQ(box.bottom - box.top + 1, lineHeight);
    EXPECT_GE(lineHeight, pixelHeight * 9 / 10);
    EXPECT_LE(lineHeight, std::max(13, pixelHeight * 3 / 2));
    EXPECT_EQ(box.right - box.left + 1, renderer.MeasureLine(page.Canvas, L"Pagewell 42").Width);
    // The letters themselves are black inside the box.
    int black = 0;
    for (int y = box.top; y <= box.bottom; ++y) {
      for (int x = box.left; x <= box.right; ++x) black += page.PixelColor(x, y) == clBlack;
    }
    EXPECT_GT(black, pixelHeight);
  }
}

TEST(StampText, WritesOnPalettePages) {
  TGdiTextRenderer renderer;
  for (TColorMode mode : {cmBlackWhite, cmGray16, cmGray256}) {
    SCOPED_TRACE(static_cast<int>(mode));
    TluBitmap page(400, 200, TPixelFormat::pf24bit);
    page.FillRect(0, 0, 400, 200, clWhite);
    page.DetectColorMode();
    page.SetColorMode(mode);
    page.StampText(renderer, L"HHHH");
    const TBox box = DrawnBox(page, clWhite);
    ASSERT_FALSE(box.Empty());
    EXPECT_GE(box.left, 10);
    EXPECT_GE(box.top, 5);
    EXPECT_LT(box.right, 10 + renderer.MeasureLine(page.Canvas, L"HHHH").Width);
    EXPECT_EQ(page.PixelColor(box.left, box.top + 2), clBlack);
  }
}

TEST(DrawTextBlock, ClearBrushLeavesTheBackgroundAndTransparencyBlends) {
  TGdiTextRenderer renderer;
  TluBitmap clear = GrayPage(300, 100);
  clear.Canvas.BrushSolid = false;
  clear.Canvas.Font.Size = 20;
  clear.DrawTextBlock(renderer, L"Mm", 10, 10, 0, 0, true);
  const TBox letters = DrawnBox(clear, kGray);
  ASSERT_FALSE(letters.Empty());
  EXPECT_GT(letters.top, 10);  // the letters start below the line's top; no box

  TluBitmap blended = GrayPage(300, 100);
  blended.Canvas.Font.Size = 20;
  blended.DrawTextBlock(renderer, L"Mm", 10, 10, 50, 0, true);
  // The white box at half transparency: trunc(100 × 0.5 + 255 × 0.5 + 0.5).
  EXPECT_EQ(blended.PixelColor(10, 10), RGBColor(178, 178, 178));
  EXPECT_EQ(blended.PixelColor(9, 10), kGray);
}

TEST(DrawTextBlock, EscapementTurnsTheText) {
  TGdiTextRenderer renderer;
  TluBitmap page = GrayPage(300, 300);
  page.Canvas.Font.Name = "Tahoma";
  page.Canvas.Font.Size = 16;
  page.Canvas.Font.Escapement = 900;
  const TTextBlockSize size = page.DrawTextBlock(renderer, L"Turned text", 100, 250, 0, 0, true);
  const TBox box = DrawnBox(page, kGray);
  ASSERT_FALSE(box.Empty());
  // Written upwards from (100, 250): taller than wide, ending at the start.
  EXPECT_GT(box.bottom - box.top, box.right - box.left);
  EXPECT_LE(box.bottom, 250);
  EXPECT_NEAR(box.bottom - box.top + 1, size.Width, 2);
}

TEST(DrawTextBlock, LinesAdvanceByTheFontHeight) {
  TGdiTextRenderer renderer;
  TluBitmap page = GrayPage(400, 200);
  const TTextBlockSize size = page.DrawTextBlock(renderer, L"one\r\ntwo\nthree", 20, 30, 0, 0, true);
  const int lineHeight = renderer.LineHeight(page.Canvas);
  EXPECT_EQ(size.Height, 3 * lineHeight);
  const TBox box = DrawnBox(page, kGray);
  EXPECT_EQ(box.top, 30);
  EXPECT_EQ(box.bottom, 30 + 3 * lineHeight - 1);
  EXPECT_EQ(box.right - box.left + 1, size.Width);
}

}  // namespace
}  // namespace pagewell
