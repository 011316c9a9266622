#include <gtest/gtest.h>

#include <functional>

#include "formats/tiff/bit_writer.h"
#include "formats/tiff/ccitt_codes.h"
#include "formats/tiff/ccitt_group4_encoder.h"
#include "formats/tiff/tif_image.h"
#include "formats/tiff/tif_list.h"
#include "formats/tiff/tiff_errors.h"
#include "formats/tiff/tiff_pages.h"
#include "tiff_file_builder.h"
#include "tiff_test_support.h"

namespace pagewell {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace tifftest;

TRaster Decode(const Bytes& file, std::uint32_t page = 1) {
  TTIFImage tif;
  tif.PageToRead = page;
  tif.LoadFromBytes(file);
  TRaster raster;
  tif.AssignTo(raster);
  return raster;
}

// The message of the EInvalidGraphic that loading and decoding raise, or "".
std::string ReadError(const Bytes& file, std::uint32_t page = 1, bool lzw = true) {
  try {
    TTIFImage tif;
    tif.PageToRead = page;
    tif.LzwReadingEnabled = lzw;
    tif.LoadFromBytes(file);
    TRaster raster;
    tif.AssignTo(raster);
  } catch (const EInvalidGraphic& e) {
    return e.what();
  }
  return "";
}

std::vector<TColor> Ramp(int n, bool colour) {
  std::vector<TColor> p(n);
  for (int i = 0; i < n; ++i) {
    const int v = i * 255 / (n - 1);
    p[i] = colour ? RGBColor(v, 255 - v, (v * 7) & 0xFF) : RGBColor(v, v, v);
  }
  return p;
}

Bytes Written(const TRaster& bitmap, std::uint16_t compression) {
  TTIFImage tif;
  tif.Compression = compression;
  tif.Assign(bitmap);
  tif.XDpi = 300;
  tif.YDpi = 150;
  return tif.SaveToBytes();
}

TEST(TIFImageRead, DecodesEveryPageTheWriterMakes) {
  struct Case {
    const char* name;
    TRaster bitmap;
  };
  const Case cases[] = {
      {"black-white", BlackWhitePage(203, 61, 1)},
      {"two colours", RandomRaster(31, 9, TPixelFormat::pf1bit, {RGBColor(9, 99, 199), RGBColor(250, 1, 2)}, 2)},
      {"gray 16", RandomRaster(31, 9, TPixelFormat::pf4bit, Ramp(16, false), 3)},
      {"gray 256", RandomRaster(31, 9, TPixelFormat::pf8bit, Ramp(256, false), 4)},
      {"palette 16", RandomRaster(31, 9, TPixelFormat::pf4bit, Ramp(16, true), 5)},
      {"palette 256", RandomRaster(31, 9, TPixelFormat::pf8bit, Ramp(256, true), 6)},
      {"true colour", RandomRaster(31, 9, TPixelFormat::pf24bit, {}, 7)},
  };
  for (const Case& c : cases) {
    for (std::uint16_t compression : {tiff::compNone, tiff::compPackBits, tiff::compCCITTGroup4}) {
      SCOPED_TRACE(std::string(c.name) + ", compression " + std::to_string(compression));
      const Bytes file = Written(c.bitmap, compression);
      TTIFImage tif;
      tif.LoadFromBytes(file);
      EXPECT_EQ(tif.ImageWidth, static_cast<std::uint32_t>(c.bitmap.Width()));
      EXPECT_EQ(tif.XDpi, 300);
      EXPECT_EQ(tif.YDpi, 150);
      TRaster raster;
      tif.AssignTo(raster);
      EXPECT_EQ(RGBPixels(raster), RGBPixels(c.bitmap));
    }
  }
}

TEST(TIFImageRead, PageSelectionFollowsTheLinks) {
  TTIFList list;
  for (int width : {5, 6, 7}) {
    auto tif = std::make_unique<TTIFImage>();
    tif->Assign(BlackWhitePage(width, 3, width));
    list.Add(std::move(tif));
  }
  const Bytes file = list.SaveToBytes();
  EXPECT_EQ(CountTiffPages(file), 3);
  for (std::uint32_t page = 1; page <= 3; ++page) {
    EXPECT_EQ(Decode(file, page).Width(), static_cast<int>(page + 4));
    EXPECT_EQ(RGBPixels(Decode(file, page)), RGBPixels(BlackWhitePage(page + 4, 3, page + 4)));
  }
  EXPECT_EQ(ReadError(file, 4), "TIFF file error - cannot find requested page");

  // A two-page file asked for page 3, and a link that loops back.
  TTIFList two;
  for (int i = 0; i < 2; ++i) {
    auto tif = std::make_unique<TTIFImage>();
    tif->Assign(BlackWhitePage(8, 2, 1));
    two.Add(std::move(tif));
  }
  Bytes looped = two.SaveToBytes();
  EXPECT_EQ(ReadError(looped, 3), "TIFF file error - cannot find requested page");
  const std::uint32_t second = U32(looped, 8 + 2 + 13 * 12);
  looped[second + 2 + 13 * 12] = 8;  // the second page links back to the first
  EXPECT_EQ(ReadError(looped, 3), "TIFF file error - cannot find requested page");
  EXPECT_EQ(CountTiffPages(looped), 2);
}

TEST(TIFImageRead, BigEndianFilesReadEveryValueMostSignificantByteFirst) {
  // 16-bit RGB: the high byte of each sample is first in "MM" files.
  const Bytes samples = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC};
  for (bool bigEndian : {false, true}) {
    SCOPED_TRACE(bigEndian ? "MM" : "II");
    TTiffFileBuilder b = UncompressedPage(1, 1, tiff::phRGB, {16, 16, 16}, samples, bigEndian);
    b.Set(tiff::tagXResolution, tiff::ftRational, {600, 2});
    const TRaster raster = Decode(b.Build());
    ASSERT_EQ(raster.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_EQ(raster.PixelColor(0, 0), bigEndian ? RGBColor(0x12, 0x56, 0x9A) : RGBColor(0x34, 0x78, 0xBC));
    TTIFImage tif;
    tif.LoadFromBytes(b.Build());
    EXPECT_EQ(tif.XDpi, 300);
  }
}

TEST(TIFImageRead, GrayIsInvertedForWhiteIsZero) {
  struct Case {
    std::uint16_t photometric;
    std::vector<std::uint32_t> bits;
    Bytes strip;
    std::vector<TColor> expected;
  };
  const Case cases[] = {
      {1, {8}, {0, 200, 255}, {RGBColor(0, 0, 0), RGBColor(200, 200, 200), clWhite}},
      {0, {8}, {0, 200, 255}, {clWhite, RGBColor(55, 55, 55), clBlack}},
      {1, {4}, {0x1F, 0x80}, {RGBColor(17, 17, 17), clWhite, RGBColor(136, 136, 136)}},
      {0, {4}, {0x1F, 0x80}, {RGBColor(238, 238, 238), clBlack, RGBColor(119, 119, 119)}},
      {1, {8, 8}, {10, 99, 20, 99, 30, 99}, {RGBColor(10, 10, 10), RGBColor(20, 20, 20), RGBColor(30, 30, 30)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.photometric) + "/" + std::to_string(c.bits[0]) + "x" + std::to_string(c.bits.size()));
    const TRaster raster = Decode(UncompressedPage(3, 1, c.photometric, c.bits, c.strip).Build());
    for (int x = 0; x < 3; ++x) EXPECT_EQ(raster.PixelColor(x, 0), c.expected[x]) << x;
  }
}

TEST(TIFImageRead, ColourMapsOf8And16BitValues) {
  // 1-bit palette: map values all below 256 are taken as they stand ...
  std::vector<std::uint32_t> small = {10, 250, 20, 240, 30, 230};
  TTiffFileBuilder b = UncompressedPage(2, 1, tiff::phPalette, {1}, {0x40});
  b.Set(tiff::tagColorMap, tiff::ftShort, small);
  TRaster raster = Decode(b.Build());
  EXPECT_EQ(raster.PixelColor(0, 0), RGBColor(10, 20, 30));
  EXPECT_EQ(raster.PixelColor(1, 0), RGBColor(250, 240, 230));
  // ... otherwise divided by 257 and rounded half up (128.5 -> 129).
  b.Set(tiff::tagColorMap, tiff::ftShort, {0, 65535, 257 * 128 + 129, 256, 0, 0});
  raster = Decode(b.Build());
  EXPECT_EQ(raster.PixelColor(0, 0), RGBColor(0, 129, 0));
  EXPECT_EQ(raster.PixelColor(1, 0), RGBColor(255, 1, 0));
}

TEST(TIFImageRead, SeparatedInksBecomeRGB) {
  // C, M, Y, K per pixel; R = 255 - min(255, round(C (255 - K) / 255 + K)).
  TTiffFileBuilder b = UncompressedPage(3, 1, tiff::phSeparated, {8, 8, 8, 8}, {0, 0, 0, 0, 255, 128, 0, 0, 100, 50, 200, 60});
  const TRaster raster = Decode(b.Build());
  EXPECT_EQ(raster.PixelColor(0, 0), clWhite);
  EXPECT_EQ(raster.PixelColor(1, 0), RGBColor(0, 127, 255));
  // C 100 K 60: round(100 × 195 / 255 + 60) = round(136.47) = 136 -> 119.
  EXPECT_EQ(raster.PixelColor(2, 0), RGBColor(119, 157, 42));
}

TEST(TIFImageRead, PredictorAddsEachSampleToTheOneBefore) {
  TTiffFileBuilder b = UncompressedPage(3, 1, tiff::phRGB, {8, 8, 8}, {10, 20, 30, 1, 2, 3, 250, 250, 250});
  b.Set(tiff::tagPredictor, tiff::ftShort, {2});
  const TRaster raster = Decode(b.Build());
  EXPECT_EQ(raster.PixelColor(1, 0), RGBColor(11, 22, 33));
  EXPECT_EQ(raster.PixelColor(2, 0), RGBColor(5, 16, 27));
}

TEST(TIFImageRead, DefaultsApplyToMissingEntries) {
  // No Compression, no PhotometricInterpretation, no BitsPerSample: an
  // uncompressed WhiteIsZero bilevel page, so bit 1 is black.
  TTiffFileBuilder b = UncompressedPage(8, 1, 0, {1}, {0x0F});
  b.Remove(tiff::tagCompression);
  b.Remove(tiff::tagPhotometric);
  b.Remove(tiff::tagBitsPerSample);
  b.Remove(tiff::tagSamplesPerPixel);
  b.Remove(tiff::tagRowsPerStrip);
  TTIFImage tif;
  tif.LoadFromBytes(b.Build());
  EXPECT_EQ(tif.Compression, 1);
  EXPECT_EQ(tif.Photometric, 0);
  EXPECT_EQ(tif.RowsPerStrip, 0xFFFFFFFFu);
  EXPECT_EQ(tif.XDpi, 0);
  TRaster raster;
  tif.AssignTo(raster);
  EXPECT_EQ(raster.PixelColor(0, 0), clWhite);
  EXPECT_EQ(raster.PixelColor(7, 0), clBlack);
}

// Modified Huffman rows coded here from the code tables: each row one-
// dimensional, starting on a byte.
Bytes ModifiedHuffman(const TRaster& page) {
  Bytes data;
  TBitWriter out(data);
  for (int y = 0; y < page.Height(); ++y) {
    int x = 0;
    bool white = true;
    while (x < page.Width() || white) {
      int run = 0;
      while (x + run < page.Width() && (page.PixelIndex(x + run, y) == 1) == white) ++run;
      const TRunColor color = white ? TRunColor::White : TRunColor::Black;
      for (int left = run; ; ) {
        if (left >= 64) {
          const int makeUp = std::min(left / 64 * 64, kCCITTMaxMakeUp);
          out.Put(MakeUpCode(color, makeUp));
          left -= makeUp;
          continue;
        }
        out.Put(TerminatingCode(color, left));
        break;
      }
      x += run;
      white = !white;
      if (x >= page.Width()) break;
    }
    out.Flush();
  }
  return data;
}

TEST(TIFImageRead, ModifiedHuffmanRowsStartOnAByte) {
  const TRaster page = BlackWhitePage(3000, 9, 5);
  TTiffFileBuilder mh = UncompressedPage(3000, 9, tiff::phWhiteIsZero, {1}, ModifiedHuffman(page));
  mh.Set(tiff::tagCompression, tiff::ftShort, {2});
  EXPECT_EQ(RGBPixels(Decode(mh.Build())), RGBPixels(page));
}

TEST(TIFImageRead, Group4DataEndingEarlyKeepsTheRowsDecoded) {
  TRaster page = BlackWhitePage(64, 40, 9);
  Bytes g4 = EncodeGroup4(page);
  // Cut the data in the middle: the rows before the cut decode, the rest is white.
  g4.resize(g4.size() / 2);
  TTiffFileBuilder b = UncompressedPage(64, 40, tiff::phWhiteIsZero, {1}, g4);
  b.Set(tiff::tagCompression, tiff::ftShort, {4});
  const TRaster raster = Decode(b.Build());
  int complete = 0;
  while (complete < 40 && std::equal(raster.ScanLine(complete), raster.ScanLine(complete) + 8, page.ScanLine(complete))) {
    ++complete;
  }
  EXPECT_GT(complete, 5);
  EXPECT_LT(complete, 40);
  for (int y = complete + 1; y < 40; ++y) {
    for (int x = 0; x < 64; ++x) ASSERT_EQ(raster.PixelColor(x, y), clWhite) << x << "," << y;
  }

  // The same with two strips: the first is cut, the second decodes whole.
  TRaster half(64, 20, TPixelFormat::pf1bit);
  half.SetPaletteKeepingIndices({clBlack, clWhite});
  half.Draw(page, 0, -20);
  Bytes first = EncodeGroup4(BlackWhitePage(64, 20, 3));
  first.resize(3);
  TTiffFileBuilder two;
  two.AddStrip(first);
  two.AddStrip(EncodeGroup4(half));
  two.Set(tiff::tagImageWidth, tiff::ftShort, {64});
  two.Set(tiff::tagImageLength, tiff::ftShort, {40});
  two.Set(tiff::tagCompression, tiff::ftShort, {4});
  two.Set(tiff::tagPhotometric, tiff::ftShort, {0});
  two.Set(tiff::tagRowsPerStrip, tiff::ftShort, {20});
  two.SetStripEntries();
  const TRaster both = Decode(two.Build());
  for (int y = 20; y < 40; ++y) {
    for (int x = 0; x < 64; ++x) ASSERT_EQ(both.PixelColor(x, y), page.PixelColor(x, y)) << x << "," << y;
  }
}

TEST(TIFImageRead, FileMetadataReachesThePage) {
  TTIFImage tif;
  tif.Assign(BlackWhitePage(8, 2, 1));
  tif.XDpi = 200;
  tif.YDpi = 200;
  tif.Exif.SetValue("Software", "Pagewell");
  tif.Exif.SetValue("Orientation", "1");
  tif.IccProfile.Data = {9, 8, 7, 6, 5};
  const TluBitmap page = ReadTiffPage(tif.SaveToBytes(), 1);
  EXPECT_EQ(page.ColorMode, cmBlackWhite);
  EXPECT_EQ(page.XDpi(), 200);
  EXPECT_EQ(page.Exif.Value("Software"), "Pagewell");
  EXPECT_EQ(page.Exif.Value("Orientation"), "1");
  EXPECT_EQ(page.IccProfile.Data, (Bytes{9, 8, 7, 6, 5}));
}

TEST(TIFPages, MultiPageApiWritesWhatReadTiffPageReads) {
  TluBitmap bw;
  bw.Assign(BlackWhitePage(40, 20, 4));
  bw.DetectColorMode();
  bw.SetXDpi(300);
  bw.SetYDpi(300);
  TluBitmap colour;
  colour.Assign(RandomRaster(10, 10, TPixelFormat::pf24bit, {}, 5));
  colour.DetectColorMode();
  EXPECT_EQ(MultiPageCompressionFor(bw), tiff::compCCITTGroup4);
  EXPECT_EQ(MultiPageCompressionFor(colour), tiff::compNone);
  TTIFList list;
  list.Add(MakeTiffPage(bw, MultiPageCompressionFor(bw)));
  list.Add(MakeTiffPage(colour, MultiPageCompressionFor(colour)));
  const Bytes file = list.SaveToBytes();
  ASSERT_EQ(CountTiffPages(file), 2);
  const TluBitmap first = ReadTiffPage(file, 1), second = ReadTiffPage(file, 2);
  EXPECT_EQ(RGBPixels(first), RGBPixels(bw));
  EXPECT_EQ(first.XDpi(), 300);
  EXPECT_EQ(RGBPixels(second), RGBPixels(colour));
  EXPECT_EQ(second.ColorMode, cmTrueColor);
}

struct TErrorCase {
  const char* expected;
  std::function<void(TTiffFileBuilder&)> change;
};

TEST(TIFImageRead, RefusesBadFilesWithTheirMessages) {
  using B = TTiffFileBuilder;
  const TErrorCase cases[] = {
      {"Error in TIFF file ImageWidth data", [](B& b) { b.Set(256, tiff::ftRational, {1, 1}); }},
      {"Error in TIFF file ImageLength data", [](B& b) { b.Set(257, tiff::ftLong, {1, 2}); }},
      {"Error in TIFF file BitsPerSample data", [](B& b) { b.Set(258, tiff::ftAscii, {8}); }},
      {"Error in TIFF file Compression data", [](B& b) { b.Set(259, tiff::ftByte, {1}); }},
      {"Error in TIFF file PhotometricInterpretation data", [](B& b) { b.Set(262, tiff::ftShort, {1, 1}); }},
      {"Error in TIFF file FillOrder data", [](B& b) { b.Set(266, tiff::ftRational, {1, 1}); }},
      {"Error in TIFF file StripOffsets data", [](B& b) { b.Set(273, tiff::ftByte, {8}); }},
      {"Error in TIFF file SamplesPerPixel data", [](B& b) { b.Set(277, tiff::ftShort, {1, 1}); }},
      {"Error in TIFF file RowsPerStrip data", [](B& b) { b.Set(278, tiff::ftShort, {0}); }},
      {"Error in TIFF file StripByteCounts data", [](B& b) { b.SetRaw(279, tiff::ftLong, 2, 0xFFFFFF00); }},
      {"Error in TIFF file XResolution data", [](B& b) { b.Set(282, tiff::ftLong, {300}); }},
      {"Error in TIFF file YResolution data", [](B& b) { b.SetRaw(283, tiff::ftRational, 1, 0x7FFFFFF0); }},
      {"Error in TIFF file PlanarConfiguration data", [](B& b) { b.Set(284, tiff::ftAscii, {1}); }},
      {"Error in TIFF file ResolutionUnit data", [](B& b) { b.Set(296, tiff::ftShort, {2, 2}); }},
      {"Error in TIFF file Predictor data", [](B& b) { b.Set(317, tiff::ftRational, {2, 1}); }},
      {"Error in TIFF file ColorMap data", [](B& b) { b.Set(320, tiff::ftLong, {1, 2, 3}); }},
      {"Error in TIFF file InkSet data", [](B& b) { b.Set(332, tiff::ftShort, {1, 1}); }},
      {"Error in TIFF file NumberOfInks data", [](B& b) { b.Set(334, tiff::ftAscii, {4}); }},
      {"TIFF file has missing image Width/Height", [](B& b) { b.Remove(256); }},
      {"TIFF file has missing image Width/Height", [](B& b) { b.Set(257, tiff::ftLong, {0}); }},
      {"TIFF file has missing PhotometricInterpretation data", [](B& b) { b.Remove(262); }},
      {"TIFF file has missing StripOffsets data", [](B& b) { b.Remove(273); }},
      {"TIFF file has missing StripByteCounts data", [](B& b) { b.Remove(279); }},
      {"TIFF file has errors in strip counts", [](B& b) { b.Set(278, tiff::ftLong, {1}); }},
      {"TIFF file has errors in strip counts", [](B& b) { b.Set(279, tiff::ftLong, {6, 6}); }},
      {"JPEG Compression not supported", [](B& b) { b.Set(259, tiff::ftShort, {6}); }},
      {"Unknown or unsupported Compression method", [](B& b) { b.Set(259, tiff::ftShort, {8}); }},
      {"Unknown or unsupported Compression method", [](B& b) { b.Set(259, tiff::ftShort, {4}); }},
      {"TIFF file checksum error", [](B& b) { b.Set(279, tiff::ftLong, {5}); }},
      {"TIFF file colour depth not supported", [](B& b) { b.Set(258, tiff::ftShort, {16}); }},
      {"TIFF file error in grayscale image data", [](B& b) {
         b.Set(258, tiff::ftShort, {8, 8, 8});
         b.Set(277, tiff::ftShort, {3});
       }},
      {"TIFF file error in RGB image data", [](B& b) { b.Set(262, tiff::ftShort, {2}); }},
      {"TIFF file error in palette image data", [](B& b) { b.Set(262, tiff::ftShort, {3}); }},
      {"TIFF file Separated image format not supported", [](B& b) { b.Set(262, tiff::ftShort, {5}); }},
      {"TIFF file YCbCr format not supported", [](B& b) { b.Set(262, tiff::ftShort, {6}); }},
      {"TIFF file PhotometricInterpretation value not supported", [](B& b) { b.Set(262, tiff::ftShort, {4}); }},
      {"TIFF file PhotometricInterpretation value not supported", [](B& b) { b.Set(262, tiff::ftShort, {8}); }},
      {"TIFF file has unknown or unsupported format", [](B& b) { b.Set(317, tiff::ftShort, {3}); }},
      {"TIFF file image data corrupted", [](B& b) { b.Set(259, tiff::ftShort, {32773}); }},
      {"TIFF file image is too large", [](B& b) {
         b.Set(256, tiff::ftLong, {1u << 20});
         b.Set(257, tiff::ftLong, {1u << 20});
         b.Set(278, tiff::ftLong, {0xFFFFFFFF});
       }},
  };
  // A 3 × 2 gray page of 6 bytes.
  for (const TErrorCase& c : cases) {
    SCOPED_TRACE(c.expected);
    TTiffFileBuilder b = UncompressedPage(3, 2, tiff::phBlackIsZero, {8}, {1, 2, 3, 4, 5, 6});
    c.change(b);
    EXPECT_EQ(ReadError(b.Build()), c.expected);
  }
}

TEST(TIFImageRead, RefusesWhatIsNotTiffAndBilevelLayoutsItCannotRead) {
  EXPECT_EQ(ReadError({'I', 'I', 42}), "File is not TIFF format");
  EXPECT_EQ(ReadError({'I', 'I', 43, 0, 8, 0, 0, 0, 0, 0}), "File is not TIFF format");
  EXPECT_EQ(ReadError({'M', 'I', 42, 0, 8, 0, 0, 0, 0, 0}), "File is not TIFF format");
  EXPECT_EQ(ReadError({'M', 'M', 0, 42, 0, 0, 0, 99, 0, 0}), "File is not TIFF format");

  TTiffFileBuilder twoSamples = UncompressedPage(8, 1, tiff::phBlackIsZero, {1, 1}, {0, 0});
  EXPECT_EQ(ReadError(twoSamples.Build()), "TIFF file error in bilevel image data");

  TTiffFileBuilder lzw = UncompressedPage(8, 1, tiff::phBlackIsZero, {1}, {0x80, 0x00});
  lzw.Set(tiff::tagCompression, tiff::ftShort, {5});
  EXPECT_EQ(ReadError(lzw.Build(), 1, false), "Reading of LZW-compressed files not supported");
  // 9-bit code 0x101 (end of information) before any data: too few rows.
  EXPECT_EQ(ReadError(lzw.Build(), 1, true), "TIFF file image data corrupted");

  // Group 4 data with a code that does not exist (0000001 starts the
  // uncompressed-mode extension this reader does not take).
  TTiffFileBuilder g4 = UncompressedPage(8, 1, tiff::phWhiteIsZero, {1}, {0x02, 0x00, 0x00});
  g4.Set(tiff::tagCompression, tiff::ftShort, {4});
  EXPECT_EQ(ReadError(g4.Build()), "TIFF file image data corrupted");
}

TEST(TIFImageRead, FailedLoadKeepsThePageAsItWas) {
  TTIFImage tif;
  tif.LoadFromBytes(Written(BlackWhitePage(10, 10, 1), 1));
  EXPECT_THROW(tif.LoadFromBytes({'I', 'I', 42, 0, 99, 0, 0, 0}), EInvalidGraphic);
  EXPECT_EQ(tif.ImageWidth, 10u);
  TRaster raster;
  tif.AssignTo(raster);
  EXPECT_EQ(raster.Width(), 10);
  TRaster untouched(3, 3, TPixelFormat::pf8bit);
  TTIFImage empty;
  EXPECT_THROW(empty.AssignTo(untouched), EInvalidGraphic);
  EXPECT_EQ(untouched.Width(), 3);
}

TEST(TIFImageRead, LoadFromStreamReadsFromThePosition) {
  const Bytes file = Written(BlackWhitePage(12, 5, 2), 4);
  TMemoryStream stream;
  stream.WriteString("junk");
  stream.Write(file.data(), file.size());
  stream.Seek(4);
  TTIFImage tif;
  tif.LoadFromStream(stream);
  TRaster raster;
  tif.AssignTo(raster);
  EXPECT_EQ(RGBPixels(raster), RGBPixels(BlackWhitePage(12, 5, 2)));
}

}  // namespace
}  // namespace pagewell
