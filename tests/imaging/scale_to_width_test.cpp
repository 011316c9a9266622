// Pages reduced to a width for showing in a web page.
#include "imaging/scale_to_width.h"

#include <gtest/gtest.h>

namespace pagewell {
namespace {

TEST(ScaledToWidth, AveragesTheBoxUnderEachPixel) {
  // 4 x 2 black-and-white: columns 0 and 1 black above white, 2 and 3 white.
  TRaster page(4, 2, TPixelFormat::pf24bit);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) page.SetPixelColor(x, y, (x < 2 && y == 0) ? clBlack : clWhite);
  TluBitmap half = ScaledToWidth(page, 2);
  ASSERT_EQ(half.Width(), 2);
  ASSERT_EQ(half.Height(), 1);
  EXPECT_EQ(half.PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(half.PixelColor(0, 0), RGBColor(127, 127, 127));  // two black of four
  EXPECT_EQ(half.PixelColor(1, 0), clWhite);
}

TEST(ScaledToWidth, KeepsProportionsAndNeverEnlarges) {
  struct Case {
    int pageWidth, pageHeight, asked, width, height;
  };
  const Case cases[] = {
      {2550, 3300, 800, 800, 1035},  // Letter at 300 dpi
      {100, 1, 10, 10, 1},           // a sliver stays one row high
      {10, 20, 40, 10, 20},          // wider than the page: the page's own size
  };
  for (const Case& c : cases) {
    TRaster page(c.pageWidth, c.pageHeight, TPixelFormat::pf1bit);
    TluBitmap scaled = ScaledToWidth(page, c.asked);
    EXPECT_EQ(scaled.Width(), c.width);
    EXPECT_EQ(scaled.Height(), c.height);
  }
  EXPECT_TRUE(ScaledToWidth(TRaster(), 100).Empty());
  EXPECT_TRUE(ScaledToWidth(TRaster(5, 5, TPixelFormat::pf8bit), 0).Empty());
}

}  // namespace
}  // namespace pagewell
