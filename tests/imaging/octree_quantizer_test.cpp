// The octree colour table and the fixed colour → index hash behind the
// exact-colour correction.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "imaging/color_index_hash.h"
#include "imaging/octree_quantizer.h"

namespace pagewell {
namespace {

TEST(ColorQuantizer, ListsLeavesDepthFirstInChildOrder) {
  TColorQuantizer quantizer(256, 8);
  // Child index at the top level is (red bit 7) × 4 + (green bit 7) × 2 + (blue bit 7).
  quantizer.AddColor(255, 0, 0);  // child 4
  quantizer.AddColor(0, 0, 255);  // child 1
  quantizer.AddColor(0, 255, 0);  // child 2
  quantizer.AddColor(0, 0, 255);
  EXPECT_EQ(quantizer.LeafCount(), 3);
  EXPECT_EQ(quantizer.ColorTable(),
            (std::vector<TColor>{RGBColor(0, 0, 255), RGBColor(0, 255, 0), RGBColor(255, 0, 0)}));
}

TEST(ColorQuantizer, FoldsTheNewestDeepestNodeAndRoundsMeansToEven) {
  // With 2 colour bits leaves sit at level 2. Three colours share the top-level
  // branch 0 and differ at level 1; a fourth colour lives in branch 7.
  TColorQuantizer quantizer(2, 2);
  quantizer.AddColor(0, 0, 0);     // branch 0 → child 0
  quantizer.AddColor(0, 0, 64);    // branch 0 → child 1
  quantizer.AddColor(200, 200, 200);  // branch 7: the newest level-1 node
  EXPECT_EQ(quantizer.LeafCount(), 2);
  const auto table = quantizer.ColorTable();
  ASSERT_EQ(table.size(), 2u);
  // The newest level-1 node was branch 7's, whose single leaf folded into
  // it, leaving three leaves, so branch 0 was folded next: mean blue 32.
  EXPECT_EQ(table[0], RGBColor(0, 0, 32));
  EXPECT_EQ(table[1], RGBColor(200, 200, 200));

  TColorQuantizer ties(1, 8);
  ties.AddColor(1, 2, 0);
  ties.AddColor(2, 5, 1);  // means 1.5 → 2, 3.5 → 4, 0.5 → 0: ties go to the even number
  EXPECT_EQ(ties.ColorTable(), (std::vector<TColor>{RGBColor(2, 4, 0)}));
}

TEST(ColorQuantizer, NeverListsMoreThanTheMaximum) {
  TColorQuantizer quantizer(16, 4);
  for (unsigned i = 0; i < 4096; ++i) quantizer.AddColor(i & 255, (i * 37) & 255, (i * 101) & 255);
  EXPECT_LE(quantizer.LeafCount(), 16);
  EXPECT_LE(quantizer.ColorTable().size(), 16u);
  EXPECT_GE(quantizer.ColorTable().size(), 2u);
}

TEST(ColorQuantizer, CountedPixelsFedLaterLeaveTheSameTable) {
  // Random colours with many repeats, folded again and again at every level.
  std::mt19937 random(5);
  std::vector<std::uint32_t> pixels;
  for (int i = 0; i < 6000; ++i) pixels.push_back(i % 3 == 2 ? pixels[random() % pixels.size()] : random() & 0xFFFFFF);
  for (const int maxColors : {256, 16, 5}) {
    TColorQuantizer oneByOne(maxColors, 8), firstsThenCounts(maxColors, 8);
    std::map<std::uint32_t, std::uint32_t> repeats;
    for (std::uint32_t p : pixels) {
      oneByOne.AddColor(p >> 16, (p >> 8) & 0xFF, p & 0xFF);
      if (repeats.count(p) != 0) {
        ++repeats[p];
      } else {
        repeats[p] = 0;
        firstsThenCounts.AddColor(p >> 16, (p >> 8) & 0xFF, p & 0xFF);
      }
    }
    for (const auto& [p, count] : repeats) firstsThenCounts.AddColor(p >> 16, (p >> 8) & 0xFF, p & 0xFF, count);
    EXPECT_EQ(oneByOne.ColorTable(), firstsThenCounts.ColorTable()) << maxColors << " colours";
  }
}

TEST(ColorIndexHash, ProbesLinearlyAndKeepsTheFirstValue) {
  TColorIndexHash hash;
  // 5, 4101 and 8197 all start at slot 5.
  hash.Add(5, 1);
  hash.Add(4101, 2);
  hash.Add(8197, 3);
  hash.Add(4101, 9);
  EXPECT_EQ(hash.Find(5), 1);
  EXPECT_EQ(hash.Find(4101), 2);
  EXPECT_EQ(hash.Find(8197), 3);
  EXPECT_EQ(hash.Find(12293), -1);  // reaches the unused slot 8
  EXPECT_EQ(hash.Find(6), -1);
  // A key in the last slot probes around to the start.
  hash.Add(4095, 4);
  hash.Add(8191, 5);
  EXPECT_EQ(hash.Find(8191), 5);
}

}  // namespace
}  // namespace pagewell
