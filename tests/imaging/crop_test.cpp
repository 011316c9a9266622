#include <gtest/gtest.h>

#include "imaging/errors.h"
#include "imaging/lu_bitmap.h"
#include "page_fixtures.h"

namespace pagewell::test {
namespace {

struct TCropCase {
  const char* name;
  int left, top, right, bottom;
};

TEST(Crop, TakesSourcePixelsExactlyAndFillsTheRestWithTheBackground) {
  const TCropCase cases[] = {
      {"inside", 3, 2, 11, 6},
      {"whole page", 0, 0, 16, 8},
      {"10-pixel border all round", -10, -10, 16 + 10, 8 + 10},
      {"beyond the right and bottom", 9, 5, 30, 20},
      {"starting left of and above", -3, -4, 2, 1},
  };
  for (TPixelFormat format : EditableFormats()) {
    const TluBitmap original = RandomPage(format, 17, 9, 11);
    for (const auto& c : cases) {
      SCOPED_TRACE(FormatName(format) + ", " + c.name);
      TluBitmap page = original;
      page.BackgroundColor = clWhite;
      page.Crop(c.left, c.top, c.right, c.bottom);
      ASSERT_EQ(page.Width(), c.right - c.left + 1);
      ASSERT_EQ(page.Height(), c.bottom - c.top + 1);
      EXPECT_EQ(page.Palette(), original.Palette());
      EXPECT_TRUE(TrailingBitsClear(page));
      for (int y = 0; y < page.Height(); ++y) {
        for (int x = 0; x < page.Width(); ++x) {
          const int sx = c.left + x, sy = c.top + y;
          const bool inside = sx >= 0 && sx < 17 && sy >= 0 && sy < 9;
          ASSERT_EQ(Value(page, x, y), inside ? Value(original, sx, sy) : WhiteValue(original)) << x << "," << y;
        }
      }
    }
  }
}

TEST(Crop, RefusesThinInvertedAndFarAwayRectanglesButClearsTheSelection) {
  const TCropCase refused[] = {
      {"one pixel wide", 4, 1, 4, 6},   {"one pixel high", 1, 3, 8, 3},     {"inverted", 8, 1, 2, 6},
      {"left past the page", 17, 0, 20, 5}, {"top past the page", 0, 9, 5, 12}, {"all zeros", 0, 0, 0, 0},
  };
  const TluBitmap original = RandomPage(TPixelFormat::pf8bit, 17, 9, 12);
  for (const auto& c : refused) {
    SCOPED_TRACE(c.name);
    TluBitmap page = original;
    page.SetSelection(1, 1, 5, 5);
    page.Crop(c.left, c.top, c.right, c.bottom);
    EXPECT_TRUE(SamePixels(page, original));
    EXPECT_EQ(page.SelectionKind, 0);
  }
}

TEST(Crop, BackgroundOfAPaletteWithoutTheColourIsTheNearestEntry) {
  TluBitmap page = UniformPage(TPixelFormat::pf4bit, 4, 4, 0);
  page.BackgroundColor = RGBColor(250, 0, 0);  // nearest in the 16-colour palette is pure red
  page.Crop(-1, 0, 3, 3);
  EXPECT_EQ(page.PixelColor(0, 0), RGBColor(255, 0, 0));
  EXPECT_EQ(page.PixelColor(1, 0), page.Palette()[0]);
}

TEST(Crop, CutsTheAlphaPlaneAndFillsItWithTheAlphaFillValue) {
  TluBitmap page = RandomPage(TPixelFormat::pf24bit, 8, 6, 13);
  page.Alpha.Mode = TAlphaMode::amAlphaPlane;
  page.Alpha.AlphaPlane = RandomPage(TPixelFormat::pf8bit, 8, 6, 14);
  const TRaster plane = page.Alpha.AlphaPlane;
  page.AlphaFillValue = 9;
  page.Crop(-2, 1, 4, 5);
  ASSERT_EQ(page.Alpha.AlphaPlane.Width(), 7);
  ASSERT_EQ(page.Alpha.AlphaPlane.Height(), 5);
  EXPECT_EQ(Value(page.Alpha.AlphaPlane, 0, 0), 9u);
  EXPECT_EQ(Value(page.Alpha.AlphaPlane, 2, 0), Value(plane, 0, 1));
}

TEST(Crop, RectanglesTooLargeToHoldFailWithARasterError) {
  TluBitmap page = RandomPage(TPixelFormat::pf24bit, 8, 6, 15);
  EXPECT_THROW(page.Crop(-2147483647, 0, 2147483647, 5), ERasterError);
  EXPECT_THROW(page.Crop(-1000000, -1000000, 1000000, 1000000), ERasterError);
  EXPECT_EQ(page.Width(), 8);
}

}  // namespace
}  // namespace pagewell::test
