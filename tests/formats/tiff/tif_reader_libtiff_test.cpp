// Files that libtiff writes, in every compression the reader takes, in
// both byte orders and both fill orders, must decode to the pixels libtiff
// was given.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "formats/tiff/tif_image.h"
#include "tiff_test_support.h"

namespace pagewell {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace tifftest;

bool HaveTools() { return HaveTool("tiffcp") && HaveTool("convert"); }

TRaster Decode(const Bytes& file, std::uint32_t page = 1) {
  TTIFImage tif;
  tif.PageToRead = page;
  tif.LoadFromBytes(file);
  TRaster raster;
  tif.AssignTo(raster);
  return raster;
}

std::vector<TColor> Palette(int n, bool gray) {
  std::vector<TColor> p(n);
  for (int i = 0; i < n; ++i) {
    const int v = i * 255 / (n - 1);
    p[i] = gray ? RGBColor(v, v, v) : RGBColor(v, (v * 3) & 0xFF, 255 - v);
  }
  return p;
}

struct TSource {
  const char* name;
  TRaster bitmap;
  std::vector<const char*> options;  // tiffcp options, each one output file
};

std::vector<TSource> Sources() {
  const std::vector<const char*> common = {"-c none", "-c packbits", "-c lzw", "-c none -B", "-c lzw -B -r 3",
                                           "-c packbits -r 1"};
  std::vector<TSource> sources = {
      {"black-white", BlackWhitePage(301, 77, 1), common},
      {"gray 8", RandomRaster(45, 23, TPixelFormat::pf8bit, Palette(256, true), 2), common},
      {"gray 4", RandomRaster(45, 23, TPixelFormat::pf4bit, Palette(16, true), 3), common},
      {"palette 8", RandomRaster(45, 23, TPixelFormat::pf8bit, Palette(256, false), 4), common},
      {"palette 4", RandomRaster(45, 23, TPixelFormat::pf4bit, Palette(16, false), 5), common},
      {"RGB", RandomRaster(45, 23, TPixelFormat::pf24bit, {}, 6), common},
  };
  for (const char* bilevel : {"-c g3", "-c g3:2d", "-c g3:fill", "-c g3:2d:fill", "-c g4", "-c g4 -B", "-c g4 -r 10",
                              "-c g3:2d -r 7 -f lsb2msb", "-c g4 -f lsb2msb", "-c packbits -f lsb2msb"}) {
    sources[0].options.push_back(bilevel);
  }
  for (std::size_t i : {1u, 3u, 5u}) {
    sources[i].options.push_back("-c lzw:2");
    sources[i].options.push_back("-c lzw:2 -B -r 5");
  }
  return sources;
}

TEST(TIFReaderWithLibtiff, DecodesWhatLibtiffWritesInEveryCompression) {
  if (!HaveTools()) GTEST_SKIP() << "libtiff tools or ImageMagick missing";
  TTempDir dir;
  for (const TSource& source : Sources()) {
    TTIFImage tif;
    tif.Assign(source.bitmap);
    const std::string original = dir.File("original.tif");
    WriteFileBytes(original, tif.SaveToBytes());
    for (const char* options : source.options) {
      SCOPED_TRACE(std::string(source.name) + ": tiffcp " + options);
      const std::string copy = dir.File("copy.tif");
      std::string output;
      ASSERT_EQ(RunCommand(std::string("tiffcp ") + options + " '" + original + "' '" + copy + "'", &output), 0) << output;
      const Bytes file = ReadFileBytes(copy);
      EXPECT_EQ(RGBPixels(Decode(file)), RGBPixels(source.bitmap));
    }
  }
}

TEST(TIFReaderWithLibtiff, ReadsEveryPageOfALibtiffMultiPageFile) {
  if (!HaveTools()) GTEST_SKIP() << "libtiff tools or ImageMagick missing";
  TTempDir dir;
  const std::vector<TRaster> pages = {BlackWhitePage(100, 50, 1), RandomRaster(20, 10, TPixelFormat::pf24bit, {}, 2)};
  std::string inputs;
  for (std::size_t i = 0; i < pages.size(); ++i) {
    TTIFImage tif;
    tif.Assign(pages[i]);
    const std::string path = dir.File("page" + std::to_string(i) + ".tif");
    WriteFileBytes(path, tif.SaveToBytes());
    inputs += " '" + path + "'";
  }
  std::string output;
  ASSERT_EQ(RunCommand("tiffcp -c lzw -B" + inputs + " '" + dir.File("all.tif") + "'", &output), 0) << output;
  const Bytes file = ReadFileBytes(dir.File("all.tif"));
  for (std::uint32_t page = 1; page <= pages.size(); ++page) {
    EXPECT_EQ(RGBPixels(Decode(file, page)), RGBPixels(pages[page - 1]));
  }
}

// ImageMagick's CMYK file, converted by the reader's formula from the ink
// values ImageMagick reports.
TEST(TIFReaderWithLibtiff, SeparatedFilesFollowTheInkFormula) {
  if (!HaveTools()) GTEST_SKIP() << "libtiff tools or ImageMagick missing";
  TTempDir dir;
  const std::string cmyk = dir.File("cmyk.tif");
  std::string output;
  ASSERT_EQ(RunCommand("convert -size 17x5 gradient:red-cyan -colorspace cmyk -depth 8 -compress lzw '" + cmyk + "'", &output), 0)
      << output;
  ASSERT_EQ(RunCommand("convert '" + cmyk + "' -depth 8 cmyk:'" + dir.File("inks") + "'", &output), 0) << output;
  const Bytes inks = ReadFileBytes(dir.File("inks"));
  const TRaster raster = Decode(ReadFileBytes(cmyk));
  ASSERT_EQ(inks.size(), 17u * 5 * 4);
  auto light = [](int ink, int black) {
    const int covered = static_cast<int>(std::lround(ink * (255 - black) / 255.0 + black));
    return 255 - std::min(255, covered);
  };
  for (int i = 0; i < 17 * 5; ++i) {
    const std::uint8_t* p = &inks[4 * i];
    EXPECT_EQ(raster.PixelColor(i % 17, i / 17), RGBColor(light(p[0], p[3]), light(p[1], p[3]), light(p[2], p[3])));
  }
}

}  // namespace
}  // namespace pagewell
