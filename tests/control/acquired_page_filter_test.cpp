// The control's acquired-page filter: blank pages are dropped and counted
// only while asked for, automatic colour converts kept pages in place, and
// bad levels change nothing.
#include <gtest/gtest.h>

#include <stdexcept>

#include "acquired_page_filter.h"

namespace pagewell {
namespace {

// A 2 × 2 inch colour page at 100 dpi: paper alone, or with a stroke.
TluBitmap ScannedPage(bool stroke) {
  TluBitmap page(200, 200, TPixelFormat::pf24bit);
  page.FillRect(0, 0, 200, 200, RGBColor(246, 244, 240));
  if (stroke) page.FillRect(40, 100, 160, 103, RGBColor(30, 30, 30));
  page.SetXDpi(100), page.SetYDpi(100);
  page.DetectColorMode();
  return page;
}

TEST(AcquiredPageFilter, TheDefaultsKeepEveryPageAsScanned) {
  TAcquiredPageFilter filter;
  EXPECT_FALSE(filter.DiscardBlankPages());
  EXPECT_EQ(filter.AutoColor(), 0);
  TluBitmap blank = ScannedPage(false);
  EXPECT_EQ(filter.Decide(blank), TPageVerdict::Keep);
  EXPECT_EQ(blank.PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(filter.BlankPagesDiscarded(), 0);
}

TEST(AcquiredPageFilter, BlankPagesAreDroppedAndCountedUntilClear) {
  TAcquiredPageFilter filter;
  filter.SetDiscardBlankPages(true);
  for (bool stroke : {false, true, false}) {
    TluBitmap page = ScannedPage(stroke);
    EXPECT_EQ(filter.Decide(page), stroke ? TPageVerdict::Keep : TPageVerdict::Discard);
  }
  EXPECT_EQ(filter.BlankPagesDiscarded(), 2);
  filter.Clear();
  EXPECT_EQ(filter.BlankPagesDiscarded(), 0);
  EXPECT_TRUE(TAcquiredPageFilter::IsBlank(ScannedPage(false)));
  EXPECT_FALSE(TAcquiredPageFilter::IsBlank(ScannedPage(true)));
}

TEST(AcquiredPageFilter, AutoColorConvertsKeptPagesAndRefusesOtherLevels) {
  TAcquiredPageFilter filter;
  filter.SetAutoColor(2);
  TluBitmap page = ScannedPage(true);
  EXPECT_EQ(filter.Decide(page), TPageVerdict::Keep);
  EXPECT_EQ(page.PixelFormat(), TPixelFormat::pf1bit);
  filter.SetAutoColor(1);
  page = ScannedPage(true);
  filter.Decide(page);
  EXPECT_EQ(page.PixelFormat(), TPixelFormat::pf8bit);
  for (int wrong : {-1, 3, 100}) EXPECT_THROW(filter.SetAutoColor(wrong), std::invalid_argument) << wrong;
  EXPECT_EQ(filter.AutoColor(), 1);
}

}  // namespace
}  // namespace pagewell
