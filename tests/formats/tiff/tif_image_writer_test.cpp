#include <gtest/gtest.h>

#include "formats/tiff/tif_image.h"
#include "formats/tiff/tif_list.h"
#include "imaging/errors.h"
#include "tiff_test_support.h"

namespace pagewell {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace tifftest;

TRaster BlackWhite(int width, int height) { return BlackWhitePage(width, height, 11); }

TTIFImage Encoded(const TRaster& bitmap, std::uint16_t compression, int xDpi = 300, int yDpi = 300) {
  TTIFImage tif;
  tif.Compression = compression;
  tif.Assign(bitmap);
  tif.XDpi = xDpi;
  tif.YDpi = yDpi;
  return tif;
}

// Directory at 8 with 13 entries: data starts at 8 + 2 + 13 × 12 + 4 = 170.
TEST(TIFImageSave, BlackWhitePageHasTheExactBaselineLayout) {
  const TRaster page = BlackWhite(10, 3);  // 2 bytes a row: the strip is 6 bytes
  const Bytes file = Encoded(page, tiff::compNone, 300, 200).SaveToBytes();
  EXPECT_EQ(Bytes(file.begin(), file.begin() + 8), (Bytes{'I', 'I', 42, 0, 8, 0, 0, 0}));
  ExpectDirectory(file, 8,
                  {{256, 4, 1, 10}, {257, 4, 1, 3}, {258, 3, 1, 1}, {259, 3, 1, 1}, {262, 3, 1, 1},
                   {266, 3, 1, 1}, {273, 4, 1, 170}, {277, 3, 1, 1}, {278, 4, 1, 3}, {279, 4, 1, 6},
                   {282, 5, 1, 176}, {283, 5, 1, 184}, {296, 3, 1, 2}});
  EXPECT_EQ(U32(file, 166), 0u);  // no next directory
  EXPECT_EQ(U32(file, 176), 300000u);
  EXPECT_EQ(U32(file, 180), 1000u);
  EXPECT_EQ(U32(file, 184), 200000u);
  EXPECT_EQ(U32(file, 188), 1000u);
  EXPECT_EQ(file.size(), 192u);
  // BlackIsZero: the strip holds the bitmap's bits, the bits past the width cleared.
  for (int y = 0; y < 3; ++y) {
    EXPECT_EQ(file[170 + 2 * y], page.ScanLine(y)[0]);
    EXPECT_EQ(file[171 + 2 * y], page.ScanLine(y)[1] & 0xC0);
  }
}

TEST(TIFImageSave, OddStripIsPaddedSoTheResolutionStartsEven) {
  const Bytes file = Encoded(BlackWhite(8, 3), tiff::compNone).SaveToBytes();
  EXPECT_EQ(FindEntry(file, 8, 279).value, 3u);
  EXPECT_EQ(file[173], 0);
  EXPECT_EQ(FindEntry(file, 8, 282).value, 174u);
  EXPECT_EQ(file.size() % 2, 0u);
}

TEST(TIFImageSave, RGBPageStoresBitsPerSampleFirstAndPixelsRedGreenBlue) {
  TRaster page(2, 1, TPixelFormat::pf24bit);
  page.SetPixelColor(0, 0, RGBColor(1, 2, 3));
  page.SetPixelColor(1, 0, RGBColor(250, 128, 7));
  const Bytes file = Encoded(page, tiff::compNone).SaveToBytes();
  EXPECT_EQ(FindEntry(file, 8, 258).count, 3u);
  EXPECT_EQ(FindEntry(file, 8, 258).value, 170u);
  EXPECT_EQ(Bytes(file.begin() + 170, file.begin() + 176), (Bytes{8, 0, 8, 0, 8, 0}));
  EXPECT_EQ(FindEntry(file, 8, 273).value, 176u);
  EXPECT_EQ(Bytes(file.begin() + 176, file.begin() + 182), (Bytes{1, 2, 3, 250, 128, 7}));
  EXPECT_EQ(FindEntry(file, 8, 262).value, 2u);
  EXPECT_EQ(FindEntry(file, 8, 277).value, 3u);
}

TEST(TIFImageSave, PalettePageEndsWithTheColourMapOfComponentsTimes257) {
  std::vector<TColor> palette(16, clBlack);
  palette[0] = RGBColor(255, 0, 0);
  palette[1] = RGBColor(0, 2, 255);
  TRaster page(3, 1, TPixelFormat::pf4bit);
  page.SetPaletteKeepingIndices(palette);
  page.SetPixelIndex(0, 0, 1);
  page.SetPixelIndex(1, 0, 0);
  page.SetPixelIndex(2, 0, 1);
  const Bytes file = Encoded(page, tiff::compNone).SaveToBytes();
  // 14 entries: data at 8 + 2 + 14 × 12 + 4 = 182; strip 2 bytes, then the
  // two resolutions, then the map.
  const auto map = FindEntry(file, 8, 320);
  EXPECT_EQ(map.type, 3);
  EXPECT_EQ(map.count, 48u);
  EXPECT_EQ(map.value, 182u + 2 + 16);
  EXPECT_EQ(Bytes(file.begin() + 182, file.begin() + 184), (Bytes{0x10, 0x10}));
  EXPECT_EQ(U16(file, map.value), 0xFFFF);           // red of 0
  EXPECT_EQ(U16(file, map.value + 2), 0);            // red of 1
  EXPECT_EQ(U16(file, map.value + 32 + 2), 2 * 257);  // green of 1
  EXPECT_EQ(U16(file, map.value + 64 + 2), 0xFFFF);   // blue of 1
  EXPECT_EQ(file.size(), map.value + 96u);
  EXPECT_EQ(EntryTags(file, 8).back(), 320);
}

TEST(TIFImageAssign, KindPhotometricAndSamplesFollowTheBitmap) {
  std::vector<TColor> gray16(16), gray256(256), colours16(16, RGBColor(9, 8, 7)), colours256(256, RGBColor(1, 2, 3));
  for (int i = 0; i < 16; ++i) gray16[i] = RGBColor(i * 17, i * 17, i * 17);
  for (int i = 0; i < 256; ++i) gray256[i] = RGBColor(i, i, i);
  struct Case {
    const char* name;
    TPixelFormat format;
    std::vector<TColor> palette;
    std::uint16_t compression;
    TTIFKind kind;
    std::uint16_t photometric, bits, samples, writtenCompression;
  };
  const Case cases[] = {
      {"black-white, none", TPixelFormat::pf1bit, {clBlack, clWhite}, 1, TTIFKind::BlackWhite, 1, 1, 1, 1},
      {"black-white, PackBits", TPixelFormat::pf1bit, {clBlack, clWhite}, 32773, TTIFKind::BlackWhite, 1, 1, 1, 32773},
      {"black-white, Group 4", TPixelFormat::pf1bit, {clBlack, clWhite}, 4, TTIFKind::BlackWhite, 0, 1, 1, 4},
      {"white-black, none", TPixelFormat::pf1bit, {clWhite, clBlack}, 1, TTIFKind::BlackWhite, 1, 1, 1, 1},
      {"two colours", TPixelFormat::pf1bit, {RGBColor(200, 0, 0), clWhite}, 1, TTIFKind::Palette, 3, 4, 1, 1},
      {"gray 16", TPixelFormat::pf4bit, gray16, 1, TTIFKind::Gray, 1, 4, 1, 1},
      {"gray 256", TPixelFormat::pf8bit, gray256, 32773, TTIFKind::Gray, 1, 8, 1, 32773},
      {"palette 16", TPixelFormat::pf4bit, colours16, 1, TTIFKind::Palette, 3, 4, 1, 1},
      {"palette 256", TPixelFormat::pf8bit, colours256, 1, TTIFKind::Palette, 3, 8, 1, 1},
      {"true colour", TPixelFormat::pf24bit, {}, 1, TTIFKind::RGB, 2, 8, 3, 1},
      {"32 bits written as 24", TPixelFormat::pf32bit, {}, 1, TTIFKind::RGB, 2, 8, 3, 1},
      {"Group 4 asked of a colour page", TPixelFormat::pf24bit, {}, 4, TTIFKind::RGB, 2, 8, 3, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TRaster bitmap(5, 4, c.format);
    if (IsPaletteFormat(c.format)) bitmap.SetPaletteKeepingIndices(c.palette);
    const TTIFImage tif = Encoded(bitmap, c.compression);
    EXPECT_EQ(tif.Kind, c.kind);
    EXPECT_EQ(tif.Photometric, c.photometric);
    EXPECT_EQ(tif.SamplesPerPixel, c.samples);
    EXPECT_EQ(tif.BitsPerSample, std::vector<std::uint16_t>(c.samples, c.bits));
    EXPECT_EQ(tif.Compression, c.writtenCompression);
    const Bytes file = tif.SaveToBytes();
    EXPECT_EQ(FindEntry(file, 8, 259).value, c.writtenCompression);
    EXPECT_EQ(FindEntry(file, 8, 262).value, c.photometric);
    EXPECT_EQ(FindEntry(file, 8, 278).value, 4u);
  }
}

TEST(TIFImageAssign, RowsAreStoredInTiffSampleOrder) {
  // Gray 4 bits: the top 4 bits of each pixel's gray value, two a byte.
  TRaster gray(3, 1, TPixelFormat::pf4bit);
  std::vector<TColor> grays(16);
  for (int i = 0; i < 16; ++i) grays[i] = RGBColor(255 - i * 16, 255 - i * 16, 255 - i * 16);
  gray.SetPaletteKeepingIndices(grays);
  gray.SetPixelIndex(0, 0, 0);  // 255
  gray.SetPixelIndex(1, 0, 1);  // 239
  gray.SetPixelIndex(2, 0, 15);  // 15
  EXPECT_EQ(Encoded(gray, 1).StripData(), (Bytes{0xFE, 0x00}));

  // Gray 8 bits: the palette entry's gray value.
  TRaster gray8(2, 1, TPixelFormat::pf8bit);
  std::vector<TColor> reversed(256);
  for (int i = 0; i < 256; ++i) reversed[i] = RGBColor(255 - i, 255 - i, 255 - i);
  gray8.SetPaletteKeepingIndices(reversed);
  gray8.SetPixelIndex(0, 0, 0);
  gray8.SetPixelIndex(1, 0, 200);
  EXPECT_EQ(Encoded(gray8, 1).StripData(), (Bytes{255, 55}));

  // Two colours: each pair of pixels becomes left × 16 + right, and the
  // 16-entry map holds the two colours first.
  TRaster two(3, 2, TPixelFormat::pf1bit);
  two.SetPaletteKeepingIndices({RGBColor(10, 20, 30), RGBColor(40, 50, 60)});
  two.SetPixelIndex(0, 0, 1);
  two.SetPixelIndex(2, 1, 1);
  const TTIFImage tif = Encoded(two, 1);
  EXPECT_EQ(tif.StripData(), (Bytes{0x10, 0x00, 0x00, 0x10}));
  ASSERT_EQ(tif.ColorMap().size(), 48u);
  EXPECT_EQ(tif.ColorMap()[0], 10 * 257);
  EXPECT_EQ(tif.ColorMap()[1], 40 * 257);
  EXPECT_EQ(tif.ColorMap()[2], 0);
  EXPECT_EQ(tif.ColorMap()[16 + 1], 50 * 257);
  EXPECT_EQ(tif.ColorMap()[32 + 1], 60 * 257);
}

TEST(TIFImageAssign, WhiteBlackPaletteIsNotWrittenAsANegative) {
  TRaster page = BlackWhite(16, 2);
  TRaster flipped = page;
  flipped.SetPalette({clWhite, clBlack});
  EXPECT_EQ(Encoded(flipped, 1).StripData(), Encoded(page, 1).StripData());
  EXPECT_EQ(Encoded(flipped, 4).StripData(), Encoded(page, 4).StripData());
}

TEST(TIFImageAssign, PackBitsCodesEachRowOnItsOwn) {
  TRaster page(16, 2, TPixelFormat::pf24bit);
  page.FillRect(0, 0, 16, 2, clWhite);
  // Each row is 48 bytes of 0xFF: a run of 48 per row, never one run of 96.
  EXPECT_EQ(Encoded(page, 32773).StripData(), (Bytes{0xD1, 0xFF, 0xD1, 0xFF}));
}

TEST(TIFImageSave, MetadataEntriesFollowInTagOrderWithTheirDataLast) {
  TTIFImage tif = Encoded(BlackWhite(8, 2), 1);
  tif.Exif.SetValue("Software", "Pagewell");
  tif.Exif.SetValue("ImageDescription", "Invoice");
  tif.Exif.SetValue("DateTime", "2024:01:02 03:04:05");
  tif.Exif.SetValue("Orientation", "1");
  tif.Exif.SetValue("WhitePoint", "313/1000, 329/1000");
  tif.IccProfile.Data = {1, 2, 3, 4, 5};
  const Bytes file = tif.SaveToBytes();
  EXPECT_EQ(EntryTags(file, 8), (std::vector<std::uint16_t>{256, 257, 258, 259, 262, 266, 270, 273, 274, 277, 278,
                                                            279, 282, 283, 296, 305, 306, 318, 34675}));
  // The baseline data keeps its place right after the directory.
  const std::uint32_t dataStart = 8 + 2 + 19 * 12 + 4;
  EXPECT_EQ(FindEntry(file, 8, 273).value, dataStart);
  EXPECT_EQ(FindEntry(file, 8, 282).value, dataStart + 2);
  const auto description = FindEntry(file, 8, 270);
  EXPECT_EQ(description.count, 8u);
  EXPECT_EQ(description.value, dataStart + 2 + 16);
  EXPECT_EQ(std::string(file.begin() + description.value, file.begin() + description.value + 8), std::string("Invoice\0", 8));
  EXPECT_EQ(FindEntry(file, 8, 306).count, 20u);
  EXPECT_EQ(FindEntry(file, 8, 274).value, 1u);
  EXPECT_EQ(FindEntry(file, 8, 318).count, 2u);
  const auto icc = FindEntry(file, 8, 34675);
  EXPECT_EQ(icc.type, 7);
  EXPECT_EQ(Bytes(file.begin() + icc.value, file.begin() + icc.value + 5), (Bytes{1, 2, 3, 4, 5}));
  EXPECT_EQ(file.size() % 2, 0u);
}

TEST(TIFImage, ClipboardIsRefused) {
  TTIFImage tif;
  try {
    tif.LoadFromClipboardFormat();
    FAIL();
  } catch (const EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "Clipboard functions not supported");
  }
  EXPECT_THROW(tif.SaveToClipboardFormat(), EInvalidGraphic);
}

std::unique_ptr<TTIFImage> Page(int width, std::uint16_t compression = 1) {
  auto tif = std::make_unique<TTIFImage>();
  tif->Compression = compression;
  tif->Assign(BlackWhite(width, 2));
  return tif;
}

TEST(TIFList, InsertsAtTheGivenPosition) {
  TTIFList list;
  list.Add(Page(1), 0);  // empty list: first
  list.Add(Page(2), 0);  // appended
  list.Add(Page(3), 1);  // first
  list.Add(Page(4), 3);  // after page 2
  list.Add(Page(5), 99);  // at the end
  ASSERT_EQ(list.Count(), 5);
  std::vector<std::uint32_t> widths;
  for (int i = 1; i <= list.Count(); ++i) widths.push_back(list.Item(i)->ImageWidth);
  EXPECT_EQ(widths, (std::vector<std::uint32_t>{3, 1, 4, 2, 5}));
  EXPECT_EQ(list.Item(6), nullptr);
  EXPECT_EQ(list.Item(0), nullptr);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(TIFList, LinksEveryDirectoryFromThePreviousPage) {
  TTIFList list;
  for (int width : {9, 24, 40}) list.Add(Page(width, width == 24 ? 4 : 1));
  const Bytes file = list.SaveToBytes();
  // Each page: its directory where the previous page's data ended.
  const Bytes first = list.Item(1)->SaveToBytes();
  EXPECT_EQ(Bytes(file.begin(), file.begin() + 8), Bytes(first.begin(), first.begin() + 8));
  const std::uint32_t second = U32(file, 8 + 2 + 13 * 12);
  EXPECT_EQ(second, first.size());
  EXPECT_EQ(FindEntry(file, second, 256).value, 24u);
  EXPECT_EQ(FindEntry(file, second, 259).value, 4u);
  const std::uint32_t third = U32(file, second + 2 + 13 * 12);
  EXPECT_EQ(FindEntry(file, third, 256).value, 40u);
  EXPECT_EQ(U32(file, third + 2 + 13 * 12), 0u);
  EXPECT_EQ(file.size() % 2, 0u);
  // The first page's directory and data are the one-page file's, but linked.
  Bytes unlinked = file;
  unlinked.resize(first.size());
  unlinked[8 + 2 + 13 * 12] = unlinked[8 + 2 + 13 * 12 + 1] = unlinked[8 + 2 + 13 * 12 + 2] = unlinked[8 + 2 + 13 * 12 + 3] = 0;
  EXPECT_EQ(unlinked, first);
}

// A fresh stream gets the file directly; a stream that already holds bytes
// gets the same file after them, its offsets still counted from the
// file's own first byte.
TEST(TIFFWriting, AfterBytesAlreadyInTheStreamTheFileIsTheSame) {
  TTIFList list;
  for (int width : {9, 24}) list.Add(Page(width, width == 24 ? 4 : 1));
  const TTIFImage& page = *list.Item(2);
  const std::vector<std::pair<const char*, Bytes>> files = {{"page", page.SaveToBytes()}, {"list", list.SaveToBytes()}};
  for (const auto& [name, alone] : files) {
    TMemoryStream stream;
    stream.WriteString("head");
    if (std::string(name) == "page") {
      page.SaveToStream(stream);
    } else {
      list.SaveToStream(stream);
    }
    EXPECT_EQ(Bytes(stream.Bytes().begin() + 4, stream.Bytes().end()), alone) << name;
    EXPECT_EQ(Bytes(stream.Bytes().begin(), stream.Bytes().begin() + 4), (Bytes{'h', 'e', 'a', 'd'})) << name;
  }
}

}  // namespace
}  // namespace pagewell
