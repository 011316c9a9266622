#include <gtest/gtest.h>

#include <set>

#include <random>

#include "formats/format_code.h"
#include "formats/png/png_image.h"
#include "formats/png/png_test_support.h"
#include "imaging/default_palettes.h"
#include "support/codec_checks.h"

namespace pagewell {
namespace {

using testing::Concatenated;
using testing::FindChunk;
using testing::PngChunks;

TluBitmap BlackWhitePage() {
  TluBitmap page = testing::DocumentPage(61, 40, false);
  page.SetColorMode(cmBlackWhite);
  return page;
}

TluBitmap GrayPage() {
  TluBitmap page = testing::DocumentPage(50, 33, false);
  page.SetColorMode(cmGray256);
  return page;
}

TluBitmap RedRampPage() {
  TluBitmap page(32, 8, TPixelFormat::pf8bit);
  std::vector<TColor> ramp;
  for (unsigned i = 0; i < 256; ++i) ramp.push_back(RGBColor(i, 0, 0));
  page.SetPaletteKeepingIndices(ramp);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 32; ++x) page.SetPixelIndex(x, y, (x * 8 + y) & 255);
  page.DetectColorMode();
  return page;
}

TluBitmap Palette16Page() {
  TluBitmap page = testing::DocumentPage(45, 30, true);
  page.SetColorMode(cmPalette16);
  return page;
}

TluBitmap TrueColorPage() { return testing::DocumentPage(77, 52, true); }

struct TLayoutCase {
  const char* name;
  TluBitmap (*make)();
  int colorType, bitDepth;
  std::size_t paletteEntries;  // 0: no PLTE
  bool filtered;               // rows of whole-byte samples: each row's own filter; else none
};

const TLayoutCase kLayouts[] = {
    {"black_white", BlackWhitePage, 3, 1, 2, false},
    {"gray_ramp", GrayPage, 0, 8, 0, true},
    {"red_ramp", RedRampPage, 3, 8, 256, false},
    {"palette16", Palette16Page, 3, 4, 16, false},
    {"true_colour", TrueColorPage, 2, 8, 0, true},
};

class PngLayout : public ::testing::TestWithParam<TLayoutCase> {};

TEST_P(PngLayout, HeaderPaletteAndFiltersFollowThePage) {
  TluBitmap page = GetParam().make();
  const auto file = testing::SaveAs(page, fcPNG);
  const auto chunks = PngChunks(file);
  ASSERT_GE(chunks.size(), 3u);
  EXPECT_EQ(chunks.front().type, "IHDR");
  EXPECT_EQ(chunks.back().type, "IEND");
  const auto& ihdr = chunks.front().data;
  ASSERT_EQ(ihdr.size(), 13u);
  EXPECT_EQ(testing::BigEndian32(&ihdr[0]), static_cast<std::uint32_t>(page.Width()));
  EXPECT_EQ(testing::BigEndian32(&ihdr[4]), static_cast<std::uint32_t>(page.Height()));
  EXPECT_EQ(ihdr[8], GetParam().bitDepth);
  EXPECT_EQ(ihdr[9], GetParam().colorType);
  EXPECT_EQ(ihdr[12], 0) << "never interlaced";

  const auto* plte = FindChunk(chunks, "PLTE");
  if (GetParam().paletteEntries == 0) {
    EXPECT_EQ(plte, nullptr);
  } else {
    ASSERT_NE(plte, nullptr);
    ASSERT_EQ(plte->data.size(), GetParam().paletteEntries * 3);
    for (std::size_t i = 0; i < GetParam().paletteEntries; ++i) {
      const TColor c = page.Palette()[i];
      EXPECT_EQ(plte->data[3 * i], RedOf(c));
      EXPECT_EQ(plte->data[3 * i + 2], BlueOf(c));
    }
  }

  const std::size_t rowBytes = GetParam().colorType == 2 ? page.Width() * 3u
                                                          : (page.Width() * GetParam().bitDepth + 7u) / 8u;
  const auto raw = testing::InflateAll(Concatenated(chunks, "IDAT"), (rowBytes + 1) * page.Height());
  ASSERT_EQ(raw.size(), (rowBytes + 1) * page.Height());
  std::set<int> filters;
  for (int y = 0; y < page.Height(); ++y) filters.insert(raw[y * (rowBytes + 1)]);
  if (GetParam().filtered) {
    EXPECT_LE(*filters.rbegin(), 4);
    EXPECT_GT(filters.size(), 1u) << "a document page's rows want different filters";
  } else {
    EXPECT_EQ(filters, std::set<int>{0}) << "packed and palette rows are not filtered";
  }
}

TEST_P(PngLayout, OurReaderGivesThePictureBack) {
  TluBitmap page = GetParam().make();
  TMemoryStream stream(testing::SaveAs(page, fcPNG));
  ToxPNGImage png;
  png.LoadFromStream(stream);
  EXPECT_EQ(testing::ToPPM(png.Bitmap), testing::ToPPM(page));
}

TEST_P(PngLayout, PngcheckAndImageMagickAgree) {
  if (!testing::HaveTool("pngcheck") || !testing::HaveTool("compare")) GTEST_SKIP() << "pngcheck or ImageMagick missing";
  TluBitmap page = GetParam().make();
  page.SetXDpi(300), page.SetYDpi(300);
  testing::TTempDir dir;
  const std::string path = dir.File("page.png");
  testing::WriteFileBytes(path, testing::SaveAs(page, fcPNG));
  const auto check = testing::RunCommand("pngcheck -v " + path);
  EXPECT_EQ(check.exitCode, 0) << check.output;
  EXPECT_NE(check.output.find("No errors detected"), std::string::npos) << check.output;
  EXPECT_EQ(testing::ImageMagickDifference(dir, path, page), 0);
}

INSTANTIATE_TEST_SUITE_P(Pages, PngLayout, ::testing::ValuesIn(kLayouts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PngWriter, ResolutionBecomesPhysInPixelsPerMetre) {
  TluBitmap page = TrueColorPage();
  page.SetXDpi(300), page.SetYDpi(300);
  auto chunks = PngChunks(testing::SaveAs(page, fcPNG));
  const auto* phys = FindChunk(chunks, "pHYs");
  ASSERT_NE(phys, nullptr);
  EXPECT_EQ(phys->data, (std::vector<std::uint8_t>{0, 0, 0x2E, 0x23, 0, 0, 0x2E, 0x23, 1}));  // 11811

  page.SetYDpi(0);
  chunks = PngChunks(testing::SaveAs(page, fcPNG));
  EXPECT_EQ(FindChunk(chunks, "pHYs"), nullptr);
}

TEST(PngWriter, SetResolutionRoundsHalfToEven) {
  ToxPNGImage png;
  png.SetResolution(200, 72);
  EXPECT_EQ(png.XPelsPerMeter, 7874);
  EXPECT_EQ(png.YPelsPerMeter, 2835);
}

TEST(PngWriter, LargeDataIsCutIntoIdatChunksOf512000Bytes) {
  // Noise does not compress: about 1.2 MB of image data.
  TluBitmap page(700, 600, TPixelFormat::pf24bit);
  std::mt19937 random(7);
  for (int y = 0; y < page.Height(); ++y)
    for (std::size_t i = 0; i < page.RowBytes(); ++i) page.ScanLine(y)[i] = static_cast<std::uint8_t>(random());
  page.DetectColorMode();
  const auto chunks = PngChunks(testing::SaveAs(page, fcPNG));
  std::vector<std::size_t> sizes;
  for (const auto& c : chunks)
    if (c.type == "IDAT") sizes.push_back(c.data.size());
  ASSERT_EQ(sizes.size(), 3u);
  EXPECT_EQ(sizes[0], 512000u);
  EXPECT_EQ(sizes[1], 512000u);
  EXPECT_GT(sizes[2], 0u);
  EXPECT_LE(sizes[2], 512000u);
}

struct TTransparencyCase {
  const char* name;
  TluBitmap (*make)();
  TColor background;
  std::vector<std::uint8_t> trns;  // empty: no tRNS chunk
};

TluBitmap PaletteWithBlueAt3() {
  TluBitmap page = Palette16Page();
  page.SetPaletteEntry(3, RGBColor(0, 0, 255));
  return page;
}

const TTransparencyCase kTransparency[] = {
    {"true_colour_key", TrueColorPage, RGBColor(0x12, 0x34, 0x56), {0, 0x12, 0, 0x34, 0, 0x56}},
    {"gray_key_level", GrayPage, RGBColor(200, 200, 200), {0, 200}},
    {"palette_key_index", PaletteWithBlueAt3, RGBColor(0, 0, 255), {255, 255, 255, 0}},
    {"palette_colour_missing", PaletteWithBlueAt3, RGBColor(1, 2, 3), {}},
};

class PngTransparency : public ::testing::TestWithParam<TTransparencyCase> {};

TEST_P(PngTransparency, TransparentBackgroundBecomesTrns) {
  TluBitmap page = GetParam().make();
  page.Transparent = true;
  page.BackgroundColor = GetParam().background;
  const auto chunks = PngChunks(testing::SaveAs(page, fcPNG));
  const auto* trns = FindChunk(chunks, "tRNS");
  if (GetParam().trns.empty()) {
    EXPECT_EQ(trns, nullptr);
  } else {
    ASSERT_NE(trns, nullptr);
    EXPECT_EQ(trns->data, GetParam().trns);
  }
}

INSTANTIATE_TEST_SUITE_P(Pages, PngTransparency, ::testing::ValuesIn(kTransparency),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PngWriter, PageWithoutTransparentFlagHasNoTrns) {
  TluBitmap page = TrueColorPage();
  page.BackgroundColor = clWhite;
  EXPECT_EQ(FindChunk(PngChunks(testing::SaveAs(page, fcPNG)), "tRNS"), nullptr);
}

TRaster AlphaPlaneFor(const TRaster& image) {
  TRaster plane(image.Width(), image.Height(), TPixelFormat::pf8bit);
  plane.SetPaletteKeepingIndices(GrayRamp256());
  for (int y = 0; y < plane.Height(); ++y)
    for (int x = 0; x < plane.Width(); ++x) plane.ScanLine(y)[x] = static_cast<std::uint8_t>(x * 7 + y);
  return plane;
}

TEST(PngWriter, AlphaPlaneGivesRgbaOrGrayAlphaAndSurvivesTheSave) {
  for (TluBitmap page : {TrueColorPage(), GrayPage(), Palette16Page()}) {
    page.Alpha.Mode = TAlphaMode::amAlphaPlane;
    page.Alpha.AlphaPlane = AlphaPlaneFor(page);
    const bool gray = page.PixelFormat() == TPixelFormat::pf8bit;
    TMemoryStream stream(testing::SaveAs(page, fcPNG));
    EXPECT_EQ(page.Alpha.Mode, TAlphaMode::amAlphaPlane) << "PNG keeps the alpha plane of the page";
    const auto chunks = PngChunks(stream.Bytes());
    EXPECT_EQ(chunks.front().data[9], gray ? 4 : 6);
    EXPECT_EQ(chunks.front().data[8], 8) << "alpha files are always 8 bits per sample";

    ToxPNGImage png;
    png.LoadFromStream(stream);
    EXPECT_EQ(testing::ToPPM(png.Bitmap), testing::ToPPM(page));
    ASSERT_EQ(png.Alpha.Mode, TAlphaMode::amAlphaPlane);
    for (int y = 0; y < page.Height(); ++y)
      for (int x = 0; x < page.Width(); ++x)
        ASSERT_EQ(png.Alpha.AlphaPlane.ScanLine(y)[x], page.Alpha.AlphaPlane.ScanLine(y)[x]);
  }
}

TEST(PngWriter, PaletteAlphaTableIsWrittenForEveryEntry) {
  TluBitmap page = GrayPage();  // a gray ramp that would otherwise become colour type 0
  page.Alpha.Mode = TAlphaMode::amPaletteAlpha;
  page.Alpha.PaletteAlpha[5] = 17;
  const auto chunks = PngChunks(testing::SaveAs(page, fcPNG));
  EXPECT_EQ(chunks.front().data[9], 3);
  const auto* trns = FindChunk(chunks, "tRNS");
  ASSERT_NE(trns, nullptr);
  ASSERT_EQ(trns->data.size(), 256u);
  EXPECT_EQ(trns->data[5], 17);
  EXPECT_EQ(trns->data[6], 255);
}

TEST(PngWriter, OnlyAnEightBitIdentityRampPassesTheGrayTest) {
  TRaster gray(4, 4, TPixelFormat::pf8bit);
  gray.SetPaletteKeepingIndices(GrayRamp256());
  EXPECT_TRUE(PassesPngGrayTest(gray));
  TRaster dark16(4, 4, TPixelFormat::pf4bit);
  std::vector<TColor> levels;
  for (unsigned i = 0; i < 16; ++i) levels.push_back(RGBColor(i, i, i));
  dark16.SetPaletteKeepingIndices(levels);
  EXPECT_FALSE(PassesPngGrayTest(dark16)) << "PNG gray 4-bit samples would mean 17 * i, not i";
  TRaster bw(4, 4, TPixelFormat::pf1bit);
  EXPECT_FALSE(PassesPngGrayTest(bw));
}

TEST(PngWriter, SixteenBitPagesAreWrittenAsTrueColour) {
  TluBitmap page(9, 5, TPixelFormat::pf16bit);
  page.FillRect(0, 0, 9, 5, RGBColor(0, 255, 0));
  TMemoryStream stream(testing::SaveAs(page, fcPNG));
  ToxPNGImage png;
  png.LoadFromStream(stream);
  EXPECT_EQ(png.ColorType, 2);
  EXPECT_EQ(png.Bitmap.PixelColor(4, 2), RGBColor(0, 255, 0));
}

}  // namespace
}  // namespace pagewell
