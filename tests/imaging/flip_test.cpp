#include <gtest/gtest.h>

#include "imaging/lu_bitmap.h"
#include "page_fixtures.h"

namespace pagewell::test {
namespace {

// Widths around the byte boundaries of 1 and 4-bit rows, rows of one or
// more whole 64-pixel words with and without pixels after them, and 1-bit
// rows long enough for the 32-byte and 64-byte blocks (with 0 and with 1 to
// 7 unused bits in the last byte).
const int kWidths[] = {1, 7, 8, 9, 13, 16, 33, 64, 71, 128, 130, 203, 256, 263, 264, 300, 512, 517, 1032, 1100};

TEST(Flip, MirrorsEveryFormatAndWidthExactly) {
  ForEachLoopVersion([] {
    for (TPixelFormat format : EditableFormats()) {
      for (int width : kWidths) {
        SCOPED_TRACE(FormatName(format) + ", width " + std::to_string(width));
        const TluBitmap original = RandomPage(format, width, 5, static_cast<unsigned>(width));
        TluBitmap leftRight = original, upsideDown = original;
        leftRight.Flip(0);
        upsideDown.Flip(1);
        for (int y = 0; y < 5; ++y) {
          for (int x = 0; x < width; ++x) {
            ASSERT_EQ(Value(leftRight, x, y), Value(original, width - 1 - x, y)) << x << "," << y;
            ASSERT_EQ(Value(upsideDown, x, y), Value(original, x, 4 - y)) << x << "," << y;
          }
        }
        EXPECT_TRUE(TrailingBitsClear(leftRight));
        EXPECT_EQ(leftRight.Palette(), original.Palette());
      }
    }
  });
}

TEST(Flip, ClearsTheSelectionAndFlipsTheAlphaPlane) {
  TluBitmap page = RandomPage(TPixelFormat::pf24bit, 6, 4, 1);
  page.Alpha.Mode = TAlphaMode::amAlphaPlane;
  page.Alpha.AlphaPlane = RandomPage(TPixelFormat::pf8bit, 6, 4, 2);
  const TRaster plane = page.Alpha.AlphaPlane;
  page.SetSelection(1, 1, 3, 2);
  page.Flip(0);
  EXPECT_EQ(page.SelectionKind, 0);
  EXPECT_TRUE(page.SelectionMask.empty());
  for (int x = 0; x < 6; ++x) EXPECT_EQ(Value(page.Alpha.AlphaPlane, x, 2), Value(plane, 5 - x, 2));
}

TEST(Flip, OtherDirectionsChangeNothing) {
  const TluBitmap original = RandomPage(TPixelFormat::pf8bit, 5, 5, 3);
  TluBitmap page = original;
  page.SetSelection(0, 0, 2, 2);
  page.Flip(2);
  page.Flip(-1);
  EXPECT_TRUE(SamePixels(page, original));
  EXPECT_EQ(page.SelectionKind, 1);
}

}  // namespace
}  // namespace pagewell::test
