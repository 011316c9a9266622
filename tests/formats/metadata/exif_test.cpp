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
           {"PixelXDimension", "-5"}, {"WhitePoint", "1/3"}, {"ExifVersion", "02300"},
           {"XResolution", "-300/1"}, {"ISOSpeedRatings", "100, x"}, {"YResolution", "1/99999999999"}}) {
    TExif exif;
    exif.SetValue(name, value);
    EXPECT_THROW(exif.SaveToBytes(), EExifError) << name << "=" << value;
  }
}

// Values as they are set and as reading gives them back.
TEST(ExifBlock, SeveralValuesDecimalsAndFixedLengthTexts) {
  const struct {
    const char* name;
    const char* set;
    const char* read;
  } cases[] = {
      {"WhitePoint", "0.3127 0.329", "3127/10000, 329/1000"},
      {"PrimaryChromaticities", "64/100,33/100, 3/10,6/10 15/100 6/100", "64/100, 33/100, 3/10, 6/10, 15/100, 6/100"},
      {"YCbCrSubSampling", "2 1", "2, 1"},
      {"ISOSpeedRatings", "100, 200", "100, 200"},
      {"XResolution", "72", "72/1"},
      {"DateTimeOriginal", "2024:01:02 03:04:05 UTC", "2024:01:02 03:04:05"},
      {"ImageUniqueID", "abc", "abc"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TExif exif;
    exif.SetValue(c.name, c.set);
    const auto bytes = exif.SaveToBytes();
    TExif loaded;
    loaded.LoadFromBytes(bytes.data(), bytes.size());
    EXPECT_EQ(loaded.Tags(), std::vector<std::string>{std::string(c.name) + "=" + c.read});
  }
  // Date texts take the 20 bytes Exif gives them, however long the text.
  TExif date;
  date.SetValue("DateTime", "2024");
  const auto bytes = date.SaveToBytes();
  EXPECT_EQ(U32LE(bytes, 6 + 10 + 4), 20u);
}

// Entries whose type or count their tag does not have are skipped, so that
// whatever is read can be written again.
TEST(ExifBlock, EntriesOfATypeTheirTagDoesNotHaveAreSkipped) {
  std::vector<std::uint8_t> block = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0, 6, 0};
  auto entry = [&](std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::uint32_t value) {
    for (std::uint32_t v : {std::uint32_t{tag}, std::uint32_t{type}}) block.insert(block.end(), {std::uint8_t(v), std::uint8_t(v >> 8)});
    for (std::uint32_t v : {count, value})
      block.insert(block.end(), {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)});
  };
  entry(0x010F, 1, 4, 0x41424344);  // Make as BYTEs
  entry(0x0110, 2, 3, 0x00425A);    // Model "ZB"
  entry(0x0112, 4, 1, 6);           // Orientation as a LONG
  entry(0x0128, 4, 1, 70000);       // ResolutionUnit too large for a SHORT
  entry(0x0212, 3, 1, 2);           // YCbCrSubSampling needs two values
  entry(0x0213, 2, 2, 0x31);        // YCbCrPositioning as a text
  block.insert(block.end(), 4, 0);
  TExif exif;
  exif.LoadFromBytes(block.data(), block.size());
  EXPECT_EQ(exif.Tags(), (std::vector<std::string>{"Model=ZB", "Orientation=6"}));
  EXPECT_NO_THROW(exif.SaveToBytes());
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
