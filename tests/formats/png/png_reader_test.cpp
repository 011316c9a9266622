#include <gtest/gtest.h>

#include <string>

#include "formats/png/png_filters.h"
#include "formats/png/png_image.h"
#include "formats/png/png_test_support.h"
#include "imaging/errors.h"
#include "support/codec_checks.h"

namespace pagewell {
namespace {

using testing::BuildPng;
using testing::IhdrData;
using testing::TPngChunk;

std::string LoadError(const std::vector<std::uint8_t>& file) {
  TMemoryStream stream(file);
  ToxPNGImage png;
  try {
    png.LoadFromStream(stream);
  } catch (const EInvalidGraphic& e) {
    return e.what();
  }
  return "";
}

ToxPNGImage Load(const std::vector<std::uint8_t>& file) {
  TMemoryStream stream(file);
  ToxPNGImage png;
  png.LoadFromStream(stream);
  return png;
}

// A 3 x 2 RGB picture, rows unfiltered.
std::vector<std::uint8_t> SmallRgbRows() {
  return {0, 10, 20, 30, 40, 50, 60, 70, 80, 90,  //
          0, 15, 25, 35, 45, 55, 65, 75, 85, 95};
}

std::vector<std::uint8_t> SmallRgbPng() {
  return BuildPng({{"IHDR", IhdrData(3, 2, 8, 2)}, {"IDAT", testing::DeflateAll(SmallRgbRows())}, {"IEND", {}}});
}

TEST(PngReader, ReportsTheFourErrorsWithTheirMessages) {
  std::vector<std::uint8_t> badSignature = SmallRgbPng();
  badSignature[1] = 'Q';
  EXPECT_EQ(LoadError(badSignature), "Image does not have a valid PNG signature.");

  std::vector<std::uint8_t> badCrc = SmallRgbPng();
  badCrc[8 + 8 + 13] ^= 1;  // the IHDR CRC
  EXPECT_EQ(LoadError(badCrc), "Invalid CRC in PNG image.");

  EXPECT_EQ(LoadError(BuildPng({{"IDAT", testing::DeflateAll(SmallRgbRows())}, {"IHDR", IhdrData(3, 2, 8, 2)}, {"IEND", {}}})),
            "Image is not a valid PNG.");
  EXPECT_EQ(LoadError(BuildPng({{"IHDR", IhdrData(3, 2, 8, 2)}, {"IEND", {}}})),
            "Image is not a valid PNG - no image data.");
}

TEST(PngReader, RejectsMalformedStructure) {
  const auto idat = testing::DeflateAll(SmallRgbRows());
  const std::vector<std::vector<TPngChunk>> cases = {
      {{"IHDR", IhdrData(3, 2, 3, 2)}, {"IDAT", idat}, {"IEND", {}}},             // depth 3
      {{"IHDR", IhdrData(3, 2, 8, 5)}, {"IDAT", idat}, {"IEND", {}}},             // colour type 5
      {{"IHDR", IhdrData(0, 2, 8, 2)}, {"IDAT", idat}, {"IEND", {}}},             // width 0
      {{"IHDR", IhdrData(3, 2, 8, 2, 2)}, {"IDAT", idat}, {"IEND", {}}},          // interlace 2
      {{"IHDR", IhdrData(3, 2, 8, 3)}, {"IDAT", idat}, {"IEND", {}}},             // palette without PLTE
      {{"IHDR", IhdrData(3, 2, 8, 2)}, {"IDAT", idat}},                           // no IEND
      {{"IHDR", IhdrData(3, 2, 8, 2)}, {"IDAT", idat}, {"ABCD", {}}, {"IEND", {}}},  // unknown critical chunk
      {{"IHDR", IhdrData(3, 2, 8, 2)}, {"IDAT", {1, 2, 3}}, {"IEND", {}}},        // not a zlib stream
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_FALSE(LoadError(BuildPng(cases[i])).empty()) << "case " << i;
  }
  auto truncated = SmallRgbPng();
  truncated.resize(truncated.size() - 20);
  EXPECT_FALSE(LoadError(truncated).empty());
}

TEST(PngReader, HugeDeclaredSizeWithLittleDataFailsWithoutAllocatingIt) {
  // 2^30 x 2 pixels promised, a few bytes delivered: the reader must give
  // up on the data, not reserve gigabytes for it.
  const auto idat = testing::DeflateAll(std::vector<std::uint8_t>(100, 0));
  EXPECT_EQ(LoadError(BuildPng({{"IHDR", IhdrData(1u << 30, 2, 1, 0)}, {"IDAT", idat}, {"IEND", {}}})),
            "Image is not a valid PNG - no image data.");
  EXPECT_EQ(LoadError(BuildPng({{"IHDR", IhdrData(0x7FFFFFFF, 0x7FFFFFFF, 16, 6)}, {"IDAT", idat}, {"IEND", {}}})),
            "Image is not a valid PNG.");
}

// Filters row `row` (of `length` bytes, pixel distance `bpp`) with `type`.
std::vector<std::uint8_t> FilterRow(int type, const std::vector<std::uint8_t>& row, const std::vector<std::uint8_t>& prior,
                                    std::size_t bpp) {
  std::vector<std::uint8_t> out(row.size());
  for (std::size_t i = 0; i < row.size(); ++i) {
    const int left = i >= bpp ? row[i - bpp] : 0, up = prior[i], upLeft = i >= bpp ? prior[i - bpp] : 0;
    int predictor = 0;
    switch (type) {
      case 1: predictor = left; break;
      case 2: predictor = up; break;
      case 3: predictor = (left + up) / 2; break;
      case 4: predictor = PaethPredictor(left, up, upLeft); break;
    }
    out[i] = static_cast<std::uint8_t>(row[i] - predictor);
  }
  return out;
}

TEST(PngReader, UndoesAllFiveFilterTypes) {
  const int width = 7, height = 5;
  std::vector<std::vector<std::uint8_t>> rows(height, std::vector<std::uint8_t>(width * 3));
  for (int y = 0; y < height; ++y)
    for (int i = 0; i < width * 3; ++i) rows[y][i] = static_cast<std::uint8_t>(i * 37 + y * 91 + (i * y) % 13);
  std::vector<std::uint8_t> raw;
  std::vector<std::uint8_t> prior(width * 3, 0);
  for (int y = 0; y < height; ++y) {
    const int type = y % 5;  // rows use None, Sub, Up, Average, Paeth in turn
    raw.push_back(static_cast<std::uint8_t>(type));
    const auto filtered = FilterRow(type, rows[y], prior, 3);
    raw.insert(raw.end(), filtered.begin(), filtered.end());
    prior = rows[y];
  }
  const ToxPNGImage png = Load(BuildPng({{"IHDR", IhdrData(width, height, 8, 2)}, {"IDAT", testing::DeflateAll(raw)}, {"IEND", {}}}));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      ASSERT_EQ(png.Bitmap.PixelColor(x, y), RGBColor(rows[y][3 * x], rows[y][3 * x + 1], rows[y][3 * x + 2]))
          << x << "," << y;

  raw[0] = 5;  // no such filter type
  EXPECT_EQ(LoadError(BuildPng({{"IHDR", IhdrData(width, height, 8, 2)}, {"IDAT", testing::DeflateAll(raw)}, {"IEND", {}}})),
            "Image is not a valid PNG.");
}

TEST(PngReader, ImageDataMaySpanSeveralIdatChunks) {
  const auto idat = testing::DeflateAll(SmallRgbRows());
  const std::vector<std::uint8_t> first(idat.begin(), idat.begin() + 5), rest(idat.begin() + 5, idat.end());
  const ToxPNGImage png = Load(BuildPng({{"IHDR", IhdrData(3, 2, 8, 2)}, {"IDAT", first}, {"IDAT", rest}, {"IEND", {}}}));
  EXPECT_EQ(png.Bitmap.PixelColor(2, 1), RGBColor(75, 85, 95));
}

TEST(PngReader, ReadsPaletteTransparencyResolutionAndBackground) {
  TMemoryStream phys;
  phys.WriteU32BE(11811), phys.WriteU32BE(7874), phys.WriteByte(1);
  // 2-bit palette of three colours; pixels 0 1 2 0 in one row.
  const std::vector<std::uint8_t> raw = {0, 0b00011000};
  const ToxPNGImage png = Load(BuildPng({{"IHDR", IhdrData(4, 1, 2, 3)},
                                         {"PLTE", {255, 0, 0, 0, 255, 0, 0, 0, 255}},
                                         {"tRNS", {255, 0}},
                                         {"bKGD", {2}},
                                         {"pHYs", phys.Bytes()},
                                         {"IDAT", testing::DeflateAll(raw)},
                                         {"IEND", {}}}));
  EXPECT_EQ(png.Bitmap.PixelFormat(), TPixelFormat::pf4bit);
  EXPECT_EQ(png.Bitmap.PixelColor(0, 0), RGBColor(255, 0, 0));
  EXPECT_EQ(png.Bitmap.PixelColor(1, 0), RGBColor(0, 255, 0));
  EXPECT_EQ(png.Bitmap.PixelColor(2, 0), RGBColor(0, 0, 255));
  EXPECT_EQ(png.Alpha.Mode, TAlphaMode::amKeyIndex);
  EXPECT_EQ(png.Alpha.KeyIndex, 1);
  EXPECT_EQ(png.Alpha.KeyColor, RGBColor(0, 255, 0));
  EXPECT_TRUE(png.HasBackground);
  EXPECT_EQ(png.Background, RGBColor(0, 0, 255));
  EXPECT_EQ(png.XPelsPerMeter, 11811);
  EXPECT_EQ(png.YPelsPerMeter, 7874);
}

TEST(PngReader, GrayDepthsScaleToEightBitsAndKeyGrayIsRead) {
  // 4-bit gray: samples 0, 5, 15 become 0, 85, 255.
  const std::vector<std::uint8_t> raw = {0, 0x05, 0xF0};
  const ToxPNGImage png = Load(
      BuildPng({{"IHDR", IhdrData(3, 1, 4, 0)}, {"tRNS", {0, 5}}, {"IDAT", testing::DeflateAll(raw)}, {"IEND", {}}}));
  EXPECT_EQ(png.Bitmap.PixelColor(0, 0), RGBColor(0, 0, 0));
  EXPECT_EQ(png.Bitmap.PixelColor(1, 0), RGBColor(85, 85, 85));
  EXPECT_EQ(png.Bitmap.PixelColor(2, 0), RGBColor(255, 255, 255));
  EXPECT_EQ(png.Alpha.Mode, TAlphaMode::amKeyGray);
  EXPECT_EQ(png.Alpha.KeyColor, RGBColor(85, 85, 85));
}

TEST(PngReader, SixteenBitSamplesRoundToEightBits) {
  // Gray samples 0x0080, 0x0081 and 0xFFFF: 0.498, 0.502 and 255 in 8 bits.
  const std::vector<std::uint8_t> raw = {0, 0x00, 0x80, 0x00, 0x81, 0xFF, 0xFF};
  const ToxPNGImage png = Load(BuildPng({{"IHDR", IhdrData(3, 1, 16, 0, 1)}, {"IDAT", testing::DeflateAll({0, 0x00, 0x80, 0, 0xFF, 0xFF, 0, 0x00, 0x81})}, {"IEND", {}}}));
  // Adam7 with 3 x 1 pixels: pass 1 holds x = 0, pass 2 none, pass 4 x = 2, pass 6 x = 1.
  EXPECT_EQ(png.Bitmap.PixelColor(0, 0), RGBColor(0, 0, 0));
  EXPECT_EQ(png.Bitmap.PixelColor(2, 0), RGBColor(255, 255, 255));
  EXPECT_EQ(png.Bitmap.PixelColor(1, 0), RGBColor(1, 1, 1));
  const ToxPNGImage flat = Load(BuildPng({{"IHDR", IhdrData(3, 1, 16, 0)}, {"IDAT", testing::DeflateAll(raw)}, {"IEND", {}}}));
  EXPECT_EQ(flat.Bitmap.PixelColor(0, 0), RGBColor(0, 0, 0));
  EXPECT_EQ(flat.Bitmap.PixelColor(1, 0), RGBColor(1, 1, 1));
  EXPECT_EQ(flat.Bitmap.PixelColor(2, 0), RGBColor(255, 255, 255));
}

// Files written by ImageMagick (libpng) in forms our writer never makes:
// our reader must decode them to the pixels ImageMagick itself decodes.
class PngReaderAgainstImageMagick : public ::testing::TestWithParam<const char*> {};

TEST_P(PngReaderAgainstImageMagick, DecodesLikeLibpng) {
  if (!testing::HaveTool("convert")) GTEST_SKIP() << "ImageMagick missing";
  testing::TTempDir dir;
  const TluBitmap source = testing::DocumentPage(83, 61, true, 5);
  testing::WriteFileBytes(dir.File("source.ppm"), testing::ToPPM(source));
  const std::string png = dir.File("converted.png");
  const auto made = testing::RunCommand("convert " + dir.File("source.ppm") + " " + GetParam() + " " + png);
  ASSERT_EQ(made.exitCode, 0) << made.output;
  const auto decoded = testing::RunCommand("convert " + png + " -depth 8 " + dir.File("expected.ppm"));
  ASSERT_EQ(decoded.exitCode, 0) << decoded.output;

  const ToxPNGImage ours = Load(testing::ReadFileBytes(png));
  EXPECT_EQ(testing::ToPPM(ours.Bitmap), testing::ReadFileBytes(dir.File("expected.ppm")));
}

INSTANTIATE_TEST_SUITE_P(Forms, PngReaderAgainstImageMagick,
                         ::testing::Values("-interlace PNG", "-depth 16", "-interlace PNG -depth 16",
                                           "-colorspace Gray -depth 2",
                                           "-colors 12", "-alpha set -channel A -evaluate set 50% +channel",
                                           "-colorspace Gray -alpha set -channel A -fx i/w +channel"));

}  // namespace
}  // namespace pagewell
