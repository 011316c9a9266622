#include "formats/tiff/ccitt_group4_encoder.h"

#include <gtest/gtest.h>

#include <string>

#include "formats/tiff/ccitt_codes.h"
#include "formats/tiff/tif_image.h"
#include "tiff_test_support.h"

namespace pagewell {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace tifftest;

std::string BitsOf(TCCITTCode code) {
  std::string s;
  for (int i = code.length - 1; i >= 0; --i) s += ((code.bits >> i) & 1) ? '1' : '0';
  return s;
}

TRaster WhitePage(int width, int height) {
  TRaster page(width, height, TPixelFormat::pf1bit);
  page.SetPaletteKeepingIndices({clBlack, clWhite});
  page.FillRect(0, 0, width, height, clWhite);
  return page;
}

// Every run-length table must be a prefix code, or the decoder would read
// one code where another was meant.
TEST(CCITTCodes, RunLengthCodesOfEachColourArePrefixFree) {
  for (TRunColor color : {TRunColor::White, TRunColor::Black}) {
    std::vector<std::string> codes;
    for (int run = 0; run < 64; ++run) codes.push_back(BitsOf(TerminatingCode(color, run)));
    for (int run = 64; run <= kCCITTMaxMakeUp; run += 64) codes.push_back(BitsOf(MakeUpCode(color, run)));
    codes.push_back(BitsOf(kEOLCode));
    for (std::size_t i = 0; i < codes.size(); ++i) {
      for (std::size_t j = 0; j < codes.size(); ++j) {
        if (i != j) {
          EXPECT_NE(codes[j].rfind(codes[i], 0), 0u) << codes[i] << " prefixes " << codes[j];
        }
      }
    }
  }
}

TEST(EncodeGroup4, WhiteRowsAreOneV0EachThenTheEndOfFacsimileBlock) {
  // 1, 1, then 000000000001 000000000001, padded with zeros.
  EXPECT_EQ(EncodeGroup4(WhitePage(8, 2)), (Bytes{0xC0, 0x04, 0x00, 0x40}));
}

TEST(EncodeGroup4, FirstBlackRowUsesHorizontalModeAgainstTheWhiteReference) {
  TRaster page = WhitePage(16, 1);
  page.FillRect(4, 0, 8, 1, clBlack);
  // Horizontal 001, white 4 = 1011, black 4 = 011; then a1 = b1 = 16, the
  // row's end: V0 = 1. Then the end-of-facsimile block.
  const std::string expected = "001" "1011" "011" "1" "000000000001" "000000000001";
  Bytes bytes;
  for (std::size_t i = 0; i < expected.size(); i += 8) {
    std::string chunk = expected.substr(i, 8);
    chunk.resize(8, '0');
    bytes.push_back(static_cast<std::uint8_t>(std::stoi(chunk, nullptr, 2)));
  }
  EXPECT_EQ(EncodeGroup4(page), bytes);
}

TEST(EncodeGroup4, CodesByColourWhateverThePaletteOrder) {
  TRaster normal = BlackWhitePage(100, 40, 7);
  TRaster inverted = normal;
  inverted.SetPalette({clWhite, clBlack});  // keeps the picture, flips the bits
  ASSERT_NE(normal.ScanLine(0)[0] ^ inverted.ScanLine(0)[0], 0);
  EXPECT_EQ(EncodeGroup4(inverted), EncodeGroup4(normal));
  TRaster gray = normal;
  gray.SetPixelFormat(TPixelFormat::pf8bit);
  EXPECT_EQ(EncodeGroup4(gray), EncodeGroup4(normal));
}

TEST(EncodeGroup4, WritesAtTheStreamPosition) {
  TMemoryStream stream;
  stream.WriteString("abc");
  EncodeGroup4(WhitePage(8, 2), stream);
  EXPECT_EQ(stream.Bytes(), (Bytes{'a', 'b', 'c', 0xC0, 0x04, 0x00, 0x40}));
}

// libtiff's own Group 4 coder must produce the same rows, byte for byte,
// when it re-codes our file, and must decode our file to our pixels.
TEST(EncodeGroup4, MatchesLibtiffByteForByte) {
  if (!HaveTool("tiffcp") || !HaveTool("convert")) GTEST_SKIP() << "libtiff tools or ImageMagick missing";
  struct Case {
    int width, height;
    unsigned seed;
  };
  // Widths past 2560 and 5120 need repeated make-up codes.
  for (const Case c : {Case{1, 1, 1}, Case{7, 3, 2}, Case{33, 17, 3}, Case{640, 480, 4}, Case{2550, 300, 5},
                       Case{6000, 40, 6}}) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    TRaster page = BlackWhitePage(c.width, c.height, c.seed);
    if (c.width == 6000) page.FillRect(100, 10, 5900, 12, clBlack);  // a black run of 5800
    TTIFImage tif;
    tif.Compression = tiff::compCCITTGroup4;
    tif.Assign(page);
    TTempDir dir;
    WriteFileBytes(dir.File("ours.tif"), tif.SaveToBytes());
    std::string output;
    ASSERT_EQ(RunCommand("tiffcp -c g4 " + dir.File("ours.tif") + " " + dir.File("libtiff.tif"), &output), 0) << output;
    const Bytes libtiff = ReadFileBytes(dir.File("libtiff.tif"));
    EXPECT_EQ(SingleStrip(libtiff, U32(libtiff, 4)), tif.StripData());
    EXPECT_EQ(DecodeWithImageMagick(dir.File("ours.tif")), RGBPixels(page));
  }
}

}  // namespace
}  // namespace pagewell
