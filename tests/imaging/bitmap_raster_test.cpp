// The raster every page is built on: sizes, formats and palette changes
// that keep the picture, drawing with nearest colours.
#include <gtest/gtest.h>

#include <algorithm>

#include "imaging/default_palettes.h"
#include "imaging/errors.h"
#include "imaging/raster.h"
#include "bitmap_fixtures.h"

namespace pagewell {
namespace {

using testing::Colours;

struct BadSize {
  int width, height;
  TPixelFormat format;
};

class RasterRefusesSize : public ::testing::TestWithParam<BadSize> {};

TEST_P(RasterRefusesSize, BeforeAllocating) {
  const BadSize bad = GetParam();
  TRaster raster(3, 2, bad.format);
  EXPECT_THROW(raster.SetSize(bad.width, bad.height), ERasterError);
  // The raster is left as it was.
  EXPECT_EQ(raster.Width(), 3);
  EXPECT_EQ(raster.Height(), 2);
  EXPECT_THROW(TRaster(bad.width, bad.height, bad.format), ERasterError);
}

INSTANTIATE_TEST_SUITE_P(Sizes, RasterRefusesSize,
                         ::testing::Values(BadSize{0, 10, TPixelFormat::pf24bit}, BadSize{10, 0, TPixelFormat::pf1bit},
                                           BadSize{-1, 5, TPixelFormat::pf8bit},
                                           BadSize{5, -2147483647 - 1, TPixelFormat::pf8bit},
                                           // rows of 8 GiB and totals past 2 GiB
                                           BadSize{2147483647, 1, TPixelFormat::pf32bit},
                                           BadSize{65536, 65536, TPixelFormat::pf24bit},
                                           BadSize{46341, 46341, TPixelFormat::pf8bit}));

TEST(Raster, RowsArePaddedToFourBytes) {
  struct Case {
    int width;
    TPixelFormat format;
    std::size_t rowBytes, stride;
  };
  for (const Case& c : {Case{1, TPixelFormat::pf1bit, 1, 4}, Case{33, TPixelFormat::pf1bit, 5, 8},
                        Case{9, TPixelFormat::pf4bit, 5, 8}, Case{5, TPixelFormat::pf8bit, 5, 8},
                        Case{3, TPixelFormat::pf24bit, 9, 12}, Case{3, TPixelFormat::pf16bit, 6, 8}}) {
    TRaster raster(c.width, 2, c.format);
    EXPECT_EQ(raster.RowBytes(), c.rowBytes) << c.width;
    EXPECT_EQ(raster.RowStride(), c.stride) << c.width;
    EXPECT_EQ(raster.ScanLine(1) - raster.ScanLine(0), static_cast<std::ptrdiff_t>(c.stride));
  }
}

// Rows whose pixels are left unset still end in zeros: the padding and the
// unused bits after the last pixel. Memory that held other bytes just
// before (likely handed out again) shows that they are really written.
TEST(Raster, WithUnsetPixelsClearsTheEndOfEveryRow) {
  struct Case {
    int width;
    TPixelFormat format;
  };
  for (const Case& c : {Case{1, TPixelFormat::pf1bit}, Case{33, TPixelFormat::pf1bit}, Case{9, TPixelFormat::pf4bit},
                        Case{5, TPixelFormat::pf8bit}, Case{8, TPixelFormat::pf8bit}, Case{3, TPixelFormat::pf24bit}}) {
    const int height = 300;
    {
      TRaster dirty(c.width, height, c.format);
      for (int y = 0; y < height; ++y) std::fill_n(dirty.ScanLine(y), dirty.RowStride(), 0xFF);
    }
    const TRaster raster = TRaster::WithUnsetPixels(c.width, height, c.format);
    const TRaster zeroed(c.width, height, c.format);
    ASSERT_EQ(raster.Width(), c.width);
    ASSERT_EQ(raster.Height(), height);
    EXPECT_EQ(raster.PixelFormat(), c.format);
    EXPECT_EQ(raster.RowStride(), zeroed.RowStride());
    EXPECT_EQ(raster.Palette(), zeroed.Palette());
    for (int y = 0; y < height; ++y) {
      const std::uint8_t* tail = raster.ScanLine(y) + raster.RowStride() - 4;
      ASSERT_TRUE(std::all_of(tail, tail + 4, [](std::uint8_t b) { return b == 0; })) << c.width << ", row " << y;
    }
  }
  EXPECT_THROW(TRaster::WithUnsetPixels(0, 1, TPixelFormat::pf8bit), ERasterError);
  EXPECT_THROW(TRaster::WithUnsetPixels(65536, 65536, TPixelFormat::pf24bit), ERasterError);
}

TEST(Raster, PackedPixelLayout) {
  TRaster oneBit(10, 1, TPixelFormat::pf1bit);
  oneBit.SetPixelIndex(0, 0, 1);
  oneBit.SetPixelIndex(9, 0, 1);
  EXPECT_EQ(oneBit.ScanLine(0)[0], 0x80);  // leftmost pixel in the most significant bit
  EXPECT_EQ(oneBit.ScanLine(0)[1], 0x40);
  TRaster fourBit(3, 1, TPixelFormat::pf4bit);
  fourBit.SetPixelIndex(0, 0, 0xA);
  fourBit.SetPixelIndex(1, 0, 0x5);
  fourBit.SetPixelIndex(2, 0, 0xC);
  EXPECT_EQ(fourBit.ScanLine(0)[0], 0xA5);  // leftmost pixel in the high nibble
  EXPECT_EQ(fourBit.ScanLine(0)[1], 0xC0);
  TRaster trueColor(1, 1, TPixelFormat::pf24bit);
  trueColor.SetPixelColor(0, 0, RGBColor(1, 2, 3));
  EXPECT_EQ(trueColor.ScanLine(0)[0], 3);  // blue, green, red
  EXPECT_EQ(trueColor.ScanLine(0)[2], 1);
}

TEST(Raster, SetSizeKeepsThePixelsThatStillFit) {
  TRaster raster(4, 3, TPixelFormat::pf8bit);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) raster.SetPixelIndex(x, y, y * 4 + x + 1);
  raster.SetSize(2, 4);
  EXPECT_EQ(raster.PixelIndex(1, 2), 10);
  EXPECT_EQ(raster.PixelIndex(0, 3), 0);
  raster.SetSize(5, 1);
  EXPECT_EQ(raster.PixelIndex(1, 0), 2);
  EXPECT_EQ(raster.PixelIndex(4, 0), 0);
}

// Colours every default palette holds, so a round trip through any format
// must give them back exactly, at widths that are not a multiple of 8.
TEST(Raster, FormatChangesKeepThePicture) {
  const std::vector<TColor> colours = {clBlack, clWhite, clBlack, clBlack, clWhite};
  for (TPixelFormat format : {TPixelFormat::pf1bit, TPixelFormat::pf4bit, TPixelFormat::pf8bit,
                              TPixelFormat::pf15bit, TPixelFormat::pf16bit, TPixelFormat::pf32bit}) {
    for (int width : {1, 7, 13}) {
      TRaster raster = testing::TrueColorPage(width, 3, colours);
      const auto before = Colours(raster);
      raster.SetPixelFormat(format);
      EXPECT_EQ(Colours(raster), before) << BitsPerPixel(format) << " bits, width " << width;
      raster.SetPixelFormat(TPixelFormat::pf24bit);
      EXPECT_EQ(Colours(raster), before) << BitsPerPixel(format) << " bits, width " << width;
    }
  }
}

TEST(Raster, ConversionToAPaletteFormatPicksTheNearestDefaultColour) {
  TRaster raster(2, 1, TPixelFormat::pf24bit);
  raster.SetPixelColor(0, 0, RGBColor(250, 5, 3));    // nearest VGA colour: red
  raster.SetPixelColor(1, 0, RGBColor(100, 100, 90));  // nearest: gray (128)
  raster.SetPixelFormat(TPixelFormat::pf4bit);
  EXPECT_EQ(raster.PixelColor(0, 0), RGBColor(255, 0, 0));
  EXPECT_EQ(raster.PixelColor(1, 0), RGBColor(128, 128, 128));
  EXPECT_EQ(raster.Palette(), DefaultPalette(TPixelFormat::pf4bit));
}

TEST(Raster, SetPaletteRemapsEveryPixelToTheNearestNewEntry) {
  TRaster raster = testing::PalettePage(TPixelFormat::pf4bit, 5, 2, testing::Gray({0, 100, 200, 255}), {0, 1, 2, 3, 1});
  raster.SetPalette({clWhite, RGBColor(90, 90, 90), clBlack});
  // old 0 (black) -> 2, old 100 -> 1, old 200 -> 0 (white), old 255 -> 0
  const std::vector<int> expected = {2, 1, 0, 0, 1, 2, 1, 0, 0, 1};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(raster.PixelIndex(i % 5, i / 5), expected[static_cast<std::size_t>(i)]) << i;
  EXPECT_EQ(raster.Palette().size(), 16u);  // missing entries are black
  EXPECT_EQ(raster.Palette()[15], clBlack);
}

TEST(Raster, InvertingAOneBitPaletteLeavesNoStrayTrailingBits) {
  TRaster raster(3, 1, TPixelFormat::pf1bit);
  raster.SetPaletteKeepingIndices({clWhite, clBlack});
  raster.SetPalette({clBlack, clWhite});
  EXPECT_EQ(raster.ScanLine(0)[0], 0xE0);  // three white pixels, then zero bits
}

TEST(Raster, DrawMapsToTheNearestColourAndClips) {
  TRaster target(4, 4, TPixelFormat::pf1bit);
  TRaster source = testing::TrueColorPage(3, 3, {RGBColor(200, 220, 210), RGBColor(30, 40, 20)});
  target.Draw(source, 2, -1);
  EXPECT_EQ(target.PixelColor(2, 0), clBlack);  // source (0, 1): dark
  EXPECT_EQ(target.PixelColor(3, 0), clWhite);  // source (1, 1): light
  EXPECT_EQ(target.PixelColor(1, 0), clBlack);  // untouched
  EXPECT_EQ(target.PixelColor(2, 1), clWhite);  // source (0, 2)
}

TEST(Raster, PixelAccessOutsideTheImageIsRefused) {
  TRaster raster(2, 2, TPixelFormat::pf8bit);
  EXPECT_THROW(raster.PixelColor(2, 0), std::out_of_range);
  EXPECT_THROW(raster.SetPixelIndex(0, -1, 1), std::out_of_range);
  raster.FillRect(-5, -5, 50, 50, clWhite);  // clipped, not refused
  EXPECT_EQ(raster.PixelColor(1, 1), clWhite);
}

}  // namespace
}  // namespace pagewell
