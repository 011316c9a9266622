// What a region of dark cells is to a reader, on a Letter page mapped at
// 50 cells per inch: dust, punch holes and edge shadows are not content;
// everything that forms a mark is, however small.
#include <gtest/gtest.h>

#include "imaging/page_marks.h"

namespace pagewell {
namespace {

TReducedPageMap LetterMap() {
  TReducedPageMap map;
  map.Width = 425, map.Height = 550;
  map.CellsPerInchX = map.CellsPerInchY = 50;
  return map;
}

// A region in inches: left, top, width, height and the share it fills.
TCellRegion Region(double left, double top, double width, double height, double fill) {
  const auto cells = [](double inches) { return static_cast<int>(inches * 50 + 0.5); };
  TCellRegion r{cells(left), cells(top), cells(left) + cells(width) - 1, cells(top) + cells(height) - 1, 0};
  r.Cells = static_cast<int>(fill * r.Width() * r.Height() + 0.5);
  return r;
}

TEST(PageMarks, EachRegionIsWhatAReaderWouldCallIt) {
  const TReducedPageMap map = LetterMap();
  const TBorderBand band = BorderBandOf(map);
  EXPECT_EQ(band.Across, 10);
  struct TCase {
    const char* name;
    TCellRegion region;
    TMarkKind kind;
  } cases[] = {
      {"a speck of dust", Region(4, 5, 0.04, 0.04, 1), TMarkKind::Speck},
      {"a fibre of recycled paper", Region(2, 7, 0.04, 0.02, 1), TMarkKind::Speck},
      {"a page number's digit", Region(4.2, 10.3, 0.06, 0.1, 0.4), TMarkKind::Content},
      {"a full stop alone is dust-sized", Region(3, 3, 0.04, 0.04, 0.8), TMarkKind::Speck},
      {"a tick mark", Region(3, 3, 0.1, 0.08, 0.3), TMarkKind::Content},
      {"a punch hole by the left edge", Region(0.35, 4, 0.24, 0.24, 0.78), TMarkKind::PunchHole},
      {"a punch hole by the top edge", Region(3, 0.35, 0.24, 0.24, 0.78), TMarkKind::PunchHole},
      {"a filled disc in the middle", Region(4, 5, 0.24, 0.24, 0.78), TMarkKind::Content},
      {"a ring by the edge", Region(0.35, 4, 0.24, 0.24, 0.3), TMarkKind::Content},
      {"a shadow along the left edge", Region(0.2, 0.2, 0.3, 10.6, 0.9), TMarkKind::EdgeShadow},
      {"a shadow along the bottom", Region(0.2, 10.5, 8.1, 0.3, 0.9), TMarkKind::EdgeShadow},
      {"a ruled line across the page", Region(1, 5, 6.5, 0.02, 1), TMarkKind::Content},
      {"a margin rule by the edge, too wide for a shadow", Region(0.2, 1, 0.8, 9, 0.5), TMarkKind::Content},
  };
  for (const TCase& c : cases) EXPECT_EQ(ClassifyMark(c.region, map, band), c.kind) << c.name;
}

TEST(PageMarks, RegionsAreEightConnectedAndTheSearchStopsWhenAsked) {
  // Two diagonal strokes touching at a corner, and one cell apart.
  const std::vector<std::uint8_t> mask = {1, 0, 0, 0, 0,
                                          0, 1, 0, 0, 1,
                                          0, 0, 0, 0, 1};
  std::vector<TCellRegion> found;
  EXPECT_TRUE(ForEachConnectedRegion(mask, 5, 3, [&](const TCellRegion& r) { return found.push_back(r), true; }));
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].Cells, 2);
  EXPECT_EQ(found[0].Right, 1);
  EXPECT_EQ(found[1].Left, 4);
  EXPECT_EQ(found[1].Height(), 2);
  int visits = 0;
  EXPECT_FALSE(ForEachConnectedRegion(mask, 5, 3, [&](const TCellRegion&) { return ++visits, false; }));
  EXPECT_EQ(visits, 1);
  EXPECT_TRUE(ForEachConnectedRegion({1, 1}, 5, 3, [](const TCellRegion&) { return false; }));  // mask too short
}

}  // namespace
}  // namespace pagewell
