#include "formats/psd/psd_image.h"

#include <gtest/gtest.h>

#include "formats/format_code.h"
#include "support/codec_checks.h"

namespace pagewell {
namespace {

std::uint32_t U32BE(const std::vector<std::uint8_t>& f, std::size_t o) {
  return static_cast<std::uint32_t>(f[o]) << 24 | f[o + 1] << 16 | f[o + 2] << 8 | f[o + 3];
}
std::uint16_t U16BE(const std::vector<std::uint8_t>& f, std::size_t o) { return static_cast<std::uint16_t>(f[o] << 8 | f[o + 1]); }

struct TModeCase {
  TColorMode mode;
  int psdMode, channels, depth;
  std::uint32_t colorModeDataLength;
};

class PsdModes : public ::testing::TestWithParam<TModeCase> {};

TEST_P(PsdModes, HeaderSectionsAndImageSize) {
  const TModeCase& c = GetParam();
  TluBitmap page = testing::DocumentPage(21, 30, true, 8);
  page.SetColorMode(c.mode);
  const auto f = testing::SaveAs(page, fcPSD);
  EXPECT_EQ(std::string(f.begin(), f.begin() + 4), "8BPS");
  EXPECT_EQ(U16BE(f, 4), 1);
  EXPECT_EQ(U16BE(f, 12), c.channels);
  EXPECT_EQ(U32BE(f, 14), 30u);
  EXPECT_EQ(U32BE(f, 18), 21u);
  EXPECT_EQ(U16BE(f, 22), c.depth);
  EXPECT_EQ(U16BE(f, 24), c.psdMode);
  EXPECT_EQ(U32BE(f, 26), c.colorModeDataLength);
  const std::size_t resources = 30 + c.colorModeDataLength;
  EXPECT_EQ(U32BE(f, resources), 0u) << "no resolution: no resources";
  const std::size_t pixels = resources + 4 + 4 + 2;
  const std::size_t rowBytes = c.depth == 1 ? 3 : 21;
  EXPECT_EQ(f.size(), pixels + rowBytes * 30 * c.channels);
}

INSTANTIATE_TEST_SUITE_P(Modes, PsdModes,
                         ::testing::Values(TModeCase{cmTrueColor, 3, 3, 8, 0}, TModeCase{cmGray256, 1, 1, 8, 0},
                                           TModeCase{cmGray16, 1, 1, 8, 0}, TModeCase{cmPalette256, 2, 1, 8, 768},
                                           TModeCase{cmPalette16, 2, 1, 8, 768}, TModeCase{cmBlackWhite, 0, 1, 1, 0},
                                           TModeCase{cmTwoColor, 2, 1, 8, 768}),
                         [](const auto& info) { return "mode" + std::to_string(info.param.mode); });

TEST(PsdWriter, ResolutionInfoResource) {
  TluBitmap page = testing::DocumentPage(8, 8, true);
  page.SetXDpi(300), page.SetYDpi(300);
  const auto f = testing::SaveAs(page, fcPSD);
  const std::size_t section = 30;
  ASSERT_EQ(U32BE(f, section), 38u);
  const std::vector<std::uint8_t> expected = {'8', 'B', 'I', 'M', 0x03, 0xED, 10, 'R', 'e', 's', 'o', 'l', 'u', 't', 'i', 'o',
                                              'n', 0, 0, 0, 0, 16, 0x01, 0x2C, 0, 0, 0, 1, 0, 2, 0x01, 0x2C, 0, 0, 0, 1, 0, 2};
  EXPECT_EQ(std::vector<std::uint8_t>(f.begin() + section + 4, f.begin() + section + 42), expected);
}

TEST(PsdWriter, ChangedFileInfoPrecedesTheResolution) {
  TluBitmap page = testing::DocumentPage(8, 8, true);
  page.SetXDpi(300), page.SetYDpi(300);
  page.FileInfo.Fields = {{"Caption", "A scanned page"}};
  page.FileInfo.Changed = true;
  const auto f = testing::SaveAs(page, fcPSD);
  const std::size_t section = 30;
  const std::uint32_t length = U32BE(f, section);
  ASSERT_GT(length, 38u);
  EXPECT_EQ(std::string(f.begin() + section + 4, f.begin() + section + 8), "8BIM");
  EXPECT_EQ(U16BE(f, section + 8), 0x0404) << "the IPTC resource first";
  EXPECT_EQ(U16BE(f, section + 4 + length - 38 + 4), 0x03ED) << "the resolution last";
  const std::string text(f.begin(), f.end());
  EXPECT_NE(text.find("A scanned page"), std::string::npos);

  page.FileInfo.Changed = false;
  EXPECT_EQ(U32BE(testing::SaveAs(page, fcPSD), section), 38u) << "unchanged information is not written";
}

TEST(PsdWriter, BitmapModeWritesOneForBlack) {
  TRaster bitmap(10, 1, TPixelFormat::pf1bit);  // black, white
  bitmap.SetPixelIndex(0, 0, 1);                // white at x = 0, black elsewhere
  for (const bool whiteFirst : {false, true}) {
    TRaster b = bitmap;
    if (whiteFirst) {
      b.SetPalette({clWhite, clBlack});  // same picture, indices inverted
    }
    TPSDImage psd;
    psd.Assign(b);
    TMemoryStream stream;
    psd.SaveToStream(stream);
    const auto& f = stream.Bytes();
    EXPECT_EQ((std::vector<std::uint8_t>(f.end() - 2, f.end())), (std::vector<std::uint8_t>{0x7F, 0xC0})) << whiteFirst;
  }
}

TEST(PsdWriter, SixteenBitBitmapIsNotSaved) {
  TPSDImage psd;
  psd.Assign(TRaster(3, 3, TPixelFormat::pf16bit));
  TMemoryStream stream;
  try {
    psd.SaveToStream(stream);
    FAIL() << "no error";
  } catch (const EFileNotSaved& e) {
    EXPECT_STREQ(e.what(), "PSD file not saved");
  }
  EXPECT_EQ(stream.Size(), 0u);
}

TEST(PsdWriter, IndexedModeWritesPlanarPaletteAndIndices) {
  TRaster bitmap(3, 1, TPixelFormat::pf4bit);
  std::vector<TColor> palette(16, clBlack);
  palette[2] = RGBColor(10, 20, 30);
  palette[15] = RGBColor(200, 100, 50);
  bitmap.SetPaletteKeepingIndices(palette);
  bitmap.SetPixelIndex(0, 0, 2), bitmap.SetPixelIndex(1, 0, 15), bitmap.SetPixelIndex(2, 0, 0);
  TPSDImage psd;
  psd.Assign(bitmap);
  TMemoryStream stream;
  psd.SaveToStream(stream);
  const auto& f = stream.Bytes();
  EXPECT_EQ(U16BE(f, 24), 2);
  ASSERT_EQ(U32BE(f, 26), 768u);
  EXPECT_EQ(f[30 + 2], 10);
  EXPECT_EQ(f[30 + 256 + 2], 20);
  EXPECT_EQ(f[30 + 512 + 2], 30);
  EXPECT_EQ(f[30 + 15], 200);
  EXPECT_EQ(f[30 + 512 + 15], 50);
  EXPECT_EQ(f[30 + 767], 0) << "entries past the palette are 0";
  EXPECT_EQ((std::vector<std::uint8_t>(f.end() - 3, f.end())), (std::vector<std::uint8_t>{2, 15, 0}));
}

TEST(PsdWriter, FourBitGrayPixelsAreWrittenAsGrayLevels) {
  TluBitmap page = testing::DocumentPage(16, 16, false);
  page.SetColorMode(cmGray16);
  TPSDImage psd;
  psd.Assign(page);
  TMemoryStream stream;
  psd.SaveToStream(stream);
  const auto& f = stream.Bytes();
  EXPECT_EQ(psd.ColorMode, pcmGrayscale);
  for (int x = 0; x < 16; ++x) EXPECT_EQ(f[f.size() - 16 + x], RedOf(page.PixelColor(x, 15)));
}

// ImageMagick 6 cannot read indexed PSD files, not even its own, so it checks
// the RGB, grayscale and bitmap modes.
class PsdWithImageMagick : public ::testing::TestWithParam<TColorMode> {};

TEST_P(PsdWithImageMagick, ImageMagickSeesThePagePixels) {
  if (!testing::HaveTool("compare")) GTEST_SKIP() << "ImageMagick missing";
  TluBitmap page = testing::DocumentPage(45, 31, true, 12);
  page.SetColorMode(GetParam());
  page.SetXDpi(200), page.SetYDpi(200);
  testing::TTempDir dir;
  const std::string path = dir.File("page.psd");
  testing::WriteFileBytes(path, testing::SaveAs(page, fcPSD));
  EXPECT_EQ(testing::ImageMagickDifference(dir, path, page), 0);
  const auto density = testing::RunCommand("identify -format '%x %y' " + path);
  EXPECT_NE(density.output.find("200"), std::string::npos) << density.output;
}

INSTANTIATE_TEST_SUITE_P(Modes, PsdWithImageMagick,
                         ::testing::Values(cmTrueColor, cmGray256, cmGray16, cmBlackWhite));

}  // namespace
}  // namespace pagewell
