// File information as Photoshop resources with IPTC fields.
#include <gtest/gtest.h>

#include "formats/metadata/bim_segment.h"
#include "formats/metadata/file_info.h"

namespace pagewell {
namespace {

TEST(FileInfoResources, CaptionIsAnIptcDatasetIn8BimResource0404) {
  TFileInfo info;
  info.Fields = {{"Caption", "Hi"}};
  const auto bytes = SavePhotoshopResources(info.ToResources());
  const std::vector<std::uint8_t> expected = {
      '8', 'B', 'I', 'M', 0x04, 0x04, 0, 0,  // signature, id, empty name padded to 2
      0, 0, 0, 14,                           // size
      0x1C, 2, 0, 0, 2, 0, 2,                // record version 2
      0x1C, 2, 120, 0, 2, 'H', 'i'};         // caption
  EXPECT_EQ(bytes, expected);
}

TEST(FileInfoResources, FieldsRoundTripInOrderWithRepeatsAndUrl) {
  TFileInfo info;
  info.Fields = {{"Object Name", "Page 1"}, {"Keywords", "a"}, {"Keywords", "b"}, {"Byline", "Ann"},
                 {"Caption", "Scan"}, {"Image URL", "http://x/y"}};
  info.Changed = true;
  const auto bytes = SavePhotoshopResources(info.ToResources());
  TFileInfo loaded;
  loaded.LoadFromResources(LoadPhotoshopResources(bytes.data(), bytes.size()));
  EXPECT_EQ(loaded.Fields, info.Fields);
  EXPECT_FALSE(loaded.Changed);
}

TEST(FileInfoResources, UnknownNamesAreNotWritten) {
  TFileInfo info;
  info.Fields = {{"Mood", "happy"}};
  EXPECT_TRUE(info.ToResources().empty());
}

TEST(FileInfoResources, ResourcesWithNamesAndOddSizesRoundTrip) {
  const TBIMList list = {{0x03ED, "res", {1, 2, 3}}, {0x0404, "", {}}, {0x0421, "ab", {9}}};
  const auto bytes = SavePhotoshopResources(list);
  EXPECT_EQ(bytes.size() % 2, 0u);
  EXPECT_EQ(LoadPhotoshopResources(bytes.data(), bytes.size()), list);
}

TEST(FileInfoResources, CutOrMalformedBlocksKeepWhatWasWhole) {
  TFileInfo info;
  info.Fields = {{"Caption", "first"}, {"Image URL", "http://example.com"}};
  const auto bytes = SavePhotoshopResources(info.ToResources());
  for (std::size_t size = 0; size < bytes.size(); ++size) {
    const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
    const auto list = LoadPhotoshopResources(cut.data(), cut.size());
    EXPECT_LE(list.size(), 2u);
    TFileInfo loaded;
    loaded.LoadFromResources(list);
  }
  // An IPTC dataset whose length runs past its resource ends the fields.
  TBIMList bad = {{kIptcResourceId, "", {0x1C, 2, 120, 0x10, 0, 'x'}}};
  TFileInfo loaded;
  loaded.LoadFromResources(bad);
  EXPECT_TRUE(loaded.Fields.empty());
}

}  // namespace
}  // namespace pagewell
