#include <gtest/gtest.h>

#include <cmath>

#include "imaging/lu_bitmap.h"
#include "imaging/rotate_arbitrary.h"
#include "page_fixtures.h"

namespace pagewell::test {
namespace {

constexpr double kPi = 3.14159265358979323846;

enum class TTurn { Quarter, Half, ThreeQuarters, None };

// Where target pixel (x, y) comes from, as the operation defines it.
std::pair<int, int> SourceOf(TTurn turn, int x, int y, int width, int height) {
  switch (turn) {
    case TTurn::Quarter: return {width - 1 - y, x};
    case TTurn::ThreeQuarters: return {y, height - 1 - x};
    case TTurn::Half: return {width - 1 - x, height - 1 - y};
    default: return {x, y};
  }
}

struct TAngleCase {
  double angle;
  TTurn turn;
};

TEST(Rotate, ExactTurnsMovePixelsOfEveryFormat) {
  const TAngleCase cases[] = {{90, TTurn::Quarter},     {270, TTurn::ThreeQuarters}, {180, TTurn::Half},
                              {450, TTurn::Quarter},    {-90, TTurn::ThreeQuarters}, {-270, TTurn::Quarter},
                              {-180, TTurn::Half},      {0, TTurn::None},            {360, TTurn::None},
                              {-360, TTurn::None},      {720, TTurn::None}};
  // Sizes that are not multiples of 8 in either direction, ones larger than
  // the blocks and strips the quarter turns work in (with and without a
  // remainder), rows of 1-bit pages long enough for the wide blocks, 1-bit
  // pages tall enough for tiles of 128 rows followed by narrower ones, and a
  // 24-bit row without padding after its last pixel.
  const std::pair<int, int> sizes[] = {{13, 7},  {1, 5},    {70, 83},   {133, 75},  {64, 48},
                                       {40, 130}, {300, 37}, {128, 33}, {150, 250}, {260, 333}};
  ForEachLoopVersion([&] {
    for (TPixelFormat format : EditableFormats()) {
      for (auto [width, height] : sizes) {
        const TluBitmap original = RandomPage(format, width, height, static_cast<unsigned>(width * height));
        for (const auto& c : cases) {
          SCOPED_TRACE(FormatName(format) + ", " + std::to_string(width) + "x" + std::to_string(height) + ", angle " +
                       std::to_string(c.angle));
          TluBitmap page = original;
          page.Rotate(false, clWhite, c.angle);
          const bool sideways = c.turn == TTurn::Quarter || c.turn == TTurn::ThreeQuarters;
          ASSERT_EQ(page.Width(), sideways ? height : width);
          ASSERT_EQ(page.Height(), sideways ? width : height);
          ASSERT_EQ(page.PixelFormat(), format);
          EXPECT_EQ(page.Palette(), original.Palette());
          EXPECT_TRUE(TrailingBitsClear(page));
          for (int y = 0; y < page.Height(); ++y) {
            for (int x = 0; x < page.Width(); ++x) {
              const auto [sx, sy] = SourceOf(c.turn, x, y, width, height);
              ASSERT_EQ(Value(page, x, y), Value(original, sx, sy)) << "at " << x << "," << y;
            }
          }
        }
      }
    }
  });
}

TEST(Rotate, QuarterTurnExchangesTheResolutionsAndSetsTheBackground) {
  TluBitmap page = RandomPage(TPixelFormat::pf1bit, 10, 4, 1);
  page.SetXDpi(300);
  page.SetYDpi(200);
  page.SetSelection(0, 0, 3, 3);
  page.Rotate(false, 0x123456, 90);
  EXPECT_EQ(page.XDpi(), 200);
  EXPECT_EQ(page.YDpi(), 300);
  EXPECT_EQ(page.BackgroundColor, 0x123456u);
  EXPECT_EQ(page.SelectionKind, 0);
  page.Rotate(false, clWhite, 180);
  EXPECT_EQ(page.XDpi(), 200);
}

TEST(Rotate, NoTurnKeepsEvenTheSelection) {
  TluBitmap page = RandomPage(TPixelFormat::pf8bit, 6, 6, 2);
  page.SetSelection(1, 1, 2, 2);
  page.Rotate(false, clWhite, 360);
  page.Rotate(true, clBlack, 0);
  EXPECT_EQ(page.SelectionKind, 1);
  EXPECT_EQ(page.BackgroundColor, clWhite);
}

TEST(Rotate, RejectsAnglesThatAreNotNumbers) {
  const TluBitmap original = RandomPage(TPixelFormat::pf24bit, 6, 4, 3);
  TluBitmap page = original;
  page.Rotate(false, clWhite, std::nan(""));
  page.Rotate(false, clWhite, INFINITY);
  EXPECT_TRUE(SamePixels(page, original));
}

// The reference mapping, written from the definition independently of the
// implementation's row tables.
std::pair<long, long> NearestSource(int x, int y, int width, int height, int newWidth, int newHeight, double angle) {
  const double a = angle * kPi / 180, s = std::sin(a), c = std::cos(a);
  const double dx = x - (newWidth - 1) / 2.0, dy = y - (newHeight - 1) / 2.0;
  return {std::lrint(dx * c - dy * s + (width - 1) / 2.0), std::lrint(dx * s + dy * c + (height - 1) / 2.0)};
}

// Small pages at steep angles, and a page with rows of several words at the
// small angles of deskewing, where 1-bit rows are moved in long runs (up to
// the page's right edge, and reading its last bytes).
TEST(Rotate, AnyAngleTakesTheNearestPixelOnAGrownCanvas) {
  struct TCase {
    int width, height;
    double angle;
  };
  const TCase cases[] = {{23, 11, 30.0}, {23, 11, -17.5}, {23, 11, 200.0}, {23, 11, 333.3},
                         {301, 97, 2.0}, {301, 97, -0.7}, {301, 97, 359.9}, {64, 40, 1.0}};
  ForEachLoopVersion([&] {
    for (TPixelFormat format : EditableFormats()) {
      for (const auto [width, height, angle] : cases) {
        SCOPED_TRACE(FormatName(format) + ", " + std::to_string(width) + "x" + std::to_string(height) + ", angle " +
                     std::to_string(angle));
        const TluBitmap original = RandomPage(format, width, height, 7);
        TluBitmap page = original;
        page.Rotate(false, clWhite, angle);
        const double a = std::fmod(angle + 360, 360) * kPi / 180;
        const int newWidth = static_cast<int>(std::lrint(std::fabs(width * std::cos(a)) + std::fabs(height * std::sin(a))));
        const int newHeight = static_cast<int>(std::lrint(std::fabs(width * std::sin(a)) + std::fabs(height * std::cos(a))));
        ASSERT_EQ(page.Width(), newWidth);
        ASSERT_EQ(page.Height(), newHeight);
        int outside = 0;
        for (int y = 0; y < newHeight; ++y) {
          for (int x = 0; x < newWidth; ++x) {
            const auto [sx, sy] = NearestSource(x, y, width, height, newWidth, newHeight, std::fmod(angle + 360, 360));
            const bool inside = sx >= 0 && sx < width && sy >= 0 && sy < height;
            outside += !inside;
            const std::uint32_t expected = inside ? Value(original, static_cast<int>(sx), static_cast<int>(sy))
                                                  : WhiteValue(original);
            ASSERT_EQ(Value(page, x, y), expected) << "at " << x << "," << y;
          }
        }
        EXPECT_GT(outside, 0);
        EXPECT_EQ(page.BackgroundColor, clWhite);
        EXPECT_TRUE(TrailingBitsClear(page));
      }
    }
  });
}

TEST(Rotate, FillOfAPaletteWithoutTheColourIsTheNearestEntry) {
  // Only black and dark gray: white fill must become the lighter entry, not
  // whatever index 0 happens to be.
  TluBitmap page = UniformPage(TPixelFormat::pf8bit, 10, 10, 0);
  std::vector<TColor> palette(256, clBlack);
  palette[7] = RGBColor(60, 60, 60);
  page.SetPaletteKeepingIndices(palette);
  page.Rotate(false, clWhite, 45);
  EXPECT_EQ(Value(page, 0, 0), 7u);
}

TEST(Rotate, SmoothTurnBlendsTowardsTheFillOnlyAtTheEdges) {
  const TColor colour = RGBColor(200, 100, 50);
  TluBitmap page = MakePage(TPixelFormat::pf24bit, 40, 30, [&](int, int) { return 50u | (100u << 8) | (200u << 16); });
  page.Rotate(true, clBlack, 10);
  const int cx = page.Width() / 2, cy = page.Height() / 2;
  EXPECT_EQ(page.PixelColor(cx, cy), colour);
  EXPECT_EQ(page.PixelColor(0, 0), clBlack);
  // Along the middle row, the first pixel that is not black is darker than
  // the colour: it mixes the colour with the fill.
  int x = 0;
  while (page.PixelColor(x, cy) == clBlack) ++x;
  EXPECT_LT(RedOf(page.PixelColor(x, cy)), 200);
}

// A point just before the first column lies between the fill (column -1)
// and column 0: it must mix those two, never reach over to column 1.
TEST(Rotate, SmoothTurnWeighsNeighboursOfPointsLeftOfTheImage) {
  TluBitmap page = MakePage(TPixelFormat::pf24bit, 21, 21, [](int x, int) { return x == 1 ? 0xFFFFFFu : 0u; });
  const TRotationGeometry geometry = TRotationGeometry::For(21, 21, 1);
  page.Rotate(true, clBlack, 1);
  int checked = 0;
  for (int y = 0; y < page.Height(); ++y) {
    for (int x = 0; x < page.Width(); ++x) {
      const double sx = geometry.SourceX(x, y), sy = geometry.SourceY(x, y);
      if (sx > -1 && sx < 0 && sy > 0 && sy < 20) {
        ASSERT_EQ(page.PixelColor(x, y), clBlack) << "source " << sx << "," << sy;
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 0);
}

TEST(Rotate, AlphaPlaneTurnsWithThePageAndGetsTheFillValue) {
  TluBitmap page = RandomPage(TPixelFormat::pf24bit, 9, 5, 4);
  page.Alpha.Mode = TAlphaMode::amAlphaPlane;
  page.Alpha.AlphaPlane = RandomPage(TPixelFormat::pf8bit, 9, 5, 5);
  const TRaster plane = page.Alpha.AlphaPlane;
  page.AlphaFillValue = 77;
  page.Rotate(false, clWhite, 270);
  ASSERT_EQ(page.Alpha.AlphaPlane.Width(), 5);
  EXPECT_EQ(Value(page.Alpha.AlphaPlane, 0, 0), Value(plane, 0, 4));
  page.Rotate(false, clWhite, 45);
  EXPECT_EQ(page.Alpha.AlphaPlane.Width(), page.Width());
  EXPECT_EQ(Value(page.Alpha.AlphaPlane, 0, 0), 77u);
}

}  // namespace
}  // namespace pagewell::test
