#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <string>

#include "imaging/lu_bitmap.h"
#include "page_fixtures.h"

namespace pagewell::test {
namespace {

constexpr double kPi = 3.14159265358979323846;

// The Hough transform written out as defined: a ρ-major accumulator of
// 16-bit counters, the 20-entry table filled in one pass, the middle eight
// sorted angle indices. The implementation stores and scans differently and
// must still answer exactly this.
double ReferenceSkew(const TRaster& page, int m) {
  const int n = 5 * m, angles = 2 * n + 1;
  const int d = static_cast<int>(std::sqrt(double(page.Width()) * page.Width() + double(page.Height()) * page.Height()) + 0.5);
  std::vector<std::uint16_t> cells(static_cast<std::size_t>(2 * d + 1) * angles, 0);
  auto brightness = [&](int x, int y) {
    const TColor c = page.PixelColor(x, y);
    return RedOf(c) + GreenOf(c) + BlueOf(c);
  };
  bool anyEdge = false;
  for (int y = 0; y + 1 < page.Height(); ++y) {
    for (int x = 0; x < page.Width(); ++x) {
      bool edge = false;
      switch (page.PixelFormat()) {
        case TPixelFormat::pf1bit: edge = page.PixelIndex(x, y) == 0 && page.PixelIndex(x, y + 1) == 1; break;
        case TPixelFormat::pf4bit:
          if (x % 2 == 0) {
            edge = brightness(x, y + 1) - brightness(x, y) > 384 ||
                   (x + 1 < page.Width() && brightness(x + 1, y + 1) - brightness(x + 1, y) > 384);
          }
          break;
        default: edge = brightness(x, y + 1) - brightness(x, y) > 384; break;
      }
      if (!edge) continue;
      anyEdge = true;
      for (int k = -n; k <= n; ++k) {
        const double theta = k / 5.0 * kPi / 180.0;
        const int rho = static_cast<int>(y * std::cos(theta) + x * std::sin(theta));
        if (rho >= -d && rho <= d) ++cells[static_cast<std::size_t>(rho + d) * angles + (k + n)];
      }
    }
  }
  if (!anyEdge) return 0;
  int index[20] = {}, count[20] = {}, minimum = 0;
  for (int r = 0; r < 2 * d + 1; ++r) {
    for (int a = 0; a < angles; ++a) {
      const int c = cells[static_cast<std::size_t>(r) * angles + a];
      if (c <= minimum) continue;
      for (int i = 0; i < 20; ++i) {
        if (count[i] == minimum) {
          index[i] = a, count[i] = c;
          break;
        }
      }
      minimum = *std::min_element(count, count + 20);
    }
  }
  std::sort(index, index + 20);
  int sum = 0;
  for (int i = 6; i < 14; ++i) sum += index[i];
  return m - sum / 40.0;
}

// Dark horizontal bars, 3 pixels thick, on white: a page of text lines.
TluBitmap LinedPage(TPixelFormat format, int width, int height, int spacing) {
  TluBitmap page = MakePage(TPixelFormat::pf24bit, width, height, [&](int x, int y) {
    const bool bar = y % spacing >= spacing - 3 && x >= width / 10 && x < width - width / 10;
    return bar ? 0x000000u : 0xFFFFFFu;
  });
  if (format == TPixelFormat::pf1bit) page.SetColorMode(cmBlackWhite);
  if (format == TPixelFormat::pf4bit) page.SetColorMode(cmGray16);
  if (format == TPixelFormat::pf8bit) page.SetColorMode(cmGray256);
  return page;
}

TEST(DetectSkewAngle, PageWithoutEdgesAnswersZero) {
  for (TPixelFormat format : EditableFormats()) {
    SCOPED_TRACE(FormatName(format));
    const TluBitmap blank = UniformPage(format, 60, 40, 0);
    EXPECT_EQ(blank.DetectSkewAngle(15), 0.0);
    // Faint contrast is no edge either.
    const TluBitmap faint = MakePage(TPixelFormat::pf24bit, 60, 40, [](int, int y) { return y < 20 ? 0x404040u : 0x909090u; });
    EXPECT_EQ(faint.DetectSkewAngle(15), 0.0);
  }
}

// A page of text lines: more lines than the table of strongest cells holds,
// each long enough (over 1 / sin 0.2° pixels) that its votes at the
// neighbouring angles split over two cells.
TEST(DetectSkewAngle, HorizontalLinesAnswerZero) {
  for (TPixelFormat format : EditableFormats()) {
    SCOPED_TRACE(FormatName(format));
    EXPECT_EQ(LinedPage(format, 400, 600, 20).DetectSkewAngle(15), 0.0);
  }
}

TEST(DetectSkewAngle, TurnedLinesAnswerTheTurnBack) {
  for (TPixelFormat format : EditableFormats()) {
    for (double turn : {2.0, -3.0, 7.4}) {
      SCOPED_TRACE(FormatName(format) + ", turned by " + std::to_string(turn));
      TluBitmap page = LinedPage(TPixelFormat::pf24bit, 400, 300, 25);
      page.Rotate(false, clWhite, turn);
      if (format != TPixelFormat::pf24bit) page.SetColorMode(format == TPixelFormat::pf1bit ? cmBlackWhite
                                                             : format == TPixelFormat::pf4bit ? cmGray16 : cmGray256);
      EXPECT_NEAR(page.DetectSkewAngle(15), -turn, 0.2);
    }
  }
}

// Pages narrower and wider than the 64 pixels a 1-bit row is searched for
// edges in at a time, with a few pixels past the last whole word.
TEST(DetectSkewAngle, AnswersExactlyWhatTheTransformDefines) {
  // The last size spans several bands of rows.
  const std::pair<int, int> sizes[] = {{97, 61}, {40, 61}, {203, 45}, {70, 300}};
  for (TPixelFormat format : EditableFormats()) {
    for (auto [width, height] : sizes) {
      for (int m : {1, 4, 15}) {
        SCOPED_TRACE(FormatName(format) + ", " + std::to_string(width) + "x" + std::to_string(height) + ", range " +
                     std::to_string(m));
        TluBitmap page = LinedPage(TPixelFormat::pf24bit, width, height, 9);
        page.Rotate(false, clWhite, 3.3);
        // Sprinkle some noise so that ties and short lines matter.
        std::mt19937 random(static_cast<unsigned>(m));
        for (int i = 0; i < 60; ++i) page.SetPixelColor(random() % page.Width(), random() % page.Height(), clBlack);
        if (format != TPixelFormat::pf24bit) page.SetColorMode(format == TPixelFormat::pf1bit ? cmBlackWhite
                                                               : format == TPixelFormat::pf4bit ? cmGray16 : cmPalette256);
        const double expected = ReferenceSkew(page, m);
        ForEachLoopVersion([&] { EXPECT_EQ(page.DetectSkewAngle(m), expected); });
      }
    }
  }
}

// Long edge runs vote for a stretch of cells at once, split where ρ moves
// to the next cell. Each page here puts run ends and cell boundaries where
// a miscount would show: runs over the whole row, runs that start or end
// at a 64-pixel word boundary of a 1-bit row or cross one, runs of every
// length from 1 up, runs in the top right corner where ρ passes 0 at
// falling angles, and steep search ranges that cut runs into short pieces.
TEST(DetectSkewAngle, CountsLongRunsExactlyAtEveryAngle) {
  struct TCase {
    const char* name;
    int width, height, range;
    std::function<bool(int, int)> dark;
  };
  const TCase cases[] = {
      {"whole rows", 150, 40, 45, [](int, int y) { return y % 7 == 3; }},
      {"word boundaries", 203, 30, 15,
       [](int x, int y) {
         return (y == 4 && x >= 64 && x < 128) || (y == 9 && x >= 60 && x < 70) || (y == 14 && x >= 63 && x < 193) ||
                (y == 19 && x >= 127 && x < 129) || (y == 24 && x >= 190);
       }},
      {"every length", 180, 64, 30, [](int x, int y) { return y % 3 == 0 && x % 40 < y / 3 + 1; }},
      {"top right corner", 240, 50, 45, [](int x, int y) { return y < 12 && y % 2 == 0 && x > 100 + 7 * y; }},
      {"shallow range", 400, 30, 1, [](int x, int y) { return y % 5 == 1 && (x / 37) % 2 == 0; }},
      {"wide page, few rows", 1000, 4, 5, [](int x, int y) { return y == 1 && x % 300 < 250; }},
  };
  for (const TCase& c : cases) {
    for (TPixelFormat format : EditableFormats()) {
      for (bool turned : {false, true}) {
        SCOPED_TRACE(std::string(c.name) + ", " + FormatName(format) + (turned ? ", turned" : ""));
        TluBitmap page = MakePage(TPixelFormat::pf24bit, c.width, c.height,
                                  [&](int x, int y) { return c.dark(x, y) ? 0x000000u : 0xFFFFFFu; });
        if (turned) page.Rotate(false, clWhite, 11.3);
        if (format == TPixelFormat::pf1bit) page.SetColorMode(cmBlackWhite);
        if (format == TPixelFormat::pf4bit) page.SetColorMode(cmGray16);
        if (format == TPixelFormat::pf8bit) page.SetColorMode(cmGray256);
        const double expected = ReferenceSkew(page, c.range);
        ForEachLoopVersion([&] { EXPECT_EQ(page.DetectSkewAngle(c.range), expected); });
      }
    }
  }
}

TEST(DetectSkewAngle, OtherFormatsAndNegativeRangesAnswerZero) {
  TluBitmap page = LinedPage(TPixelFormat::pf24bit, 100, 60, 10);
  page.Rotate(false, clWhite, 4);
  EXPECT_EQ(page.DetectSkewAngle(-5), 0.0);
  page.SetPixelFormat(TPixelFormat::pf16bit);
  EXPECT_EQ(page.DetectSkewAngle(15), 0.0);
}

TEST(Deskew, StraightensAPageAndKeepsItsSize) {
  TluBitmap page = LinedPage(TPixelFormat::pf24bit, 400, 300, 25);
  page.Rotate(false, clWhite, 3);
  page.Crop(10, 10, 409, 309);
  page.SetColorMode(cmBlackWhite);
  page.Deskew(15, false, clWhite);
  EXPECT_EQ(page.Width(), 400);
  EXPECT_EQ(page.Height(), 300);
  EXPECT_NEAR(page.DetectSkewAngle(15), 0.0, 0.2);
  // The corners the turn uncovered show the fill colour.
  EXPECT_EQ(page.PixelColor(0, 0), clWhite);
}

TEST(Deskew, LeavesABlankPageAsItIs) {
  for (TPixelFormat format : EditableFormats()) {
    TluBitmap page = UniformPage(format, 40, 30, 0);
    const TluBitmap blank = page;
    page.Deskew(15, true, clWhite);
    EXPECT_TRUE(SamePixels(page, blank)) << FormatName(format);
  }
}

// Crop refuses one-pixel rectangles; the crop back after the turn must not.
TEST(Deskew, OnePixelWidePageKeepsItsSize) {
  TluBitmap page = MakePage(TPixelFormat::pf24bit, 1, 300, [](int, int y) { return y % 10 < 5 ? 0u : 0xFFFFFFu; });
  ASSERT_NE(page.DetectSkewAngle(15), 0.0);
  page.Deskew(15, false, clWhite);
  EXPECT_EQ(page.Width(), 1);
  EXPECT_EQ(page.Height(), 300);
}

}  // namespace
}  // namespace pagewell::test
