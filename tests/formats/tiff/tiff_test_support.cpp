#include "tiff_test_support.h"

#include <gtest/gtest.h>

#include <random>

namespace pagewell::tifftest {

TRaster BlackWhitePage(int width, int height, unsigned seed) {
  TRaster page(width, height, TPixelFormat::pf1bit);
  page.SetPaletteKeepingIndices({clBlack, clWhite});
  page.FillRect(0, 0, width, height, clWhite);
  std::mt19937 random(seed);
  auto below = [&](int n) { return n > 0 ? static_cast<int>(random() % static_cast<unsigned>(n)) : 0; };
  // Blocks and strokes of many sizes exercise every coding mode.
  for (int i = 0; i < (width * height) / 400 + 4; ++i) {
    const int x = below(width), y = below(height);
    const int w = 1 + below(i % 7 == 0 ? width : 12), h = 1 + below(i % 5 == 0 ? 30 : 4);
    page.FillRect(x, y, x + w, y + h, clBlack);
  }
  for (int i = 0; i < (width * height) / 200; ++i) page.SetPixelIndex(below(width), below(height), below(2));
  return page;
}

TRaster RandomRaster(int width, int height, TPixelFormat format, const std::vector<TColor>& palette, unsigned seed) {
  TRaster raster(width, height, format);
  if (IsPaletteFormat(format)) raster.SetPaletteKeepingIndices(palette);
  std::mt19937 random(seed);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = raster.ScanLine(y);
    for (std::size_t i = 0; i < raster.RowBytes(); ++i) {
      // Runs of equal bytes as well as noise, so PackBits meets both.
      row[i] = (y % 3 == 0 && i > 0 && random() % 4 != 0) ? row[i - 1] : static_cast<std::uint8_t>(random());
    }
  }
  return raster;
}

std::uint16_t U16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint16_t>(b.at(at) | b.at(at + 1) << 8);
}

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return U16(b, at) | static_cast<std::uint32_t>(U16(b, at + 2)) << 16;
}

TEntryView FindEntry(const std::vector<std::uint8_t>& file, std::uint32_t ifd, std::uint16_t tag) {
  const int count = U16(file, ifd);
  for (int i = 0; i < count; ++i) {
    const std::size_t at = ifd + 2 + 12 * i;
    if (U16(file, at) == tag) return {U16(file, at + 2), U32(file, at + 4), U32(file, at + 8)};
  }
  ADD_FAILURE() << "tag " << tag << " missing";
  return {};
}

std::vector<std::uint16_t> EntryTags(const std::vector<std::uint8_t>& file, std::uint32_t ifd) {
  std::vector<std::uint16_t> tags;
  for (int i = 0; i < U16(file, ifd); ++i) tags.push_back(U16(file, ifd + 2 + 12 * i));
  return tags;
}

std::vector<std::uint8_t> SingleStrip(const std::vector<std::uint8_t>& file, std::uint32_t ifd) {
  const std::uint32_t offset = FindEntry(file, ifd, 273).value;
  const std::uint32_t count = FindEntry(file, ifd, 279).value;
  return {file.begin() + offset, file.begin() + offset + count};
}

int RunCommand(const std::string& command, std::string* output) {
  const testing::TCommandResult result = testing::RunCommand(command);
  if (output) *output = result.output;
  return result.exitCode;
}

void ExpectDirectory(const std::vector<std::uint8_t>& file, std::uint32_t ifd,
                     const std::vector<TExpectedEntry>& expected) {
  ASSERT_EQ(U16(file, ifd), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const std::size_t at = ifd + 2 + 12 * i;
    SCOPED_TRACE("entry " + std::to_string(i) + ", tag " + std::to_string(expected[i].tag));
    EXPECT_EQ(U16(file, at), expected[i].tag);
    EXPECT_EQ(U16(file, at + 2), expected[i].type);
    EXPECT_EQ(U32(file, at + 4), expected[i].count);
    EXPECT_EQ(U32(file, at + 8), expected[i].value);
  }
}

std::vector<std::uint8_t> DecodeWithImageMagick(const std::string& path, int page) {
  const std::string raw = path + ".rgb";
  std::string output;
  const int rc = RunCommand("convert '" + path + "[" + std::to_string(page) + "]' -depth 8 rgb:'" + raw + "'", &output);
  EXPECT_EQ(rc, 0) << output;
  return ReadFileBytes(raw);
}

std::vector<std::uint8_t> RGBPixels(const TRaster& raster) {
  std::vector<std::uint8_t> rgb;
  rgb.reserve(static_cast<std::size_t>(raster.Width()) * raster.Height() * 3);
  for (int y = 0; y < raster.Height(); ++y) {
    for (int x = 0; x < raster.Width(); ++x) {
      const TColor c = raster.PixelColor(x, y);
      rgb.push_back(RedOf(c));
      rgb.push_back(GreenOf(c));
      rgb.push_back(BlueOf(c));
    }
  }
  return rgb;
}

}  // namespace pagewell::tifftest
