#include "formats/pcx/pcx_image.h"

#include <gtest/gtest.h>

#include "formats/format_code.h"
#include "support/codec_checks.h"

namespace pagewell {
namespace {

std::vector<std::uint8_t> Encoded(const std::vector<std::uint8_t>& line) {
  std::vector<std::uint8_t> out;
  EncodePCXLine(line.data(), line.size(), out);
  return out;
}

TEST(PcxLineEncoding, RunsSingleBytesAndHighValues) {
  EXPECT_EQ(Encoded(std::vector<std::uint8_t>(100, 5)), (std::vector<std::uint8_t>{0xFF, 0x05, 0xE5, 0x05}));
  EXPECT_EQ(Encoded({0xC5}), (std::vector<std::uint8_t>{0xC1, 0xC5}));
  EXPECT_EQ(Encoded({7}), (std::vector<std::uint8_t>{7}));
  EXPECT_EQ(Encoded({1, 2, 2, 0xBF}), (std::vector<std::uint8_t>{1, 0xC2, 2, 0xBF}));
  EXPECT_EQ(Encoded(std::vector<std::uint8_t>(63, 9)), (std::vector<std::uint8_t>{0xFF, 9}));
  EXPECT_EQ(Encoded(std::vector<std::uint8_t>(64, 9)), (std::vector<std::uint8_t>{0xFF, 9, 9}));
}

std::uint16_t U16At(const std::vector<std::uint8_t>& f, std::size_t offset) {
  return static_cast<std::uint16_t>(f[offset] | f[offset + 1] << 8);
}

struct THeaderCase {
  TColorMode mode;
  int width;
  int bitsPerPixel, planes, bytesPerLine;
  bool trailingPalette;
};

class PcxHeader : public ::testing::TestWithParam<THeaderCase> {};

TEST_P(PcxHeader, FormFollowsThePixelFormat) {
  const THeaderCase& c = GetParam();
  TluBitmap page = testing::DocumentPage(c.width, 9, true, 2);
  page.SetColorMode(c.mode);
  page.SetXDpi(300), page.SetYDpi(150);
  const auto f = testing::SaveAs(page, fcPCX);
  ASSERT_GT(f.size(), 128u);
  EXPECT_EQ(f[0], 10);
  EXPECT_EQ(f[1], 5);
  EXPECT_EQ(f[2], 1);
  EXPECT_EQ(f[3], c.bitsPerPixel);
  EXPECT_EQ(U16At(f, 8), c.width - 1);
  EXPECT_EQ(U16At(f, 10), 8);
  EXPECT_EQ(U16At(f, 12), 300);
  EXPECT_EQ(U16At(f, 14), 150);
  EXPECT_EQ(f[65], c.planes);
  EXPECT_EQ(U16At(f, 66), c.bytesPerLine);
  EXPECT_EQ(U16At(f, 68), 1);
  if (c.trailingPalette) {
    ASSERT_GT(f.size(), 769u);
    EXPECT_EQ(f[f.size() - 769], 12);
    const TColor entry5 = page.Palette()[5];
    EXPECT_EQ(f[f.size() - 768 + 15], RedOf(entry5));
  }
  if (c.mode == cmBlackWhite) {
    EXPECT_EQ((std::vector<std::uint8_t>(f.begin() + 16, f.begin() + 22)), (std::vector<std::uint8_t>{0, 0, 0, 255, 255, 255}));
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, PcxHeader,
                         ::testing::Values(THeaderCase{cmBlackWhite, 33, 1, 1, 6, false},  // 5 bytes of pixels, even: 6
                                           THeaderCase{cmBlackWhite, 5, 1, 1, 2, false},   // under 8 pixels: still 2
                                           THeaderCase{cmPalette16, 17, 1, 4, 4, false},
                                           THeaderCase{cmPalette256, 31, 8, 1, 32, true},
                                           THeaderCase{cmTrueColor, 30, 8, 3, 30, false}),
                         [](const auto& info) { return "mode" + std::to_string(info.param.mode) + "_w" + std::to_string(info.param.width); });

class PcxWithRealDecoders : public ::testing::TestWithParam<std::tuple<TColorMode, int>> {};

// netpbm's pcxtoppm reads every form; ImageMagick 6 reads 1-bit files with
// 1 = black, against the header's colour map (black, white), so it checks
// the other forms only.
TEST_P(PcxWithRealDecoders, DecodersSeeEveryPixel) {
  if (!testing::HaveTool("compare") || !testing::HaveTool("pcxtoppm")) GTEST_SKIP() << "ImageMagick or netpbm missing";
  const auto [mode, width] = GetParam();
  TluBitmap page = testing::DocumentPage(width, 13, true, 9);
  page.SetColorMode(mode);
  testing::TTempDir dir;
  const std::string path = dir.File("page.pcx");
  testing::WriteFileBytes(path, testing::SaveAs(page, fcPCX));
  const auto netpbm = testing::RunCommand("pcxtoppm " + path + " > " + dir.File("netpbm.ppm"));
  ASSERT_EQ(netpbm.exitCode, 0) << netpbm.output;
  EXPECT_EQ(testing::ImageMagickDifference(dir, dir.File("netpbm.ppm"), page), 0);
  if (page.PixelFormat() != TPixelFormat::pf1bit) {
    EXPECT_EQ(testing::ImageMagickDifference(dir, path, page), 0);
  }
}

// Widths 17 to 23 and under 8 lost pixels or never ended with bytes per
// line of width div 8.
INSTANTIATE_TEST_SUITE_P(ModesAndWidths, PcxWithRealDecoders,
                         ::testing::Combine(::testing::Values(cmTrueColor, cmPalette256, cmGray256, cmPalette16, cmGray16,
                                                              cmBlackWhite),
                                            ::testing::Values(1, 5, 8, 17, 23, 64, 101)));

TEST(PcxImage, OneBitPaletteWhiteFirstKeepsThePicture) {
  TRaster bitmap(12, 2, TPixelFormat::pf1bit);
  bitmap.SetPaletteKeepingIndices({clWhite, clBlack});
  bitmap.SetPixelIndex(3, 1, 1);  // one black pixel on white
  TPCXImage pcx;
  pcx.Assign(bitmap);
  TMemoryStream stream;
  pcx.SaveToStream(stream);
  const auto& f = stream.Bytes();
  // Bit 1 is white: line 0 is 1111 1111 1111 0000 (the bits past the
  // width cleared), line 1 is 1110 1111 1111 0000.
  EXPECT_EQ((std::vector<std::uint8_t>(f.begin() + 128, f.end())),
            (std::vector<std::uint8_t>{0xC1, 0xFF, 0xC1, 0xF0, 0xC1, 0xEF, 0xC1, 0xF0}));
}

}  // namespace
}  // namespace pagewell
