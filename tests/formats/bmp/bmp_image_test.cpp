#include "formats/bmp/bmp_image.h"

#include <gtest/gtest.h>

#include "formats/format_code.h"
#include "imaging/errors.h"
#include "support/codec_checks.h"

namespace pagewell {
namespace {

std::uint32_t U32At(const std::vector<std::uint8_t>& f, std::size_t offset) {
  return f[offset] | f[offset + 1] << 8 | f[offset + 2] << 16 | static_cast<std::uint32_t>(f[offset + 3]) << 24;
}

TEST(BmpWriter, TrueColourHeaderAndRowSizes) {
  for (const auto& [width, rowSize] : std::vector<std::pair<int, std::uint32_t>>{{1, 4}, {4, 12}, {5, 16}}) {
    TluBitmap page(width, 3, TPixelFormat::pf24bit);
    page.FillRect(0, 0, width, 3, RGBColor(1, 2, 3));
    page.SetXDpi(300), page.SetYDpi(200);
    const auto f = testing::SaveAs(page, fcBMP);
    ASSERT_EQ(f.size(), 54 + 3 * rowSize);
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    EXPECT_EQ(U32At(f, 2), 54 + 3 * rowSize);
    EXPECT_EQ(U32At(f, 10), 54u);
    EXPECT_EQ(U32At(f, 14), 40u);
    EXPECT_EQ(U32At(f, 18), static_cast<std::uint32_t>(width));
    EXPECT_EQ(U32At(f, 22), 3u) << "positive height: rows bottom-up";
    EXPECT_EQ(f[28], 24);
    EXPECT_EQ(U32At(f, 34), 3 * rowSize);
    EXPECT_EQ(U32At(f, 38), 11811u);
    EXPECT_EQ(U32At(f, 42), 7874u);
    EXPECT_EQ(f[54], 3) << "blue first";
    EXPECT_EQ(f[56], 1);
  }
}

TEST(BmpWriter, PaletteDepthsCarryTheirColourTableAndResolution) {
  for (const auto& [format, entries] : std::vector<std::pair<TPixelFormat, std::uint32_t>>{
           {TPixelFormat::pf1bit, 2}, {TPixelFormat::pf4bit, 16}, {TPixelFormat::pf8bit, 256}}) {
    TBMPImage image(10, 2, format);
    image.XPelsPerMeter = 1234, image.YPelsPerMeter = 5678;
    TMemoryStream stream;
    image.SaveToStream(stream);
    const auto& f = stream.Bytes();
    EXPECT_EQ(U32At(f, 10), 54 + 4 * entries);
    EXPECT_EQ(U32At(f, 38), 1234u);
    EXPECT_EQ(U32At(f, 42), 5678u);
    EXPECT_EQ(f.size(), 54 + 4 * entries + 2 * image.RowStride());
  }
}

TEST(BmpImage, EveryDepthReadsBackWithItsResolution) {
  const TluBitmap source = testing::DocumentPage(37, 23, true, 3);
  for (TColorMode mode : {cmTrueColor, cmPalette256, cmGray256, cmPalette16, cmBlackWhite}) {
    TluBitmap page;
    page.Assign(source);
    page.SetColorMode(mode);
    page.SetXDpi(150), page.SetYDpi(75);
    TMemoryStream stream(testing::SaveAs(page, fcBMP));
    TBMPImage read;
    read.LoadFromStream(stream);
    EXPECT_EQ(read.PixelFormat(), page.PixelFormat()) << mode;
    EXPECT_EQ(testing::ToPPM(read), testing::ToPPM(page)) << mode;
    EXPECT_EQ(read.XPelsPerMeter, page.XPelsPerMeter);
    EXPECT_EQ(read.YPelsPerMeter, page.YPelsPerMeter);
  }
}

class BmpWithImageMagick : public ::testing::TestWithParam<TColorMode> {};

TEST_P(BmpWithImageMagick, ImageMagickSeesThePagePixels) {
  if (!testing::HaveTool("compare")) GTEST_SKIP() << "ImageMagick missing";
  TluBitmap page = testing::DocumentPage(61, 29, true, 4);
  page.SetColorMode(GetParam());
  testing::TTempDir dir;
  const std::string path = dir.File("page.bmp");
  testing::WriteFileBytes(path, testing::SaveAs(page, fcBMP));
  EXPECT_EQ(testing::ImageMagickDifference(dir, path, page), 0);
}

INSTANTIATE_TEST_SUITE_P(Modes, BmpWithImageMagick,
                         ::testing::Values(cmTrueColor, cmPalette256, cmGray256, cmPalette16, cmGray16, cmBlackWhite));

// Hand-made files for the reader: header fields as given.
std::vector<std::uint8_t> BmpFile(int width, int height, int bits, std::uint32_t compression,
                                  const std::vector<std::uint8_t>& extra, const std::vector<std::uint8_t>& pixels) {
  TMemoryStream s;
  s.WriteString("BM");
  s.WriteU32LE(static_cast<std::uint32_t>(54 + extra.size() + pixels.size()));
  s.WriteU32LE(0);
  s.WriteU32LE(static_cast<std::uint32_t>(54 + extra.size()));
  s.WriteU32LE(40);
  s.WriteU32LE(static_cast<std::uint32_t>(width));
  s.WriteU32LE(static_cast<std::uint32_t>(height));
  s.WriteU16LE(1);
  s.WriteU16LE(static_cast<std::uint16_t>(bits));
  s.WriteU32LE(compression);
  for (int i = 0; i < 5; ++i) s.WriteU32LE(0);
  s.Write(extra.data(), extra.size());
  s.Write(pixels.data(), pixels.size());
  return s.Bytes();
}

TBMPImage LoadBmp(const std::vector<std::uint8_t>& bytes) {
  TMemoryStream stream(bytes);
  TBMPImage image;
  image.LoadFromStream(stream);
  return image;
}

TEST(BmpReader, TopDownAndMaskedFormats) {
  // 2 x 2, 32 bits, top-down: first stored row is the top row.
  const auto topDown = LoadBmp(BmpFile(2, -2, 32, 0, {}, {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0}));
  EXPECT_EQ(topDown.PixelColor(0, 0), RGBColor(3, 2, 1));
  EXPECT_EQ(topDown.PixelColor(1, 1), RGBColor(12, 11, 10));

  // 16 bits, r5g6b5 through bit-field masks: pure red and pure green.
  const std::vector<std::uint8_t> masks = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
  const auto masked = LoadBmp(BmpFile(2, 1, 16, 3, masks, {0x00, 0xF8, 0xE0, 0x07}));
  EXPECT_EQ(masked.PixelColor(0, 0), RGBColor(255, 0, 0));
  EXPECT_EQ(masked.PixelColor(1, 0), RGBColor(0, 255, 0));

  // 16 bits without masks: x1r5g5b5.
  const auto plain16 = LoadBmp(BmpFile(1, 1, 16, 0, {}, {0x1F, 0x00, 0, 0}));
  EXPECT_EQ(plain16.PixelColor(0, 0), RGBColor(0, 0, 255));
}

TEST(BmpReader, RejectsMalformedFiles) {
  const std::vector<std::vector<std::uint8_t>> cases = {
      {},                                                   // empty
      {'B', 'M', 0, 0},                                     // truncated header
      BmpFile(2, 2, 24, 0, {}, {1, 2, 3}),                  // pixel data short
      BmpFile(2, 2, 7, 0, {}, std::vector<std::uint8_t>(64)),  // no such depth
      BmpFile(2, 2, 8, 1, {}, std::vector<std::uint8_t>(64)),  // RLE8
      BmpFile(0, 2, 24, 0, {}, std::vector<std::uint8_t>(64)),  // width 0
      BmpFile(0x7FFFFFFF, 0x7FFFFFFF, 24, 0, {}, std::vector<std::uint8_t>(64)),  // huge, little data
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    TMemoryStream stream(cases[i]);
    TBMPImage image;
    EXPECT_THROW(image.LoadFromStream(stream), EInvalidGraphic) << "case " << i;
  }
  auto notBmp = BmpFile(1, 1, 24, 0, {}, {0, 0, 0, 0});
  notBmp[0] = 'X';
  TMemoryStream stream(notBmp);
  TBMPImage image;
  EXPECT_THROW(image.LoadFromStream(stream), EInvalidGraphic);
}

}  // namespace
}  // namespace pagewell
