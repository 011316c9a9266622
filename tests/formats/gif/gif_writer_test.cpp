#include <gtest/gtest.h>

#include "formats/format_code.h"
#include "formats/gif/gif_exception.h"
#include "formats/gif/gif_image.h"
#include "gif_test_decoder.h"
#include "support/codec_checks.h"

namespace pagewell {
namespace {

// The colours a decoded GIF shows, pixel by pixel.
std::vector<TColor> DecodedColours(const testing::TDecodedGif& gif) {
  std::vector<TColor> colours;
  for (std::uint8_t index : gif.indices) colours.push_back(gif.localMap.at(index));
  return colours;
}

std::vector<TColor> PageColours(const TRaster& page) {
  std::vector<TColor> colours;
  for (int y = 0; y < page.Height(); ++y)
    for (int x = 0; x < page.Width(); ++x) colours.push_back(page.PixelColor(x, y));
  return colours;
}

// A true-colour page with exactly `count` distinct colours.
TluBitmap FewColourPage(int count) {
  TluBitmap page(90, 70, TPixelFormat::pf24bit);
  for (int y = 0; y < page.Height(); ++y)
    for (int x = 0; x < page.Width(); ++x) {
      const int k = (x / 3 + y * 7) % count;
      page.SetPixelColor(x, y, RGBColor(k * 13 % 256, (k * 97 + 5) % 256, 255 - k));
    }
  page.DetectColorMode();
  return page;
}

TEST(GifWriter, BlackWhitePageHasTwoEntryMapAndCodeSize2InVersion87a) {
  TluBitmap page = testing::DocumentPage(123, 45, false);
  page.SetColorMode(cmBlackWhite);
  const auto file = testing::SaveAs(page, fcGIF);
  const auto gif = testing::DecodeGif(file);
  EXPECT_EQ(gif.version, "GIF87a");
  EXPECT_EQ(gif.localMap, (std::vector<TColor>{clBlack, clWhite}));
  EXPECT_EQ(gif.minCodeSize, 2);
  EXPECT_FALSE(gif.hasGraphicControl);
  EXPECT_EQ(file[10] & 0x80, 0) << "no global colour map";
  EXPECT_EQ(DecodedColours(gif), PageColours(page));
}

TEST(GifWriter, TrueColourPageWithFewColoursIsReducedWithoutLoss) {
  TluBitmap page = FewColourPage(200);
  const auto before = PageColours(page);
  const auto gif = testing::DecodeGif(testing::SaveAs(page, fcGIF));
  EXPECT_EQ(gif.localMap.size(), 256u);
  EXPECT_EQ(gif.minCodeSize, 8);
  EXPECT_EQ(DecodedColours(gif), before);
  EXPECT_EQ(page.ColorMode, cmTrueColor) << "the page itself keeps its colours";
  EXPECT_EQ(PageColours(page), before);
}

TEST(GifWriter, TransparentBackgroundAddsGraphicControlAndVersion89a) {
  TluBitmap page = FewColourPage(20);
  page.Transparent = true;
  page.BackgroundColor = page.PixelColor(3, 0);
  auto gif = testing::DecodeGif(testing::SaveAs(page, fcGIF));
  EXPECT_EQ(gif.version, "GIF89a");
  ASSERT_TRUE(gif.hasGraphicControl);
  EXPECT_TRUE(gif.transparent);
  EXPECT_EQ(gif.localMap.at(gif.transparentIndex), page.BackgroundColor);

  page.BackgroundColor = RGBColor(1, 2, 3);  // in no entry of the map
  gif = testing::DecodeGif(testing::SaveAs(page, fcGIF));
  EXPECT_EQ(gif.version, "GIF89a");
  EXPECT_TRUE(gif.hasGraphicControl);
  EXPECT_FALSE(gif.transparent);
}

TEST(GifWriter, RefusesWhatGifCannotHold) {
  EXPECT_THROW(TGIFImage().SaveToStream(*std::make_unique<TMemoryStream>()), GIFException);

  TGIFImage gif;
  TGIFSubImage image;
  image.Width = 2, image.Height = 1;
  image.ColorMap.Colors = {clBlack, clWhite, RGBColor(9, 9, 9)};
  image.Pixels = {1, 3};  // 3 is past the map's three colours
  gif.Images.push_back(image);
  TMemoryStream stream;
  EXPECT_THROW(gif.SaveToStream(stream), GIFException);
  EXPECT_EQ(stream.Size(), 0u);

  TRaster wide(70000, 1, TPixelFormat::pf1bit);
  gif.Assign(wide);
  EXPECT_THROW(gif.SaveToStream(stream), GIFException);
  EXPECT_EQ(stream.Size(), 0u);
}

class GifWithGiflib : public ::testing::TestWithParam<TColorMode> {};

TEST_P(GifWithGiflib, GiflibDecodesThePagePixels) {
  if (!testing::HaveTool("gif2rgb") || !testing::HaveTool("giftext")) GTEST_SKIP() << "giflib tools missing";
  TluBitmap page = testing::DocumentPage(201, 97, true, 11);
  page.SetColorMode(GetParam());
  testing::TTempDir dir;
  const std::string path = dir.File("page.gif");
  testing::WriteFileBytes(path, testing::SaveAs(page, fcGIF));

  const auto text = testing::RunCommand("giftext " + path);
  EXPECT_EQ(text.exitCode, 0) << text.output;
  EXPECT_NE(text.output.find("Width = 201, Height = 97"), std::string::npos) << text.output;
  EXPECT_NE(text.output.find("GIF file terminated normally"), std::string::npos) << text.output;

  const auto decoded = testing::RunCommand("gif2rgb -1 -o " + dir.File("page.rgb") + " " + path);
  ASSERT_EQ(decoded.exitCode, 0) << decoded.output;
  const auto rgb = testing::ReadFileBytes(dir.File("page.rgb"));
  ASSERT_EQ(rgb.size(), 201u * 97u * 3u);
  std::vector<TColor> colours;
  for (std::size_t i = 0; i < rgb.size(); i += 3) colours.push_back(RGBColor(rgb[i], rgb[i + 1], rgb[i + 2]));
  // A true-colour page is compared with its 256-colour reduction.
  TluBitmap expected;
  expected.Assign(page);
  if (GetParam() == cmTrueColor) expected.ConvertColorMode(cmPalette256, 2, 128);
  EXPECT_EQ(colours, PageColours(expected));
}

INSTANTIATE_TEST_SUITE_P(Modes, GifWithGiflib,
                         ::testing::Values(cmTrueColor, cmPalette256, cmGray256, cmPalette16, cmGray16, cmBlackWhite));

}  // namespace
}  // namespace pagewell
