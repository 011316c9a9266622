#include <gtest/gtest.h>

#include <string>

#include "formats/format_code.h"
#include "imaging/default_palettes.h"
#include "imaging/lu_bitmap.h"
#include "support/codec_checks.h"

namespace pagewell {
namespace {

TluBitmap SmallPage() {
  TluBitmap page(20, 10, TPixelFormat::pf24bit);
  page.FillRect(0, 0, 20, 10, RGBColor(200, 10, 10));
  page.FillRect(5, 5, 15, 10, RGBColor(10, 10, 200));
  page.SetXDpi(300), page.SetYDpi(300);
  page.DetectColorMode();
  return page;
}

std::string Head(TluBitmap& page, int code, std::size_t count = 4) {
  TMemoryStream stream;
  page.SaveToStreamAs(stream, code, 90, "", "", "", "");
  return std::string(stream.Bytes().begin(), stream.Bytes().begin() + std::min(count, stream.Size()));
}

TEST(SaveToStreamAs, EachCodeWritesItsFormat) {
  const std::vector<std::pair<int, std::string>> cases = {
      {fcBMP, "BM"}, {fcGIF, "GIF8"}, {fcJPEG, "\xFF\xD8\xFF\xE0"}, {fcPCX, "\x0A\x05"}, {fcTIFF, std::string("II*\0", 4)}, {fcPNG, "\x89PNG"}, {fcPSD, "8BPS"}, {fcWBMP, std::string("\0\0", 2)}, {fcPDF, "%PDF"}};
  for (const auto& [code, magic] : cases) {
    TluBitmap page = SmallPage();
    EXPECT_EQ(Head(page, code, magic.size()), magic) << "code " << code;
  }
}

TEST(SaveToStreamAs, CodesNineAndAboveWriteNothing) {
  for (int code : {9, 10, 255}) {
    TluBitmap page = SmallPage();
    EXPECT_EQ(Head(page, code), "") << code;
  }
}

TRaster HalfTransparentPlane(const TRaster& page) {
  TRaster plane(page.Width(), page.Height(), TPixelFormat::pf8bit);
  plane.SetPaletteKeepingIndices(GrayRamp256());
  plane.FillRect(0, 0, page.Width(), page.Height(), RGBColor(0, 0, 0));
  return plane;
}

TEST(SaveToStreamAs, AlphaIsFlattenedForEveryFormatButPng) {
  TluBitmap png = SmallPage();
  png.Alpha.Mode = TAlphaMode::amAlphaPlane;
  png.Alpha.AlphaPlane = HalfTransparentPlane(png);
  Head(png, fcPNG);
  EXPECT_EQ(png.Alpha.Mode, TAlphaMode::amAlphaPlane);
  EXPECT_EQ(png.PixelColor(0, 0), RGBColor(200, 10, 10));

  TluBitmap bmp = SmallPage();
  bmp.Alpha = png.Alpha;
  Head(bmp, fcBMP);
  EXPECT_EQ(bmp.Alpha.Mode, TAlphaMode::amNone);
  EXPECT_EQ(bmp.PixelColor(0, 0), clWhite) << "alpha 0 everywhere: blended onto AlphaBackground";
}

TEST(SaveToStreamAs, GifLeavesATrueColourPageAsItWas) {
  TluBitmap page = SmallPage();
  Head(page, fcGIF);
  EXPECT_EQ(page.ColorMode, cmTrueColor);
  EXPECT_EQ(page.PixelFormat(), TPixelFormat::pf24bit);
}

TEST(SaveToStreamAs, TiffCompressionTwoWritesGroup4FromAColourPage) {
  TluBitmap page = SmallPage();
  page.TiffCompression = 2;
  TMemoryStream stream;
  page.SaveToStreamAs(stream, fcTIFF, 90, "", "", "", "");
  EXPECT_EQ(page.ColorMode, cmBlackWhite) << "the page itself is converted";
  EXPECT_EQ(page.TiffCompression, 2);
  if (!testing::HaveTool("tiffinfo")) GTEST_SKIP() << "libtiff tools missing";
  testing::TTempDir dir;
  testing::WriteFileBytes(dir.File("page.tif"), stream.Bytes());
  const auto info = testing::RunCommand("tiffinfo " + dir.File("page.tif"));
  EXPECT_NE(info.output.find("CCITT Group 4"), std::string::npos) << info.output;
  EXPECT_NE(info.output.find("Resolution: 300, 300 pixels/inch"), std::string::npos) << info.output;
}

}  // namespace
}  // namespace pagewell
