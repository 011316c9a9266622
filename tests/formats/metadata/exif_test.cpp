// The Exif block: layout, round trip and malformed data.
#include <gtest/gtest.h>

#include "formats/metadata/exif.h"
#include "formats/metadata/exif_errors.h"

namespace pagewell {
namespace {

std::uint32_t U16LE(const std::vector<std::uint8_t>& b, std::size_t at) { return b[at] | b[at + 1] << 8; }
std::uint32_t U32LE(const std::vector<std::uint8_t>& b, std::size_t at) { return U16LE(b, at) | U16LE(b, at + 2) << 16; }

TEST(ExifBlock, ResolutionTagsAreLaidOutAsTiffIfd0) {
  TExif exif;
  exif.SetValue("YResolution", "300/1");
  exif.SetValue("XResolution", "300/1");
  exif.SetValue("ResolutionUnit", "2");
  const auto b = exif.SaveToBytes();
  // Identifier, TIFF header, IFD0 at 8 with three entries in tag order.
  ASSERT_EQ(std::string(b.begin(), b.begin() + 10), std::string("Exif\0\0II*\0", 10));
  const std::size_t tiff = 6;
  ASSERT_EQ(U32LE(b, tiff + 4), 8u);
  ASSERT_EQ(U16LE(b, tiff + 8), 3u);
  const std::uint32_t tags[] = {0x011A, 0x011B, 0x0128}, types[] = {5, 5, 3};
  for (int i = 0; i < 3; ++i) {
    const std::size_t entry = tiff + 10 + 12 * static_cast<std::size_t>(i);
    EXPECT_EQ(U16LE(b, entry), tags[i]);
    EXPECT_EQ(U16LE(b, entry + 2), types[i]);
    EXPECT_EQ(U32LE(b, entry + 4), 1u);
  }
  // The rationals sit after the directory; the unit sits in its entry.
  const std::uint32_t xAt = U32LE(b, tiff + 10 + 8);
  EXPECT_EQ(U32LE(b, tiff + xAt), 300u);
  EXPECT_EQ(U32LE(b, tiff + xAt + 4), 1u);
  EXPECT_EQ(U16LE(b, tiff + 10 + 24 + 8), 2u);
  EXPECT_EQ(U32LE(b, tiff + 10 + 36), 0u);  // no next directory
}

TEST(ExifBlock, RoundTripKeepsKnownTagsAndDropsUnknownNames) {
  TExif exif;
  exif.SetValue("Make", "Pagewell");
  exif.SetValue("Model", "Virtual scanner");
  exif.SetValue("Orientation", "1");
  exif.SetValue("XResolution", "200/1");
  exif.SetValue("ExifVersion", "0230");
  exif.SetValue("DateTimeOriginal", "2024:01:02 03:04:05");
  exif.SetValue("PixelXDimension", "2550");
  exif.SetValue("NotAnExifTag", "dropped");
  TExif loaded;
  const auto bytes = exif.SaveToBytes();
  loaded.LoadFromBytes(bytes.data(), bytes.size());
  TExif expected = exif;
  expected.Clear();
  for (const auto& tag : exif.Tags()) {
    if (tag.rfind("NotAnExifTag", 0) != 0) {
      const auto eq = tag.find('=');
      expected.SetValue(tag.substr(0, eq), tag.substr(eq + 1));
    }
  }
  // Reading returns the directories' order: IFD0 tags by number, then the Exif directory.
  std::vector<std::string> got = loaded.Tags(), want = expected.Tags();
  std::sort(got.begin(), got.end());
  std::sort(want.begin(), want.end());
  EXPECT_EQ(got, want);
}

TEST(ExifBlock, OnlyUnknownTagsGiveNoBlock) {
  TExif exif;
  exif.SetValue("Whatever", "1");
  EXPECT_TRUE(exif.SaveToBytes().empty());
}

TEST(ExifBlock, ValuesTheirTypeCannotHoldAreRefused) {
  for (const auto& [name, value] : std::vector<std::pair<std::string, std::string>>{
           {"XResolution", "three hundred"}, {"Orientation", "70000"}, {"ResolutionUnit", ""},
           {"PixelXDimension", "-5"}}) {
    TExif exif;
    exif.SetValue(name, value);
    EXPECT_THROW(exif.SaveToBytes(), EExifError) << name << "=" << value;
  }
}

TEST(ExifBlock, BigEndianBlocksAreRead) {
  const std::vector<std::uint8_t> block = {
      'E', 'x', 'i', 'f', 0, 0, 'M', 'M', 0, 42, 0, 0, 0, 8,  // header, IFD0 at 8
      0, 1,                                                      // one entry
      0x01, 0x28, 0, 3, 0, 0, 0, 1, 0, 3, 0, 0,                  // ResolutionUnit SHORT 3
      0, 0, 0, 0};
  TExif exif;
  exif.LoadFromBytes(block.data(), block.size());
  EXPECT_EQ(exif.Value("ResolutionUnit"), "3");
}

TEST(ExifBlock, EveryTruncationIsRefusedWithoutReadingOutside) {
  TExif exif;
  exif.SetValue("Make", "Pagewell scanner");
  exif.SetValue("XResolution", "300/1");
  exif.SetValue("DateTimeOriginal", "2024:01:02 03:04:05");
  const auto bytes = exif.SaveToBytes();
  for (std::size_t size = 0; size + 1 < bytes.size(); ++size) {
    // Exactly sized copies, so that a sanitizer sees any read past the end.
    const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
    TExif loaded;
    loaded.SetValue("Kept", "yes");
    try {
      loaded.LoadFromBytes(cut.data(), cut.size());
    } catch (const EExifError& e) {
      EXPECT_EQ(std::string(e.what()), "Error in Exif data");
      EXPECT_EQ(loaded.Value("Kept"), "yes");
      continue;
    }
    // A cut in the padding after the last value still holds everything.
    EXPECT_GE(size, bytes.size() - 1);
  }
}

TEST(ExifBlock, RationalValues) {
  EXPECT_DOUBLE_EQ(ExifRationalValue("300/1"), 300.0);
  EXPECT_DOUBLE_EQ(ExifRationalValue("1/4"), 0.25);
  EXPECT_DOUBLE_EQ(ExifRationalValue("72"), 72.0);
  try {
    ExifRationalValue("72/0");
    FAIL();
  } catch (const EExifError& e) {
    EXPECT_EQ(std::string(e.what()), "Conversion error - division by zero.");
  }
  EXPECT_THROW(ExifRationalValue("a/b"), EExifError);
}

}  // namespace
}  // namespace pagewell
