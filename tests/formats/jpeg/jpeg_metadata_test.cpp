// Metadata in JPEG files: the order and layout of the APP1, APP2 and APP13
// segments, and reading them back.
#include <gtest/gtest.h>

#include "formats/jpeg/jpeg_errors.h"
#include "formats/jpeg/jpeg_image_extra.h"
#include "formats/jpeg/jpeg_pages.h"

namespace pagewell {
namespace {

using testing::GradientPage;
using testing::MarkerCodes;
using testing::MarkersToFirstScan;
using testing::TestIccProfile;

std::vector<std::uint8_t> SaveWith(TJPEGImageExtra& jpeg, const TluBitmap& page) {
  jpeg.CompressFrom(page);
  TMemoryStream stream;
  jpeg.SaveToStream(stream);
  return stream.Bytes();
}

TJPEGImageExtra Load(const std::vector<std::uint8_t>& file, bool embedIcc = false) {
  TJPEGImageExtra jpeg;
  jpeg.EmbedIccProfile = embedIcc;
  TMemoryStream stream(file);
  jpeg.LoadFromStream(stream);
  return jpeg;
}

// A writer carrying every kind of metadata.
void AddAllMetadata(TJPEGImageExtra& jpeg, std::size_t iccSize) {
  jpeg.Exif.SetValue("Make", "Pagewell");
  jpeg.Exif.SetValue("XResolution", "300/1");
  jpeg.Exif.SetValue("YResolution", "300/1");
  jpeg.Exif.SetValue("ResolutionUnit", "2");
  jpeg.Exif.SetValue("DateTimeOriginal", "2024:05:06 07:08:09");
  jpeg.FileInfo.Fields = {{"Caption", "A scanned page"}, {"Keywords", "invoice"}, {"Keywords", "2024"},
                          {"Image URL", "https://example.com/page"}};
  jpeg.FileInfo.Changed = true;
  jpeg.IccProfile.Data = TestIccProfile(iccSize);
  jpeg.EmbedIccProfile = true;
}

TEST(JpegMetadata, SegmentsFollowApp0InTheOrderExifIccPhotoshop) {
  TJPEGImageExtra jpeg;
  AddAllMetadata(jpeg, 65519 + 100);
  const auto file = SaveWith(jpeg, GradientPage(32, 32));
  const auto codes = MarkerCodes(file);
  ASSERT_GE(codes.size(), 6u);
  EXPECT_EQ(std::vector<std::uint8_t>(codes.begin(), codes.begin() + 6),
            (std::vector<std::uint8_t>{0xE0, 0xE1, 0xE2, 0xE2, 0xED, 0xDB}));
  // The library's data follows unchanged.
  const auto& raw = jpeg.CompressedData();
  EXPECT_TRUE(std::equal(raw.begin() + 20, raw.end(), file.end() - static_cast<std::ptrdiff_t>(raw.size() - 20)));
  const auto markers = MarkersToFirstScan(file);
  EXPECT_EQ(std::string(markers[1].Payload.begin(), markers[1].Payload.begin() + 6), std::string("Exif\0\0", 6));
  EXPECT_EQ(std::string(markers[4].Payload.begin(), markers[4].Payload.begin() + 14), std::string("Photoshop 3.0\0", 14));
}

struct TIccCase {
  std::size_t Size;
  std::vector<std::size_t> ChunkSizes;
};

TEST(JpegMetadata, IccProfileIsSplitIntoNumberedChunksOf65519Bytes) {
  const TIccCase cases[] = {
      {65519, {65519}},
      {65520, {65519, 1}},
      {3 * 65519 + 7, {65519, 65519, 65519, 7}},
      {255 * 65519 + 1, {}},  // too large for 255 chunks: not written
  };
  for (const auto& c : cases) {
    TJPEGImageExtra jpeg;
    jpeg.IccProfile.Data = TestIccProfile(c.Size);
    jpeg.EmbedIccProfile = true;
    const auto file = SaveWith(jpeg, GradientPage(8, 8));
    std::vector<std::size_t> chunkSizes;
    std::size_t sequence = 0;
    for (const auto& m : MarkersToFirstScan(file)) {
      if (m.Code != 0xE2) continue;
      ++sequence;
      ASSERT_EQ(std::string(m.Payload.begin(), m.Payload.begin() + 12), std::string("ICC_PROFILE\0", 12));
      EXPECT_EQ(m.Payload[12], sequence);
      EXPECT_EQ(m.Payload[13], c.ChunkSizes.size());
      chunkSizes.push_back(m.Payload.size() - 14);
    }
    EXPECT_EQ(chunkSizes, c.ChunkSizes) << c.Size;
    if (!c.ChunkSizes.empty()) {
      EXPECT_EQ(Load(file, true).IccProfile.Data, jpeg.IccProfile.Data) << c.Size;
    }
  }
}

TEST(JpegMetadata, IccProfileIsWrittenAndReadOnlyWithTheEmbedFlag) {
  TJPEGImageExtra jpeg;
  jpeg.IccProfile.Data = TestIccProfile();
  const auto plain = SaveWith(jpeg, GradientPage(8, 8));
  EXPECT_EQ(MarkerCodes(plain)[1], 0xDB);

  jpeg.EmbedIccProfile = true;
  const auto embedded = SaveWith(jpeg, GradientPage(8, 8));
  EXPECT_TRUE(Load(embedded, false).IccProfile.Empty());
  EXPECT_EQ(Load(embedded, true).IccProfile.Data, jpeg.IccProfile.Data);
}

TEST(JpegMetadata, UnchangedFileInfoIsNotWritten) {
  TJPEGImageExtra jpeg;
  jpeg.FileInfo.Fields = {{"Caption", "x"}};
  EXPECT_EQ(MarkerCodes(SaveWith(jpeg, GradientPage(8, 8)))[1], 0xDB);
}

TEST(JpegMetadata, EverythingWrittenIsReadBack) {
  TJPEGImageExtra jpeg;
  AddAllMetadata(jpeg, 0);
  jpeg.SetXDensity(200);
  jpeg.SetYDensity(100);
  const auto loaded = Load(SaveWith(jpeg, GradientPage(40, 20)), true);
  EXPECT_EQ(loaded.Exif, jpeg.Exif);
  EXPECT_EQ(loaded.FileInfo.Fields, jpeg.FileInfo.Fields);
  EXPECT_FALSE(loaded.FileInfo.Changed);
  EXPECT_EQ(loaded.IccProfile, jpeg.IccProfile);
  EXPECT_EQ(loaded.XDensity(), 200);
  EXPECT_EQ(loaded.YDensity(), 100);
  EXPECT_EQ(loaded.Width(), 40);
  EXPECT_EQ(loaded.Height(), 20);
  EXPECT_EQ(loaded.EstimatedQuality, 90);
  ASSERT_EQ(loaded.BIMList.size(), 2u);
  EXPECT_EQ(loaded.BIMList[0].Id, kIptcResourceId);
  EXPECT_EQ(loaded.BIMList[1].Id, kUrlResourceId);
}

TEST(JpegMetadata, ExifSegmentTooLargeForJpegRaisesExifError) {
  TJPEGImageExtra jpeg;
  jpeg.Exif.SetValue("ImageDescription", std::string(70000, 'x'));
  jpeg.CompressFrom(GradientPage(8, 8));
  TMemoryStream stream;
  EXPECT_THROW(jpeg.SaveToStream(stream), EExifError);
}

}  // namespace
}  // namespace pagewell

namespace pagewell {
namespace {

TEST(JpegMetadata, LoadedFileWithoutJfifGetsMetadataAfterSoiAndKeepsItsBytes) {
  // A camera-style file: SOI, then straight to the tables (no APP0).
  auto file = testing::LibraryFileWithoutApp0();
  TJPEGImageExtra jpeg;
  TMemoryStream in(file);
  jpeg.LoadFromStream(in);
  jpeg.Exif.SetValue("Make", "Pagewell");
  jpeg.SetXDensity(300);
  TMemoryStream out;
  jpeg.SaveToStream(out);
  const auto codes = MarkerCodes(out.Bytes());
  ASSERT_GE(codes.size(), 2u);
  EXPECT_EQ(codes[0], 0xE1);
  EXPECT_EQ(codes[1], 0xDB);
  const auto app1Size = MarkersToFirstScan(out.Bytes())[0].Payload.size() + 4;
  EXPECT_TRUE(std::equal(file.begin() + 2, file.end(), out.Bytes().begin() + 2 + static_cast<std::ptrdiff_t>(app1Size)));
}

}  // namespace
}  // namespace pagewell
