// The metadata entries of a TIFF page: their places in the directory and the
// data, reading them back, and files whose metadata is broken.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>

#include "formats/format_code.h"
#include "formats/tiff/tif_image.h"
#include "formats/tiff/tif_list.h"
#include "formats/tiff/tiff_pages.h"
#include "imaging/errors.h"
#include "imaging/lu_bitmap.h"
#include "tiff_file_builder.h"
#include "tiff_metadata_pages.h"
#include "tiff_test_support.h"

namespace pagewell {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace tifftest;

void ExpectLastDirectory(const Bytes& file, std::uint32_t ifd, const std::vector<TExpectedEntry>& expected) {
  ExpectDirectory(file, ifd, expected);
  EXPECT_EQ(U32(file, ifd + 2 + 12 * expected.size()), 0u);  // no next directory
}

Bytes At(const Bytes& file, std::size_t offset, std::size_t count) {
  return Bytes(file.begin() + static_cast<std::ptrdiff_t>(offset),
               file.begin() + static_cast<std::ptrdiff_t>(offset + count));
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

std::vector<std::string> Sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

// The tags the Exif record of a page read back should hold.
std::vector<std::string> TagTexts(const TTagValues& values) {
  std::vector<std::string> texts;
  for (const auto& [name, value] : values) texts.push_back(name + "=" + value);
  return Sorted(texts);
}

// An 8 x 2 black-and-white page, uncompressed at 300 dpi: a strip of 2 bytes.
TTIFImage SmallPage() {
  TTIFImage tif;
  tif.Assign(BlackWhitePage(8, 2, 3));
  tif.XDpi = 300;
  tif.YDpi = 300;
  return tif;
}

// 23 entries: the directory ends at 8 + 2 + 23 × 12 + 4 = 290, where the data
// starts. Blocks in the order of the entries' sequence, each padded to an
// even length: strip 290 (2), XResolution 292, YResolution 300,
// ImageDescription 308 (8), Make 316 (9 + 1), DateTime 326 (20), WhitePoint
// 346 (16), Copyright 362 (8), IPTC 370 (14 + 2), Photoshop 386 (14), ICC 400
// (5 + 1), then the Exif directory at 406 with 2 entries, whose data starts
// at 406 + 2 + 2 × 12 + 4 = 436: ExposureTime 436 (8), DateTimeOriginal 444
// (20), ending the file at 464.
TEST(TIFMetadataSave, EntriesAndTheirDataFollowTheFixedSequence) {
  TTIFImage tif = SmallPage();
  // Set out of order: the sequence is the writer's, not the record's.
  tif.Exif.SetValue("DateTimeOriginal", "2024:05:06 07:08:09");
  tif.Exif.SetValue("Copyright", "(c) Ann");
  tif.Exif.SetValue("ExposureTime", "1/60");
  tif.Exif.SetValue("WhitePoint", "313/1000, 329/1000");
  tif.Exif.SetValue("DateTime", "2024:01:02 03:04:05");
  tif.Exif.SetValue("Orientation", "1");
  tif.Exif.SetValue("Make", "Pagewell");
  tif.Exif.SetValue("ImageDescription", "Invoice");
  tif.FileInfo.Fields = {{"Caption", "Hi"}, {"Image URL", "u"}};
  tif.IccProfile.Data = {1, 2, 3, 4, 5};
  const Bytes file = tif.SaveToBytes();

  ExpectLastDirectory(file, 8,
                  {{256, 4, 1, 8},       {257, 4, 1, 2},       {258, 3, 1, 1},       {259, 3, 1, 1},
                   {262, 3, 1, 1},       {266, 3, 1, 1},       {270, 2, 8, 308},     {271, 2, 9, 316},
                   {273, 4, 1, 290},     {274, 3, 1, 1},       {277, 3, 1, 1},       {278, 4, 1, 2},
                   {279, 4, 1, 2},       {282, 5, 1, 292},     {283, 5, 1, 300},     {296, 3, 1, 2},
                   {306, 2, 20, 326},    {318, 5, 2, 346},     {33432, 2, 8, 362},   {33723, 4, 4, 370},
                   {34377, 1, 14, 386},  {34665, 4, 1, 406},   {34675, 7, 5, 400}});
  EXPECT_EQ(At(file, 308, 8), Text(std::string("Invoice\0", 8)));
  EXPECT_EQ(At(file, 316, 10), Text(std::string("Pagewell\0\0", 10)));
  EXPECT_EQ(At(file, 326, 20), Text(std::string("2024:01:02 03:04:05\0", 20)));
  EXPECT_EQ(At(file, 346, 16), (Bytes{0x39, 1, 0, 0, 0xE8, 3, 0, 0, 0x49, 1, 0, 0, 0xE8, 3, 0, 0}));
  EXPECT_EQ(At(file, 362, 8), Text(std::string("(c) Ann\0", 8)));
  // IPTC-IIM: record version 2, the caption, zeros up to whole LONGs.
  EXPECT_EQ(At(file, 370, 16), (Bytes{0x1C, 2, 0, 0, 2, 0, 2, 0x1C, 2, 120, 0, 2, 'H', 'i', 0, 0}));
  // The Photoshop resources without the IPTC fields, which have their own entry.
  EXPECT_EQ(At(file, 386, 14), (Bytes{'8', 'B', 'I', 'M', 0x04, 0x0B, 0, 0, 0, 0, 0, 1, 'u', 0}));
  EXPECT_EQ(At(file, 400, 6), (Bytes{1, 2, 3, 4, 5, 0}));
  ExpectLastDirectory(file, 406, {{0x829A, 5, 1, 436}, {0x9003, 2, 20, 444}});
  EXPECT_EQ(At(file, 436, 8), (Bytes{1, 0, 0, 0, 60, 0, 0, 0}));
  EXPECT_EQ(At(file, 444, 20), Text(std::string("2024:05:06 07:08:09\0", 20)));
  EXPECT_EQ(file.size(), 464u);
}

// The value bytes of an entry of a little-endian file, in place or where its
// offset points; nothing when the directory has no such entry.
std::optional<Bytes> ValueBytes(const Bytes& file, std::uint32_t ifd, std::uint16_t tag) {
  for (int i = 0; i < U16(file, ifd); ++i) {
    const std::size_t at = ifd + 2 + 12 * static_cast<std::size_t>(i);
    if (U16(file, at) != tag) continue;
    const std::uint16_t type = U16(file, at + 2);
    const std::size_t size = U32(file, at + 4) * (type == 3 ? 2 : type == 4 ? 4 : type == 5 ? 8 : 1);
    return size <= 4 ? At(file, at + 8, size) : At(file, U32(file, at + 8), size);
  }
  return std::nullopt;
}

struct TDecidedCase {
  const char* name;
  const char* value;
  std::uint16_t tag;
  std::optional<Bytes> written;  // nothing: no entry
};

// Record values the page does not write as they stand. A PlanarConfiguration
// of 2 would declare planes the strip does not have, and a second
// XResolution entry would make the directory invalid.
TEST(TIFMetadataSave, ThePageDecidesWhatItsRecordsCannotSay) {
  const TDecidedCase cases[] = {
      {"XResolution", "72/1", 282, Bytes{0xE0, 0x93, 4, 0, 0xE8, 3, 0, 0}},  // the page's 300000/1000
      {"ResolutionUnit", "3", 296, Bytes{2, 0}},
      {"PlanarConfiguration", "2", 284, Bytes{1, 0}},
      {"Orientation", "seventy", 274, std::nullopt},
      {"Orientation", "70000", 274, std::nullopt},
      {"WhitePoint", "313/1000", 318, std::nullopt},  // two values or none
      {"WhitePoint", "0.3127, 0.329", 318, Bytes{0x37, 0x0C, 0, 0, 0x10, 0x27, 0, 0, 0x49, 1, 0, 0, 0xE8, 3, 0, 0}},
      {"DateTime", "2024:01:02 03:04:05 and more", 306, Text(std::string("2024:01:02 03:04:05\0", 20))},
      {"DateTime", "2024", 306, Text(std::string("2024\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 20))},
      {"ExifVersion", "230", 34665, std::nullopt},  // four bytes or none: no Exif directory is left
      {"NotAnExifTag", "1", 65535, std::nullopt},
  };
  for (const TDecidedCase& c : cases) {
    SCOPED_TRACE(std::string(c.name) + "=" + c.value);
    TTIFImage tif = SmallPage();
    tif.Exif.SetValue(c.name, c.value);
    const Bytes file = tif.SaveToBytes();
    EXPECT_EQ(ValueBytes(file, 8, c.tag), c.written);
    // Nothing else changes: the baseline entries and at most this one.
    EXPECT_EQ(U16(file, 8), 13 + (c.written && c.tag != 282 && c.tag != 296 ? 1 : 0));
  }
}

// The control's output never carries metadata: assigning a bitmap does not
// fill the page's records, whatever the bitmap holds.
TEST(TIFMetadataSave, PagesOfTheControlCarryOnlyTheBaselineEntries) {
  TluBitmap page;
  page.Assign(BlackWhitePage(16, 4, 2));
  page.DetectColorMode();
  page.Exif.SetValue("Make", "Pagewell");
  page.FileInfo.Fields = {{"Caption", "x"}};
  page.FileInfo.Changed = true;
  page.IccProfile.Data = {1, 2, 3};
  TMemoryStream stream;
  page.SaveToStreamAs(stream, fcTIFF, 90, "", "", "", "");
  EXPECT_EQ(EntryTags(stream.Bytes(), 8),
            (std::vector<std::uint16_t>{256, 257, 258, 259, 262, 266, 273, 277, 278, 279, 282, 283, 296}));
}

TEST(TIFMetadataRead, EveryRecordReadsBackAsWritten) {
  for (std::uint16_t compression : {tiff::compNone, tiff::compPackBits}) {
    SCOPED_TRACE(compression);
    TTIFImage written = PageWithEveryRecord(1, compression);
    written.Exif.SetValue("PixelXDimension", "23");
    written.Exif.SetValue("PixelYDimension", "11");
    TTIFImage read;
    read.LoadFromBytes(written.SaveToBytes());
    EXPECT_EQ(Sorted(read.Exif.Tags()), Sorted(written.Exif.Tags()));
    EXPECT_EQ(read.FileInfo.Fields, written.FileInfo.Fields);
    EXPECT_FALSE(read.FileInfo.Changed);
    EXPECT_EQ(read.IccProfile, written.IccProfile);
    EXPECT_EQ(read.XDpi, 300);
    TRaster raster;
    read.AssignTo(raster);
    EXPECT_EQ(RGBPixels(raster), RGBPixels(RandomRaster(23, 11, TPixelFormat::pf24bit, {}, 1)));
  }
}

TEST(TIFMetadataRead, EachPageOfAMultiPageFileKeepsItsOwnRecords) {
  TTIFList list;
  for (int page = 1; page <= 3; ++page) {
    auto tif = std::make_unique<TTIFImage>(PageWithEveryRecord(page));
    if (page == 2) {  // a page without metadata between two with
      tif->Exif.Clear();
      tif->FileInfo.Clear();
      tif->IccProfile.Clear();
    }
    list.Add(std::move(tif));
  }
  const Bytes file = list.SaveToBytes();
  for (int page = 1; page <= 3; ++page) {
    SCOPED_TRACE("page " + std::to_string(page));
    const TluBitmap bitmap = ReadTiffPage(file, page);
    if (page == 2) {
      EXPECT_TRUE(bitmap.Exif.Empty());
      EXPECT_TRUE(bitmap.FileInfo.Empty());
      EXPECT_TRUE(bitmap.IccProfile.Empty());
      continue;
    }
    EXPECT_EQ(Sorted(bitmap.Exif.Tags()), TagTexts(EveryExifTag(page)));
    EXPECT_EQ(bitmap.FileInfo.Fields, EveryFileInfoField(page));
    EXPECT_EQ(bitmap.IccProfile.Data, testing::TestIccProfile(400 + static_cast<std::size_t>(page)));
    EXPECT_EQ(bitmap.XDpi(), 300);
  }
}

// Other writers put the IPTC fields in the IPTC entry, in the Photoshop
// resources or in both, as BYTE, UNDEFINED or LONG, in either byte order.
TEST(TIFMetadataRead, IptcComesFromEitherEntry) {
  const std::vector<std::uint32_t> iptc = {0x1C, 2, 120, 0, 3, 'c', 'a', 'p'};
  const std::vector<std::uint32_t> otherIptc = {0x1C, 2, 25, 0, 2, 'k', 'w'};
  auto resources = [](std::vector<std::uint32_t> iptcData) {
    std::vector<std::uint32_t> r = {'8', 'B', 'I', 'M', 0x04, 0x0B, 0, 0, 0, 0, 0, 1, 'u', 0};
    if (!iptcData.empty()) {
      const std::vector<std::uint32_t> head = {'8', 'B', 'I', 'M', 0x04, 0x04, 0, 0, 0, 0, 0,
                                               static_cast<std::uint32_t>(iptcData.size())};
      iptcData.insert(iptcData.begin(), head.begin(), head.end());
      if (iptcData.size() % 2) iptcData.push_back(0);
      r.insert(r.begin(), iptcData.begin(), iptcData.end());
    }
    return r;
  };
  using TFields = std::vector<std::pair<std::string, std::string>>;
  struct TCase {
    const char* name;
    std::uint16_t iptcType;  // 0: no IPTC entry
    std::vector<std::uint32_t> photoshop;
    TFields expected;
  } cases[] = {
      {"IPTC entry as UNDEFINED", tiff::ftUndefined, {}, {{"Caption", "cap"}}},
      {"IPTC entry as BYTE", tiff::ftByte, {}, {{"Caption", "cap"}}},
      {"Photoshop resources only", 0, resources(iptc), {{"Caption", "cap"}, {"Image URL", "u"}}},
      {"both: the resources' IPTC counts", tiff::ftUndefined, resources(otherIptc), {{"Keywords", "kw"}, {"Image URL", "u"}}},
      {"IPTC entry and resources without IPTC", tiff::ftByte, resources({}), {{"Caption", "cap"}, {"Image URL", "u"}}},
  };
  for (bool bigEndian : {false, true}) {
    for (const TCase& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (bigEndian ? ", MM" : ", II"));
      TTiffFileBuilder builder = UncompressedPage(8, 1, 1, {8}, Bytes(8, 0x80), bigEndian);
      if (c.iptcType != 0) builder.Set(tiff::tagIPTC, c.iptcType, iptc);
      if (!c.photoshop.empty()) builder.Set(tiff::tagPhotoshop, tiff::ftByte, c.photoshop);
      TTIFImage tif;
      tif.LoadFromBytes(builder.Build());
      EXPECT_EQ(tif.FileInfo.Fields, c.expected);
    }
  }
}

// A file whose metadata is broken still gives its page; what cannot be read
// is left out, and nothing is read outside the file.
TEST(TIFMetadataRead, BrokenMetadataLeavesThePageReadable) {
  TTIFImage written = SmallPage();
  written.Exif.SetValue("ImageDescription", "Invoice");
  written.Exif.SetValue("Make", "Pagewell");
  written.Exif.SetValue("ExposureTime", "1/60");
  written.Exif.SetValue("DateTimeOriginal", "2024:05:06 07:08:09");
  written.FileInfo.Fields = {{"Caption", "Hi"}, {"Image URL", "u"}};
  written.IccProfile.Data = {1, 2, 3, 4, 5};
  const Bytes good = written.SaveToBytes();
  // Places in `good`: its directory has 20 entries, index i at 10 + 12 × i.
  const auto entry = [&](std::uint16_t tag) {
    for (std::size_t at = 10;; at += 12)
      if (U16(good, at) == tag) return at;
  };
  const auto put32 = [](Bytes& f, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) f[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  const std::uint32_t exifIfd = FindEntry(good, 8, tiff::tagExifIfd).value;
  const std::vector<std::string> image = {"ImageDescription=Invoice", "Make=Pagewell"};
  const std::vector<std::string> all = {"DateTimeOriginal=2024:05:06 07:08:09", "ExposureTime=1/60",
                                        "ImageDescription=Invoice", "Make=Pagewell"};
  using TFields = std::vector<std::pair<std::string, std::string>>;
  const TFields fields = {{"Caption", "Hi"}, {"Image URL", "u"}};
  struct TCase {
    const char* name;
    std::function<void(Bytes&)> patch;
    std::vector<std::string> exif;
    TFields fileInfo;
    bool icc;
  } cases[] = {
      {"intact", [](Bytes&) {}, all, fields, true},
      {"Exif directory past the end", [&](Bytes& f) { put32(f, entry(tiff::tagExifIfd) + 8, 0xFFFFFFF0u); }, image, fields, true},
      {"Exif directory at the last byte", [&](Bytes& f) { put32(f, entry(tiff::tagExifIfd) + 8, static_cast<std::uint32_t>(f.size() - 1)); }, image, fields, true},
      {"Exif directory entries past the end", [&](Bytes& f) { f[exifIfd] = 0xFF, f[exifIfd + 1] = 0xFF; }, image, fields, true},
      {"Exif value past the end", [&](Bytes& f) { put32(f, exifIfd + 2 + 8, static_cast<std::uint32_t>(f.size() - 4)); }, image, fields, true},
      {"Exif text count huge", [&](Bytes& f) { put32(f, exifIfd + 2 + 12 + 4, 0x7FFFFFFF); }, image, fields, true},
      {"Exif directory is the page's own", [&](Bytes& f) { put32(f, entry(tiff::tagExifIfd) + 8, 8); }, image, fields, true},
      {"Exif pointer of a wrong type", [&](Bytes& f) { f[entry(tiff::tagExifIfd) + 2] = tiff::ftAscii; }, image, fields, true},
      {"description past the end", [&](Bytes& f) { put32(f, entry(tiff::tagImageDescription) + 8, 0x7FFFFFF0); }, {}, fields, true},
      {"IPTC past the end", [&](Bytes& f) { put32(f, entry(tiff::tagIPTC) + 8, 0xFFFFFFFFu); }, all, {{"Image URL", "u"}}, true},
      {"IPTC count huge", [&](Bytes& f) { put32(f, entry(tiff::tagIPTC) + 4, 0x40000000); }, all, {{"Image URL", "u"}}, true},
      {"IPTC dataset longer than its entry", [&](Bytes& f) { f[U32(f, entry(tiff::tagIPTC) + 8) + 11] = 0x7F; }, all, {{"Image URL", "u"}}, true},
      {"Photoshop resources garbled", [&](Bytes& f) { f[U32(f, entry(tiff::tagPhotoshop) + 8)] = 'X'; }, all, {{"Caption", "Hi"}}, true},
      {"Photoshop resource size huge", [&](Bytes& f) { put32(f, U32(f, entry(tiff::tagPhotoshop) + 8) + 8, 0xFFFFFFu); }, all, {{"Caption", "Hi"}}, true},
      {"ICC profile of a wrong type", [&](Bytes& f) { f[entry(tiff::tagICCProfile) + 2] = tiff::ftByte; }, all, fields, false},
      {"ICC profile past the end", [&](Bytes& f) { put32(f, entry(tiff::tagICCProfile) + 8, 0xFFFFFFFEu); }, all, fields, false},
  };
  TRaster expected;
  written.LoadFromBytes(good);
  written.AssignTo(expected);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes file = good;
    c.patch(file);
    TTIFImage tif;
    ASSERT_NO_THROW(tif.LoadFromBytes(file));
    EXPECT_EQ(Sorted(tif.Exif.Tags()), c.exif);
    EXPECT_EQ(tif.FileInfo.Fields, c.fileInfo);
    EXPECT_EQ(tif.IccProfile.Empty(), !c.icc);
    TRaster raster;
    tif.AssignTo(raster);
    EXPECT_EQ(RGBPixels(raster), RGBPixels(expected));
  }
}

// Cut anywhere, a file with metadata loads or fails with the reader's own
// error; once the pixel data and the resolution are whole, it loads.
TEST(TIFMetadataRead, EveryTruncationLoadsOrFailsCleanly) {
  const Bytes file = PageWithEveryRecord().SaveToBytes();
  const std::uint32_t yResolution = FindEntry(file, 8, tiff::tagYResolution).value;
  for (std::size_t size = 0; size < file.size(); ++size) {
    // Exactly sized copies, so that a sanitizer sees any read past the end.
    const Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
    TTIFImage tif;
    try {
      tif.LoadFromBytes(cut);
      TRaster raster;
      tif.AssignTo(raster);
    } catch (const EInvalidGraphic&) {
      EXPECT_LT(size, yResolution + 8) << size;
    }
  }
}

}  // namespace
}  // namespace pagewell
