// Every file the writer produces must be accepted by libtiff's tools and
// decode, through libtiff, to exactly the bitmap's pixels.
#include <gtest/gtest.h>

#include "formats/tiff/tif_image.h"
#include "formats/tiff/tif_list.h"
#include "tiff_test_support.h"

namespace pagewell {
namespace {

using namespace tifftest;

// The tools run in the native build only (HaveTool answers false under Wine).
bool HaveTools() { return HaveTool("tiffinfo") && HaveTool("tiffcp") && HaveTool("convert"); }

struct TWrittenCase {
  const char* name;
  TRaster bitmap;
  std::uint16_t compression;
};

std::vector<TColor> Grays(int n) {
  std::vector<TColor> p(n);
  for (int i = 0; i < n; ++i) p[i] = RGBColor(i * 255 / (n - 1), i * 255 / (n - 1), i * 255 / (n - 1));
  return p;
}

std::vector<TColor> Colours(int n) {
  std::vector<TColor> p(n);
  for (int i = 0; i < n; ++i) p[i] = RGBColor(i * 37, 255 - i * 11, i * 5 + 3);
  return p;
}

std::vector<TWrittenCase> WrittenCases() {
  std::vector<TWrittenCase> cases;
  for (std::uint16_t compression : {tiff::compNone, tiff::compPackBits}) {
    cases.push_back({"gray 16", RandomRaster(37, 21, TPixelFormat::pf4bit, Grays(16), 1), compression});
    cases.push_back({"gray 256", RandomRaster(37, 21, TPixelFormat::pf8bit, Grays(256), 2), compression});
    cases.push_back({"palette 16", RandomRaster(37, 21, TPixelFormat::pf4bit, Colours(16), 3), compression});
    cases.push_back({"palette 256", RandomRaster(37, 21, TPixelFormat::pf8bit, Colours(256), 4), compression});
    cases.push_back({"two colours", RandomRaster(37, 21, TPixelFormat::pf1bit, {RGBColor(200, 10, 10), RGBColor(0, 0, 90)}, 5), compression});
    cases.push_back({"true colour", RandomRaster(37, 21, TPixelFormat::pf24bit, {}, 6), compression});
  }
  for (std::uint16_t compression : {tiff::compNone, tiff::compPackBits, tiff::compCCITTGroup4}) {
    cases.push_back({"black-white", BlackWhitePage(203, 97, 7), compression});
    TRaster whiteBlack = BlackWhitePage(64, 30, 8);
    whiteBlack.SetPalette({clWhite, clBlack});
    cases.push_back({"white-black", whiteBlack, compression});
  }
  return cases;
}

TEST(TIFWriterWithLibtiff, EveryKindAndCompressionDecodesToTheBitmap) {
  if (!HaveTools()) GTEST_SKIP() << "libtiff tools or ImageMagick missing";
  TTempDir dir;
  for (const TWrittenCase& c : WrittenCases()) {
    SCOPED_TRACE(std::string(c.name) + ", compression " + std::to_string(c.compression));
    TTIFImage tif;
    tif.Compression = c.compression;
    tif.Assign(c.bitmap);
    tif.XDpi = 200;
    tif.YDpi = 100;
    const std::string path = dir.File("page.tif");
    WriteFileBytes(path, tif.SaveToBytes());
    std::string output;
    EXPECT_EQ(RunCommand("tiffinfo -D '" + path + "'", &output), 0) << output;
    EXPECT_EQ(output.find("rror"), std::string::npos) << output;
    EXPECT_EQ(output.find("arning"), std::string::npos) << output;
    EXPECT_NE(output.find("Resolution: 200, 100 pixels/inch"), std::string::npos) << output;
    EXPECT_EQ(RunCommand("tiffcp -c none '" + path + "' '" + dir.File("copy.tif") + "'", &output), 0) << output;
    EXPECT_EQ(DecodeWithImageMagick(path), RGBPixels(c.bitmap));
  }
}

TEST(TIFWriterWithLibtiff, MultiPageFileHasEveryPageInOrder) {
  if (!HaveTools()) GTEST_SKIP() << "libtiff tools or ImageMagick missing";
  TTIFList list;
  std::vector<TRaster> pages = {BlackWhitePage(120, 80, 1), RandomRaster(30, 20, TPixelFormat::pf24bit, {}, 2),
                                RandomRaster(25, 25, TPixelFormat::pf8bit, Colours(256), 3)};
  for (const TRaster& page : pages) {
    auto tif = std::make_unique<TTIFImage>();
    tif->Compression = page.PixelFormat() == TPixelFormat::pf1bit ? tiff::compCCITTGroup4 : tiff::compNone;
    tif->Assign(page);
    list.Add(std::move(tif));
  }
  TTempDir dir;
  const std::string path = dir.File("pages.tif");
  WriteFileBytes(path, list.SaveToBytes());
  std::string output;
  ASSERT_EQ(RunCommand("tiffinfo '" + path + "'", &output), 0) << output;
  EXPECT_NE(output.find("TIFF Directory at offset 0x8"), std::string::npos) << output;
  EXPECT_EQ(RunCommand("tiffinfo '" + path + "' | grep -c 'TIFF Directory'", &output), 0);
  EXPECT_EQ(output, "3\n");
  EXPECT_EQ(RunCommand("tiffdump '" + path + "'", &output), 0) << output;
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE("page " + std::to_string(i + 1));
    EXPECT_EQ(DecodeWithImageMagick(path, i), RGBPixels(pages[i]));
  }
}

}  // namespace
}  // namespace pagewell
