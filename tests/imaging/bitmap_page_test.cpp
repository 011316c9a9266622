// Resolution, palette operations, assignment and transparency of a page.
#include <gtest/gtest.h>

#include "bitmap_fixtures.h"
#include "imaging/lu_bitmap.h"

namespace pagewell {
namespace {

using testing::Colours;
using testing::Gray;
using testing::PalettePage;
using testing::TrueColorPage;

TEST(Resolution, DotsPerInchRoundTripThroughPixelsPerMetre) {
  struct Case {
    int dpi;
    std::int32_t ppm;
  } cases[] = {{300, 11811}, {200, 7874}, {72, 2835}, {96, 3780}, {600, 23622}, {0, 0}, {1, 39}};
  for (const Case& c : cases) {
    TluBitmap page;
    page.SetXDpi(c.dpi);
    page.SetYDpi(c.dpi);
    EXPECT_EQ(page.XPelsPerMeter, c.ppm) << c.dpi;
    EXPECT_EQ(page.YPelsPerMeter, c.ppm) << c.dpi;
    EXPECT_EQ(page.XDpi(), c.dpi);
    EXPECT_EQ(page.YDpi(), c.dpi);
  }
  TluBitmap huge;
  huge.SetXDpi(2147483647);  // no overflow into a negative resolution
  EXPECT_GT(huge.XPelsPerMeter, 0);
}

TEST(Resolution, SettersUpdateOnlyTheExifTagsThePageCarries) {
  TluBitmap bare;
  bare.SetXDpi(300);
  EXPECT_TRUE(bare.Exif.Empty());  // no Exif data is invented

  TluBitmap page;
  page.Exif.SetValue("Make", "Scanner");
  page.Exif.SetValue("YResolution", "72/1");
  page.SetYDpi(100);
  page.SetXDpi(200);
  EXPECT_EQ(page.Exif.Value("YResolution"), "100/1");
  EXPECT_EQ(page.Exif.Value("XResolution"), "");
  EXPECT_EQ(page.Exif.Value("ResolutionUnit"), "");

  page.Exif.SetValue("XResolution", "1/1");
  page.Exif.SetValue("ResolutionUnit", "3");
  page.SetYDpi(150);  // both axes follow, and the unit becomes inches
  EXPECT_EQ(page.Exif.Value("XResolution"), "200/1");
  EXPECT_EQ(page.Exif.Value("YResolution"), "150/1");
  EXPECT_EQ(page.Exif.Value("ResolutionUnit"), "2");
  EXPECT_EQ(page.Exif.Value("Make"), "Scanner");
}

TEST(PaletteOperations, SizesAndGrayTest) {
  EXPECT_EQ(TluBitmap(1, 1, TPixelFormat::pf1bit).PaletteSize(), 2);
  EXPECT_EQ(TluBitmap(1, 1, TPixelFormat::pf4bit).PaletteSize(), 16);
  EXPECT_EQ(TluBitmap(1, 1, TPixelFormat::pf8bit).PaletteSize(), 256);
  EXPECT_EQ(TluBitmap(1, 1, TPixelFormat::pf24bit).PaletteSize(), 0);
  EXPECT_TRUE(PalettePage(TPixelFormat::pf1bit, 1, 1, {clBlack, clWhite}, {0}).IsGrayPalette());
  EXPECT_FALSE(PalettePage(TPixelFormat::pf1bit, 1, 1, {clBlack, RGBColor(1, 1, 2)}, {0}).IsGrayPalette());
  EXPECT_FALSE(TrueColorPage(1, 1, {clWhite}).IsGrayPalette());  // gray pixels, but true colour
}

TEST(PaletteOperations, FindIndices) {
  TluBitmap page = PalettePage(TPixelFormat::pf4bit, 5, 1, Gray({10, 20, 10, 30}), {0, 3, 3, 5, 0});
  EXPECT_EQ(page.FindPaletteIndex(RGBColor(10, 10, 10)), 0);  // the first of two equal entries
  EXPECT_EQ(page.FindPaletteIndex(RGBColor(30, 30, 30)), 3);
  EXPECT_EQ(page.FindPaletteIndex(RGBColor(30, 30, 31)), -1);
  EXPECT_EQ(page.FindUnusedPaletteIndex(0), 1);
  EXPECT_EQ(page.FindUnusedPaletteIndex(3), 4);
  EXPECT_EQ(page.FindUnusedPaletteIndex(16), -1);
  EXPECT_EQ(TrueColorPage(2, 2, {clWhite}).FindUnusedPaletteIndex(0), -1);
  EXPECT_EQ(TrueColorPage(2, 2, {clWhite}).FindPaletteIndex(clWhite), -1);
  TluBitmap full = PalettePage(TPixelFormat::pf1bit, 9, 1, {clBlack, clWhite}, {0, 1});
  EXPECT_EQ(full.FindUnusedPaletteIndex(0), -1);
}

TEST(PaletteOperations, SetPaletteEntryKeepsIndicesAndReclassifies) {
  TluBitmap page = PalettePage(TPixelFormat::pf8bit, 3, 1, Gray({0, 128, 255}), {0, 1, 2});
  ASSERT_EQ(page.ColorMode, cmGray256);
  page.SetPaletteEntry(1, RGBColor(200, 0, 0));
  EXPECT_EQ(page.PixelIndex(1, 0), 1);
  EXPECT_EQ(page.PixelColor(1, 0), RGBColor(200, 0, 0));
  EXPECT_EQ(page.ColorMode, cmPalette256);
  page.SetPaletteEntry(256, clWhite);  // outside the palette: ignored
  page.SetPaletteEntry(-1, clWhite);
  EXPECT_EQ(page.PixelColor(1, 0), RGBColor(200, 0, 0));
}

TEST(PaletteOperations, CopyPaletteFromNeedsAClassifiedPaletteImageOfTheSameFormat) {
  TluBitmap source = PalettePage(TPixelFormat::pf4bit, 2, 1, Gray({0, 255}), {0, 1});
  TluBitmap target = PalettePage(TPixelFormat::pf4bit, 2, 1, {RGBColor(255, 0, 0), RGBColor(0, 0, 250)}, {1, 0});
  EXPECT_TRUE(target.CopyPaletteFrom(source));
  EXPECT_EQ(target.Palette(), source.Palette());
  EXPECT_EQ(Colours(target), (std::vector<TColor>{clBlack, clBlack}));  // re-mapped to the nearest

  TluBitmap eightBit = PalettePage(TPixelFormat::pf8bit, 2, 1, Gray({0, 255}), {0, 1});
  EXPECT_FALSE(eightBit.CopyPaletteFrom(source));
  TluBitmap trueColor = TrueColorPage(2, 1, {clWhite});
  EXPECT_FALSE(trueColor.CopyPaletteFrom(source));
}

TEST(PaletteOperations, SetBackgroundColor) {
  TluBitmap page = PalettePage(TPixelFormat::pf4bit, 3, 1, Gray({0, 50, 100}), {0, 2, 0});
  page.SetBackgroundColor(RGBColor(100, 100, 100));
  EXPECT_EQ(page.BackgroundIndex, 2);  // found in the palette
  page.SetBackgroundColor(RGBColor(1, 200, 3));
  EXPECT_EQ(page.BackgroundIndex, 1);  // the first unused index takes the colour
  EXPECT_EQ(page.Palette()[1], RGBColor(1, 200, 3));
  EXPECT_EQ(page.BackgroundColor, RGBColor(1, 200, 3));
  EXPECT_EQ(page.ColorMode, cmPalette16);

  TluBitmap full = PalettePage(TPixelFormat::pf1bit, 2, 1, {clBlack, clWhite}, {0, 1});
  full.BackgroundIndex = 1;
  full.SetBackgroundColor(RGBColor(255, 0, 0));
  EXPECT_EQ(full.BackgroundIndex, 1);  // every index in use: unchanged
  EXPECT_EQ(full.Palette(), (std::vector<TColor>{clBlack, clWhite}));
  EXPECT_EQ(full.BackgroundColor, RGBColor(255, 0, 0));
}

TEST(PaletteOperations, RemapToPaletteWritesExactColoursOnlyForHandledPairs) {
  const std::vector<TColor> table = {RGBColor(9, 9, 9), RGBColor(200, 1, 2)};
  const TluBitmap source = TrueColorPage(3, 1, {RGBColor(200, 1, 2), RGBColor(9, 9, 9), RGBColor(7, 7, 7)});
  TluBitmap eightBit(3, 1, TPixelFormat::pf8bit);
  for (int x = 0; x < 3; ++x) eightBit.SetPixelIndex(x, 0, 77);
  eightBit.RemapToPalette(source, table, 8, 2);
  EXPECT_EQ(eightBit.PixelIndex(0, 0), 1);
  EXPECT_EQ(eightBit.PixelIndex(1, 0), 0);
  EXPECT_EQ(eightBit.PixelIndex(2, 0), 77);  // no exact colour: left as drawn

  TluBitmap fourBit(3, 1, TPixelFormat::pf4bit);
  fourBit.RemapToPalette(source, table, 4, 1);  // only the first entry counts
  EXPECT_EQ(fourBit.PixelIndex(0, 0), 0);
  EXPECT_EQ(fourBit.PixelIndex(1, 0), 0);

  TluBitmap wrongSize(2, 1, TPixelFormat::pf8bit);
  wrongSize.RemapToPalette(source, table, 8, 2);  // not the source's size: unchanged
  EXPECT_EQ(wrongSize.PixelIndex(0, 0), 0);
}

TEST(Assign, WhiteFirstOneBitImageBecomesBlackWhiteWithThePictureKept) {
  TBMPImage scan(10, 2, TPixelFormat::pf1bit);
  scan.SetPaletteKeepingIndices({clWhite, clBlack});
  scan.SetPixelIndex(3, 1, 1);
  scan.XPelsPerMeter = 11811;
  scan.YPelsPerMeter = 7874;
  TluBitmap page;
  page.Assign(scan);
  EXPECT_EQ(page.ColorMode, cmBlackWhite);
  EXPECT_EQ(page.Palette(), (std::vector<TColor>{clBlack, clWhite}));
  EXPECT_EQ(Colours(page), Colours(scan));
  EXPECT_EQ(page.PixelIndex(3, 1), 0);
  EXPECT_EQ(page.XDpi(), 300);
  EXPECT_EQ(page.YDpi(), 200);
}

TEST(Assign, CopiesThePageSettingsAndRecordsButNotTheGifFlag) {
  TluBitmap source = PalettePage(TPixelFormat::pf4bit, 7, 3, {RGBColor(255, 0, 0), RGBColor(0, 0, 255)}, {0, 1, 1});
  source.SetBackgroundColor(RGBColor(0, 255, 0));
  source.Transparent = true;
  source.TiffCompression = 1;
  source.GifLzw = true;
  source.Progressive = true;
  source.EmbedIcc = true;
  source.IccProfile.Data = {1, 2, 3};
  source.Exif.SetValue("Model", "X");
  source.FileInfo.Fields.push_back({"Caption", "hello"});
  source.Alpha.Mode = TAlphaMode::amKeyIndex;
  source.AlphaBackground = RGBColor(1, 2, 3);
  TluBitmap copy;
  copy.Assign(source);
  EXPECT_EQ(Colours(copy), Colours(source));
  EXPECT_EQ(copy.ColorMode, cmPalette16);
  EXPECT_TRUE(copy.Transparent);
  EXPECT_EQ(copy.BackgroundColor, RGBColor(0, 255, 0));
  EXPECT_EQ(copy.BackgroundIndex, source.BackgroundIndex);
  EXPECT_EQ(copy.TiffCompression, 1);
  EXPECT_FALSE(copy.GifLzw);
  EXPECT_TRUE(copy.Progressive);
  EXPECT_TRUE(copy.EmbedIcc);
  EXPECT_EQ(copy.IccProfile, source.IccProfile);
  EXPECT_EQ(copy.Exif, source.Exif);
  EXPECT_EQ(copy.FileInfo, source.FileInfo);
  EXPECT_EQ(copy.Alpha.Mode, TAlphaMode::amKeyIndex);
  EXPECT_EQ(copy.AlphaBackground, RGBColor(1, 2, 3));
  // The records are the copy's own.
  copy.IccProfile.Data.push_back(4);
  EXPECT_EQ(source.IccProfile.Data.size(), 3u);
}

TEST(Assign, KeepsTheSourceColourMode) {
  TluBitmap gray = PalettePage(TPixelFormat::pf8bit, 2, 1, Gray({0, 9}), {0, 1});
  gray.SetColorMode(cmPalette256);  // mode-only change
  TluBitmap copy;
  copy.Assign(gray);
  EXPECT_EQ(copy.ColorMode, cmPalette256);
}

TEST(FlattenAlpha, BlendsTheAlphaPlaneOntoTheBackground) {
  TluBitmap page = TrueColorPage(3, 1, {RGBColor(200, 100, 0)});
  page.Alpha.Mode = TAlphaMode::amAlphaPlane;
  page.Alpha.AlphaPlane = TRaster(3, 1, TPixelFormat::pf8bit);
  const std::uint8_t alpha[3] = {255, 0, 128};
  for (int x = 0; x < 3; ++x) page.Alpha.AlphaPlane.SetPixelIndex(x, 0, alpha[x]);
  page.AlphaBackground = RGBColor(0, 0, 255);
  ASSERT_TRUE(page.HasAlpha());
  page.FlattenAlpha();
  EXPECT_FALSE(page.HasAlpha());
  EXPECT_EQ(page.Alpha.Mode, TAlphaMode::amNone);
  EXPECT_EQ(page.PixelColor(0, 0), RGBColor(200, 100, 0));
  EXPECT_EQ(page.PixelColor(1, 0), RGBColor(0, 0, 255));
  // round(200 × 128/255) = 100, round(100 × 128/255) = 50, round(255 × 127/255) = 127
  EXPECT_EQ(page.PixelColor(2, 0), RGBColor(100, 50, 127));
}

TEST(FlattenAlpha, GrayPagesBlendOnlyOntoAGrayBackground) {
  for (TColor background : {RGBColor(100, 100, 100), RGBColor(100, 0, 0)}) {
    TluBitmap page = TrueColorPage(1, 1, {RGBColor(200, 200, 200)});
    page.SetColorMode(cmGray256);
    page.Alpha.Mode = TAlphaMode::amAlphaPlane;
    page.Alpha.AlphaPlane = TRaster(1, 1, TPixelFormat::pf8bit);  // alpha 0
    page.AlphaBackground = background;
    page.FlattenAlpha();
    EXPECT_EQ(page.PixelIndex(0, 0), IsGrayColor(background) ? 100 : 200);
    EXPECT_EQ(page.Alpha.Mode, TAlphaMode::amNone);
  }
}

TEST(FlattenAlpha, OtherModes) {
  TluBitmap page = TrueColorPage(2, 2, {clWhite});
  page.Alpha.Mode = TAlphaMode::amAlphaPlane;  // plane of the wrong size: reset without blending
  page.Alpha.AlphaPlane = TRaster(1, 1, TPixelFormat::pf8bit);
  page.FlattenAlpha();
  EXPECT_EQ(page.Alpha.Mode, TAlphaMode::amNone);
  EXPECT_EQ(page.PixelColor(1, 1), clWhite);
  page.Alpha.Mode = TAlphaMode::amKeyColor;  // a key colour is not an alpha channel
  EXPECT_FALSE(page.HasAlpha());
  page.FlattenAlpha();
  EXPECT_EQ(page.Alpha.Mode, TAlphaMode::amKeyColor);
}

}  // namespace
}  // namespace pagewell
