// Converting packed DIBs: every supported depth, row order, colour tables,
// resolutions, and blocks that claim more than they hold.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "formats/dib/packed_dib.h"

namespace pagewell {
namespace {

// A DIB with a 40-byte header; `rows` are given in stored order (bottom row
// first for a positive height) and already padded.
std::vector<std::uint8_t> Dib(std::int32_t width, std::int32_t height, int bits, std::vector<std::uint32_t> table,
                              std::vector<std::uint8_t> pixels, std::uint32_t clrUsed = 0, std::uint32_t compression = 0,
                              std::int32_t ppm = 2835) {
  std::vector<std::uint8_t> dib(40);
  auto put = [&dib](std::size_t at, std::uint32_t v) { std::memcpy(&dib[at], &v, 4); };
  put(0, 40);
  put(4, static_cast<std::uint32_t>(width));
  put(8, static_cast<std::uint32_t>(height));
  dib[12] = 1;
  dib[14] = static_cast<std::uint8_t>(bits);
  put(16, compression);
  put(24, static_cast<std::uint32_t>(ppm));
  put(28, static_cast<std::uint32_t>(ppm));
  put(32, clrUsed);
  for (std::uint32_t entry : table) {
    dib.resize(dib.size() + 4);
    std::memcpy(&dib[dib.size() - 4], &entry, 4);
  }
  dib.insert(dib.end(), pixels.begin(), pixels.end());
  return dib;
}

bool Convert(const std::vector<std::uint8_t>& dib, TBMPImage& image, TDibConversionOptions options = {}) {
  return ConvertPackedDib(dib.data(), dib.size(), options, image);
}

TEST(PackedDib, RowsAreTurnedTheRightWayUpInBothOrders) {
  // 3 × 2 24-bit: stride 12. Stored row 0 is red, row 1 is blue.
  std::vector<std::uint8_t> pixels(24, 0);
  for (int x = 0; x < 3; ++x) pixels[3 * x + 2] = 255, pixels[12 + 3 * x] = 255;
  TBMPImage image;
  ASSERT_TRUE(Convert(Dib(3, 2, 24, {}, pixels), image));
  EXPECT_EQ(image.PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(image.PixelColor(2, 0), RGBColor(0, 0, 255));  // bottom-up: last stored row on top
  EXPECT_EQ(image.PixelColor(0, 1), RGBColor(255, 0, 0));
  ASSERT_TRUE(Convert(Dib(3, -2, 24, {}, pixels), image));
  EXPECT_EQ(image.Height(), 2);
  EXPECT_EQ(image.PixelColor(2, 0), RGBColor(255, 0, 0));  // top-down: first stored row on top
  EXPECT_EQ(image.XPelsPerMeter, 2835);
}

TEST(PackedDib, PaletteDepthsKeepIndicesAndColours) {
  std::vector<std::uint32_t> table16(16);
  for (int i = 0; i < 16; ++i) table16[i] = static_cast<std::uint32_t>(i * 0x10) << 16;  // red = 16 i
  TBMPImage image;
  ASSERT_TRUE(Convert(Dib(3, 1, 4, table16, {0x12, 0xF0, 0, 0}), image));
  EXPECT_EQ(image.PixelFormat(), TPixelFormat::pf4bit);
  EXPECT_EQ(image.PixelIndex(0, 0), 1);
  EXPECT_EQ(image.PixelIndex(1, 0), 2);
  EXPECT_EQ(image.PixelIndex(2, 0), 15);
  EXPECT_EQ(image.PixelColor(2, 0), RGBColor(0xF0, 0, 0));

  // An 8-bit DIB whose table has 3 entries (biClrUsed): the pixels follow them.
  ASSERT_TRUE(Convert(Dib(2, 1, 8, {0x0000FF, 0x00FF00, 0xFF0000}, {2, 1, 0, 0}, 3), image));
  EXPECT_EQ(image.PixelFormat(), TPixelFormat::pf8bit);
  EXPECT_EQ(image.PixelColor(0, 0), RGBColor(255, 0, 0));
  EXPECT_EQ(image.PixelColor(1, 0), RGBColor(0, 255, 0));
}

TEST(PackedDib, WhiteFirstOneBitTables) {
  // Two pixels: bit 0 then bit 1.
  const auto dib = Dib(2, 1, 1, {0xFFFFFF, 0x000000}, {0x40, 0, 0, 0});
  TBMPImage image;
  ASSERT_TRUE(Convert(dib, image));
  EXPECT_EQ(image.Palette(), (std::vector<TColor>{clBlack, clWhite}));
  EXPECT_EQ(image.PixelColor(0, 0), clWhite);
  EXPECT_EQ(image.PixelIndex(0, 0), 1);
  TDibConversionOptions vendor;
  vendor.WhiteFirstTableMeansBlack = true;
  ASSERT_TRUE(Convert(dib, image, vendor));
  EXPECT_EQ(image.PixelColor(0, 0), clBlack);
  EXPECT_EQ(image.PixelColor(1, 0), clWhite);
}

TEST(PackedDib, OtherDepthsAndCompressedDibsGiveABlankImageOfTheirSize) {
  TBMPImage image;
  ASSERT_TRUE(Convert(Dib(2, 2, 32, {}, std::vector<std::uint8_t>(16, 0x7F)), image));
  EXPECT_EQ(image.PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(image.Width(), 2);
  EXPECT_EQ(image.PixelColor(1, 1), clBlack);
  ASSERT_TRUE(Convert(Dib(4, 1, 8, std::vector<std::uint32_t>(256, 0xFFFFFF), {1, 1, 1, 1}, 0, 1), image));
  EXPECT_EQ(image.PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(image.PixelColor(0, 0), clBlack);
}

TEST(PackedDib, ResolutionFallsBackToTheGivenDpi) {
  TDibConversionOptions options;
  options.FallbackXDpi = 300;
  options.FallbackYDpi = -1.0;  // unknown: stays unknown
  TBMPImage image;
  ASSERT_TRUE(Convert(Dib(1, 1, 24, {}, {0, 0, 0, 0}, 0, 0, 0), image, options));
  EXPECT_EQ(image.XPelsPerMeter, 11811);
  EXPECT_EQ(image.YPelsPerMeter, 0);
}

TEST(PackedDib, BlocksThatClaimMoreThanTheyHoldAreRefused) {
  TBMPImage image;
  const std::vector<std::uint8_t> good = Dib(4, 4, 8, std::vector<std::uint32_t>(256), std::vector<std::uint8_t>(16));
  ASSERT_TRUE(Convert(good, image));
  struct Case {
    const char* what;
    std::vector<std::uint8_t> dib;
  };
  std::vector<Case> cases = {
      {"short of one byte", std::vector<std::uint8_t>(good.begin(), good.end() - 1)},
      {"no colour table", Dib(4, 1, 8, {}, std::vector<std::uint8_t>(4))},
      {"huge height", Dib(4, 0x7FFFFFF, 8, std::vector<std::uint32_t>(256), std::vector<std::uint8_t>(16))},
      {"huge width of an unknown depth", Dib(0x7FFFFFFF, 1, 32, {}, std::vector<std::uint8_t>(16))},
      {"zero width", Dib(0, 1, 24, {}, std::vector<std::uint8_t>(4))},
      {"zero height", Dib(1, 0, 24, {}, std::vector<std::uint8_t>(4))},
      {"header only", std::vector<std::uint8_t>(good.begin(), good.begin() + 39)},
  };
  std::vector<std::uint8_t> badHeaderSize = good;
  badHeaderSize[0] = 12;
  cases.push_back({"old header size", badHeaderSize});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_FALSE(Convert(c.dib, image));
    EXPECT_TRUE(image.Empty());
  }
  EXPECT_FALSE(ConvertPackedDib(nullptr, 100, {}, image));
}

}  // namespace
}  // namespace pagewell
