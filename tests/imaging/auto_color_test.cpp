// Automatic colour converts a page in place: gray when colour does not
// matter, black and white with a threshold between paper and ink that keeps
// faint strokes whole and drops show-through, and nothing at all where
// colour or tones matter.
#include <gtest/gtest.h>

#include "imaging/auto_color.h"

namespace pagewell {
namespace {

constexpr int kDpi = 100;

// A 3 × 3 inch 24-bit page of cream paper holding three strokes: a faint
// gray one (light ballpoint), a dark one, and a show-through smudge.
TluBitmap CreamPage(TColor mark = RGBColor(150, 150, 150)) {
  TluBitmap page(300, 300, TPixelFormat::pf24bit);
  page.FillRect(0, 0, 300, 300, RGBColor(250, 238, 200));
  page.FillRect(60, 80, 240, 83, mark);                         // faint stroke, 3 pixels
  page.FillRect(60, 120, 240, 124, RGBColor(20, 20, 20));       // dark stroke
  page.FillRect(60, 200, 240, 212, RGBColor(215, 205, 172));    // show-through
  page.SetXDpi(kDpi), page.SetYDpi(kDpi);
  page.DetectColorMode();
  return page;
}

TEST(AutoColor, LevelTwoMakesTextBlackAndWhiteKeepingFaintStrokesWhole) {
  TluBitmap page = CreamPage();
  const TContentAnalysis content = AnalysePageContent(page);
  ASSERT_FALSE(content.Blank);
  ASSERT_FALSE(content.HasColour);
  ASSERT_TRUE(ApplyAutoColor(page, content, acBlackWhiteWhenTextOnly));
  ASSERT_EQ(page.PixelFormat(), TPixelFormat::pf1bit);
  for (int x = 60; x < 240; x += 20) {
    for (int y : {80, 82, 120, 123}) EXPECT_EQ(page.PixelColor(x, y), clBlack) << x << "," << y;
    for (int y : {79, 84, 205, 150}) EXPECT_EQ(page.PixelColor(x, y), clWhite) << x << "," << y;
  }
}

TEST(AutoColor, LevelOneMakesAColourlessPageGray) {
  TluBitmap page = CreamPage();
  EXPECT_TRUE(ApplyAutoColor(page, AnalysePageContent(page), acGrayWhenColourless));
  EXPECT_EQ(page.PixelFormat(), TPixelFormat::pf8bit);
  EXPECT_EQ(page.ColorMode, cmGray256);
}

TEST(AutoColor, ColourThatMattersAndOtherLevelsLeaveThePageAlone) {
  struct TCase {
    const char* name;
    TluBitmap page;
    int level;
  } cases[] = {
      {"a blue stroke", CreamPage(RGBColor(24, 48, 168)), acBlackWhiteWhenTextOnly},
      {"a red stroke", CreamPage(RGBColor(200, 32, 40)), acGrayWhenColourless},
      {"level 0", CreamPage(), acOff},
      {"level 3", CreamPage(), 3},
      {"level -1", CreamPage(), -1},
  };
  for (TCase& c : cases) {
    const TluBitmap before = c.page;
    EXPECT_FALSE(ApplyAutoColor(c.page, AnalysePageContent(c.page), c.level)) << c.name;
    EXPECT_EQ(c.page.PixelFormat(), TPixelFormat::pf24bit) << c.name;
    EXPECT_EQ(c.page.PixelColor(100, 81), before.PixelColor(100, 81)) << c.name;
  }
}

TEST(AutoColor, AGrayPhotographStaysGrayAndBlackAndWhiteStaysAsItIs) {
  TluBitmap photo(300, 300, TPixelFormat::pf8bit);
  photo.SetPaletteKeepingIndices([] {
    std::vector<TColor> ramp;
    for (unsigned i = 0; i < 256; ++i) ramp.push_back(RGBColor(i, i, i));
    return ramp;
  }());
  photo.FillRect(0, 0, 300, 300, clWhite);
  for (int y = 50; y < 250; ++y)
    for (int x = 50; x < 250; ++x) photo.SetPixelIndex(x, y, 60 + (x + y) % 100);
  photo.SetXDpi(kDpi), photo.SetYDpi(kDpi);
  photo.DetectColorMode();
  const TContentAnalysis content = AnalysePageContent(photo);
  EXPECT_TRUE(content.HasPhotograph);
  EXPECT_FALSE(ApplyAutoColor(photo, content, acBlackWhiteWhenTextOnly));
  EXPECT_EQ(photo.PixelFormat(), TPixelFormat::pf8bit);

  TluBitmap blackWhite = CreamPage();
  blackWhite.SetColorMode(cmBlackWhite);
  EXPECT_FALSE(ApplyAutoColor(blackWhite, AnalysePageContent(blackWhite), acBlackWhiteWhenTextOnly));
}

TEST(AutoColor, EmptyAndOddPagesAreAnswered) {
  TluBitmap empty;
  EXPECT_TRUE(AnalysePageContent(empty).Blank);
  EXPECT_FALSE(ApplyAutoColor(empty, AnalysePageContent(empty), acBlackWhiteWhenTextOnly));
  TluBitmap tiny(1, 1, TPixelFormat::pf24bit);  // no resolution, one pixel
  EXPECT_TRUE(AnalysePageContent(tiny).Blank);
  TluBitmap sixteen(40, 30, TPixelFormat::pf16bit);  // a device bitmap's format
  sixteen.FillRect(0, 0, 40, 30, clWhite);
  sixteen.FillRect(5, 10, 35, 14, clBlack);
  EXPECT_FALSE(AnalysePageContent(sixteen).Blank);
}

}  // namespace
}  // namespace pagewell
