// Colour classification and conversion between colour modes.
#include <gtest/gtest.h>

#include <set>

#include "bitmap_fixtures.h"
#include "imaging/lu_bitmap.h"

namespace pagewell {
namespace {

using testing::Colours;
using testing::Gray;
using testing::PalettePage;
using testing::TrueColorPage;

struct Detection {
  const char* name;
  TPixelFormat format;
  std::vector<TColor> palette;
  TColorMode expected;
};

TEST(DetectColorMode, ClassifiesByFormatAndPalette) {
  std::vector<TColor> gray16 = Gray({0, 17, 34, 51, 68, 85, 102, 119, 136, 153, 170, 187, 204, 221, 238, 255});
  std::vector<TColor> colour16 = gray16;
  colour16[7] = RGBColor(1, 2, 3);
  std::vector<TColor> gray256;
  for (unsigned i = 0; i < 256; ++i) gray256.push_back(RGBColor(255 - i, 255 - i, 255 - i));
  std::vector<TColor> colour256 = gray256;
  colour256[255] = RGBColor(0, 0, 1);
  const Detection cases[] = {
      {"black, white", TPixelFormat::pf1bit, {clBlack, clWhite}, cmBlackWhite},
      {"white, black", TPixelFormat::pf1bit, {clWhite, clBlack}, cmBlackWhite},
      {"two grays", TPixelFormat::pf1bit, {clBlack, RGBColor(254, 255, 255)}, cmTwoColor},
      {"gray 16", TPixelFormat::pf4bit, gray16, cmGray16},
      {"colour 16", TPixelFormat::pf4bit, colour16, cmPalette16},
      {"gray 256 in any order", TPixelFormat::pf8bit, gray256, cmGray256},
      {"colour 256", TPixelFormat::pf8bit, colour256, cmPalette256},
      {"24 bits", TPixelFormat::pf24bit, {}, cmTrueColor},
      {"16 bits", TPixelFormat::pf16bit, {}, cmUnknown},
      {"15 bits", TPixelFormat::pf15bit, {}, cmUnknown},
  };
  for (const Detection& c : cases) {
    TluBitmap page(3, 2, c.format);
    page.SetPaletteKeepingIndices(c.palette);
    page.DetectColorMode();
    EXPECT_EQ(page.ColorMode, c.expected) << c.name;
  }
}

TEST(DetectColorMode, ThirtyTwoBitsBecomeTrueColour) {
  TluBitmap page(2, 1, TPixelFormat::pf32bit);
  page.SetPixelColor(1, 0, RGBColor(10, 20, 30));
  page.DetectColorMode();
  EXPECT_EQ(page.PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(page.ColorMode, cmTrueColor);
  EXPECT_EQ(page.PixelColor(1, 0), RGBColor(10, 20, 30));
  EXPECT_TRUE(page.Palette().empty());
}

TEST(DetectColorMode, WhiteFirstBlackAndWhiteIsInvertedKeepingThePicture) {
  TluBitmap page = PalettePage(TPixelFormat::pf1bit, 11, 2, {clWhite, clBlack}, {0, 1, 1, 0, 0, 0, 1});
  EXPECT_EQ(page.ColorMode, cmBlackWhite);
  EXPECT_EQ(page.Palette(), (std::vector<TColor>{clBlack, clWhite}));
  // Pixel 0 was index 0 = white; it is now index 1 = white.
  EXPECT_EQ(page.PixelIndex(0, 0), 1);
  EXPECT_EQ(page.PixelColor(1, 0), clBlack);
  EXPECT_EQ(page.PixelIndex(1, 0), 0);
}

TEST(ConvertColorMode, BlackWhiteThresholdIsEffectively127) {
  // R + G + B = 381 is at the threshold 3 × 127 and turns black; 382 white.
  TluBitmap page = TrueColorPage(3, 1, {RGBColor(127, 127, 127), RGBColor(128, 127, 127), RGBColor(0, 0, 255)});
  page.SetColorMode(cmBlackWhite);
  EXPECT_EQ(page.ColorMode, cmBlackWhite);
  EXPECT_EQ(page.PixelFormat(), TPixelFormat::pf1bit);
  EXPECT_EQ(Colours(page), (std::vector<TColor>{clBlack, clWhite, clBlack}));
}

TEST(ConvertColorMode, ThresholdMethods) {
  const std::vector<TColor> grays = Gray({10, 60, 100, 200});
  struct Case {
    int method, threshold;
    std::vector<TColor> expected;
  } cases[] = {
      {0, 60, {clBlack, clBlack, clWhite, clWhite}},   // given threshold
      {0, 9, {clWhite, clWhite, clWhite, clWhite}},
      {1, 0, {clBlack, clBlack, clWhite, clWhite}},    // mean brightness: (370 + 2) div 4 = 93
      {7, 200, {clBlack, clBlack, clBlack, clWhite}},  // any other method: 127
  };
  for (const Case& c : cases) {
    TluBitmap page = TrueColorPage(4, 1, grays);
    page.ConvertColorMode(cmBlackWhite, c.method, c.threshold);
    EXPECT_EQ(Colours(page), c.expected) << "method " << c.method;
  }
  // The mean is rounded: (202 + 1) div 2 = 101, so 100 is dark and 102 light.
  TluBitmap page = TrueColorPage(2, 1, Gray({100, 102}));
  page.ConvertColorMode(cmBlackWhite, 1, 0);
  EXPECT_EQ(Colours(page), (std::vector<TColor>{clBlack, clWhite}));  // T = 101
}

TEST(ConvertColorMode, TwoColorPaletteHoldsTheMeanColourOfEachSide) {
  TluBitmap page = TrueColorPage(4, 1, {RGBColor(10, 0, 0), RGBColor(20, 0, 1), RGBColor(200, 200, 200),
                                        RGBColor(255, 250, 240)});
  page.SetColorMode(cmTwoColor);
  EXPECT_EQ(page.ColorMode, cmTwoColor);
  EXPECT_EQ(page.Palette()[0], RGBColor(15, 0, 1));     // (10 + 20 + 1) div 2, ... rounded half up
  EXPECT_EQ(page.Palette()[1], RGBColor(228, 225, 220));  // (455 + 1) div 2 = 228, 225, 220
  // A side no pixel falls on keeps black for index 0 and white for index 1.
  TluBitmap light = TrueColorPage(3, 1, {RGBColor(250, 240, 230)});
  light.SetColorMode(cmTwoColor);
  EXPECT_EQ(light.Palette(), (std::vector<TColor>{clBlack, RGBColor(250, 240, 230)}));
}

TEST(ConvertColorMode, ChangesBetweenRelatedModesKeepThePixels) {
  TluBitmap gray = PalettePage(TPixelFormat::pf8bit, 3, 1, Gray({0, 50, 100}), {0, 1, 2});
  const auto pixels = Colours(gray);
  gray.SetColorMode(cmPalette256);
  EXPECT_EQ(gray.ColorMode, cmPalette256);
  EXPECT_EQ(Colours(gray), pixels);
  EXPECT_EQ(gray.PixelIndex(2, 0), 2);

  TluBitmap bw = PalettePage(TPixelFormat::pf1bit, 9, 1, {clBlack, clWhite}, {0, 1, 1});
  bw.SetColorMode(cmTwoColor);
  EXPECT_EQ(bw.ColorMode, cmTwoColor);
  EXPECT_EQ(bw.Palette(), (std::vector<TColor>{clBlack, clWhite}));

  TluBitmap two = PalettePage(TPixelFormat::pf1bit, 3, 1, {RGBColor(200, 0, 0), RGBColor(30, 30, 30)}, {0, 1, 1});
  two.SetColorMode(cmBlackWhite);  // each pixel to the nearer of black and white
  EXPECT_EQ(Colours(two), (std::vector<TColor>{clBlack, clBlack, clBlack}));
  EXPECT_EQ(two.ColorMode, cmBlackWhite);

  TluBitmap unchanged = TrueColorPage(2, 1, {RGBColor(1, 2, 3)});
  unchanged.TiffCompression = 2;
  unchanged.SetColorMode(cmUnknown);
  unchanged.SetColorMode(cmTrueColor);  // already true colour: nothing happens at all
  EXPECT_EQ(unchanged.TiffCompression, 2);
}

TEST(ConvertColorMode, Gray256AveragesTheChannels) {
  TluBitmap page = TrueColorPage(3, 1, {RGBColor(255, 0, 0), RGBColor(1, 1, 0), RGBColor(255, 255, 254)});
  page.SetColorMode(cmGray256);
  EXPECT_EQ(page.PixelFormat(), TPixelFormat::pf8bit);
  EXPECT_TRUE(page.IsGrayPalette());
  // (R + G + B + 1) div 3: 256/3 = 85, 3/3 = 1, 765/3 = 255
  EXPECT_EQ(page.PixelIndex(0, 0), 85);
  EXPECT_EQ(page.PixelIndex(1, 0), 1);
  EXPECT_EQ(page.PixelIndex(2, 0), 255);
  EXPECT_EQ(page.Palette()[85], RGBColor(85, 85, 85));
}

TEST(ConvertColorMode, Gray16NeverProduces240AndKeepsWhite) {
  TluBitmap page = TrueColorPage(5, 1, Gray({240, 248, 255, 17, 231}));
  page.SetColorMode(cmGray16);
  EXPECT_EQ(page.ColorMode, cmGray16);
  EXPECT_EQ(page.PixelFormat(), TPixelFormat::pf4bit);
  for (TColor c : page.Palette()) EXPECT_NE(c, RGBColor(240, 240, 240));
  EXPECT_EQ(Colours(page), Gray({255, 255, 255, 16, 224}));  // 240 lies nearer to 255 than to 224
}

TEST(ConvertColorMode, Palette256IsLosslessForAtMost256Colours) {
  std::vector<TColor> colours;
  for (unsigned i = 0; i < 256; ++i) colours.push_back(RGBColor(i, (i * 7) & 255, (i * 13 + 5) & 255));
  TluBitmap page = TrueColorPage(37, 11, colours);  // 407 pixels, every colour at least once
  const auto before = Colours(page);
  page.SetColorMode(cmPalette256);
  EXPECT_EQ(page.ColorMode, cmPalette256);
  EXPECT_EQ(page.PixelFormat(), TPixelFormat::pf8bit);
  EXPECT_EQ(Colours(page), before);
  EXPECT_EQ(std::set<TColor>(page.Palette().begin(), page.Palette().end()).size(), 256u);
}

TEST(ConvertColorMode, Palette256ReducesManyColoursToNearbyOnes) {
  std::vector<TColor> colours;
  for (unsigned i = 0; i < 4096; ++i) colours.push_back(RGBColor((i & 15) * 17, ((i >> 4) & 15) * 17, (i >> 8) * 17));
  TluBitmap page = TrueColorPage(64, 64, colours);
  const auto before = Colours(page);
  page.SetColorMode(cmPalette256);
  const auto after = Colours(page);
  for (std::size_t i = 0; i < before.size(); ++i) {
    const int dr = RedOf(before[i]) - RedOf(after[i]), dg = GreenOf(before[i]) - GreenOf(after[i]),
              db = BlueOf(before[i]) - BlueOf(after[i]);
    ASSERT_LE(dr * dr + dg * dg + db * db, 3 * 40 * 40) << i;
  }
}

TEST(ConvertColorMode, Palette16FromTwoColoursKeepsBothExactColours) {
  struct Case {
    const char* name;
    TColor first, second;
  } cases[] = {
      {"distinct default entries", RGBColor(250, 10, 10), RGBColor(10, 10, 120)},
      // Both lie nearest to default black: each still gets an entry of its own.
      {"same default entry", RGBColor(5, 0, 0), RGBColor(0, 6, 0)},
  };
  for (const Case& c : cases) {
    TluBitmap page = PalettePage(TPixelFormat::pf1bit, 10, 2, {c.first, c.second}, {1, 1, 0, 1});
    ASSERT_EQ(page.ColorMode, cmTwoColor);
    const auto before = Colours(page);
    page.SetColorMode(cmPalette16);
    EXPECT_EQ(page.ColorMode, cmPalette16) << c.name;
    EXPECT_EQ(page.PixelFormat(), TPixelFormat::pf4bit);
    EXPECT_EQ(Colours(page), before) << c.name;
  }
}

TEST(ConvertColorMode, Palette16FromTrueColourUsesAtMost16ExactColours) {
  const std::vector<TColor> colours = {RGBColor(255, 0, 0), RGBColor(0, 200, 0), RGBColor(3, 4, 5),
                                       RGBColor(90, 90, 250), RGBColor(200, 200, 201)};
  TluBitmap page = TrueColorPage(7, 3, colours);
  const auto before = Colours(page);
  page.SetColorMode(cmPalette16);
  EXPECT_EQ(page.PixelFormat(), TPixelFormat::pf4bit);
  EXPECT_EQ(Colours(page), before);
}

TEST(ConvertColorMode, EveryConversionResetsTiffCompressionAndDropsTransparency) {
  for (TColorMode mode : {cmTrueColor, cmPalette256, cmGray256, cmPalette16, cmGray16, cmTwoColor, cmBlackWhite}) {
    TluBitmap page = PalettePage(TPixelFormat::pf8bit, 5, 3, {RGBColor(9, 8, 7), RGBColor(100, 0, 0)}, {0, 1});
    if (page.ColorMode == mode) page.SetColorMode(cmTrueColor);
    page.TiffCompression = 2;
    page.Alpha.Mode = TAlphaMode::amPaletteAlpha;
    page.SetColorMode(mode);
    EXPECT_EQ(page.ColorMode, mode);
    EXPECT_EQ(page.TiffCompression, 0) << int(mode);
    EXPECT_EQ(page.Alpha.Mode, TAlphaMode::amNone) << int(mode);
  }
}

TEST(ConvertColorMode, WorksOnOnePixel) {
  for (TColorMode mode : {cmPalette256, cmGray256, cmPalette16, cmGray16, cmTwoColor, cmBlackWhite, cmTrueColor}) {
    TluBitmap page = TrueColorPage(1, 1, {RGBColor(40, 80, 120)});
    page.SetColorMode(mode);
    EXPECT_EQ(page.ColorMode, mode);
    EXPECT_EQ(page.Width(), 1);
    EXPECT_EQ(page.Height(), 1);
  }
}

}  // namespace
}  // namespace pagewell
