#include "formats/wbmp/wbmp_image.h"

#include <gtest/gtest.h>

#include "formats/format_code.h"
#include "support/codec_checks.h"

namespace pagewell {
namespace {

TEST(WbmpWriter, MultiByteIntegers) {
  const std::vector<std::pair<std::uint32_t, std::vector<std::uint8_t>>> cases = {
      {0, {0x00}}, {127, {0x7F}}, {128, {0x81, 0x00}}, {1700, {0x8D, 0x24}}, {16384, {0x81, 0x80, 0x00}}};
  for (const auto& [value, bytes] : cases) {
    std::vector<std::uint8_t> out;
    AppendWBMPInteger(out, value);
    EXPECT_EQ(out, bytes) << value;
  }
}

TEST(WbmpWriter, HeaderRowsAndStreamPosition) {
  TluBitmap page(1700, 2, TPixelFormat::pf24bit);
  page.FillRect(0, 0, 1700, 2, clWhite);
  page.SetPixelColor(0, 0, clBlack);
  page.SetPixelColor(1699, 1, RGBColor(127, 127, 126));  // one channel at 126: black
  page.DetectColorMode();
  TMemoryStream stream;
  page.SaveToStreamAs(stream, fcWBMP, 90, "", "", "", "");
  EXPECT_EQ(stream.Position(), 0u);
  const auto& f = stream.Bytes();
  ASSERT_EQ(f.size(), 2 + 2 + 1 + 2 * 213u);
  EXPECT_EQ((std::vector<std::uint8_t>(f.begin(), f.begin() + 5)), (std::vector<std::uint8_t>{0, 0, 0x8D, 0x24, 0x02}));
  EXPECT_EQ(f[5], 0x7F);
  EXPECT_EQ(f[5 + 212], 0xF0) << "4 pixels in the last byte, the rest 0";
  EXPECT_EQ(f[5 + 213 + 212], 0xE0);
}

TEST(WbmpWriter, WhiteOnlyWhenAllChannelsAbove126) {
  TluBitmap page(4, 1, TPixelFormat::pf24bit);
  page.SetPixelColor(0, 0, RGBColor(127, 127, 127));
  page.SetPixelColor(1, 0, RGBColor(126, 255, 255));
  page.SetPixelColor(2, 0, RGBColor(255, 255, 126));
  page.SetPixelColor(3, 0, RGBColor(200, 180, 160));
  TWBMPImage wbmp;
  wbmp.Assign(page);
  TMemoryStream stream;
  wbmp.SaveToStream(stream);
  EXPECT_EQ(stream.Bytes().back(), 0x90);
}

class WbmpWithImageMagick : public ::testing::TestWithParam<TColorMode> {};

TEST_P(WbmpWithImageMagick, ImageMagickSeesTheThresholdedPage) {
  if (!testing::HaveTool("compare")) GTEST_SKIP() << "ImageMagick missing";
  TluBitmap page = testing::DocumentPage(93, 41, true, 6);
  page.SetColorMode(GetParam());
  TluBitmap expected(page.Width(), page.Height(), TPixelFormat::pf1bit);
  for (int y = 0; y < page.Height(); ++y)
    for (int x = 0; x < page.Width(); ++x) {
      const TColor c = page.PixelColor(x, y);
      const bool white = RedOf(c) > 126 && GreenOf(c) > 126 && BlueOf(c) > 126;
      expected.SetPixelIndex(x, y, white ? 1 : 0);
    }
  testing::TTempDir dir;
  const std::string path = dir.File("page.wbmp");
  testing::WriteFileBytes(path, testing::SaveAs(page, fcWBMP));
  EXPECT_EQ(testing::ImageMagickDifference(dir, "wbmp:" + path, expected), 0);
}

INSTANTIATE_TEST_SUITE_P(Modes, WbmpWithImageMagick, ::testing::Values(cmTrueColor, cmGray256, cmPalette16, cmBlackWhite));

}  // namespace
}  // namespace pagewell
