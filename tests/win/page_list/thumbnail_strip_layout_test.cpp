#include "thumbnail_strip_layout.h"

#include <gtest/gtest.h>

namespace pagewell {
namespace {

constexpr int kCaption = 8;  // the default font's point size

StripLayoutRequest request(int stripWidth, int stripHeight, int mainWidth, int mainHeight, int rows) {
  StripLayoutRequest r;
  r.stripWidth = stripWidth;
  r.stripHeight = stripHeight;
  r.mainWidth = mainWidth;
  r.mainHeight = mainHeight;
  r.rows = rows;
  r.captionHeight = kCaption;
  return r;
}

TEST(ThumbnailStripLayout, FitsRowsColumnsAndSizes) {
  struct Case {
    const char* what;
    int stripWidth, stripHeight, mainWidth, mainHeight, rows;
    // expected
    int outRows, thumbWidth, thumbHeight, columns, outStripWidth, outStripHeight;
    bool dropped, heightened, widened;
  };
  const Case cases[] = {
      // 3 rows leave (121 - 8 - 64 - 25) / 3 = 8 pixels per row, 2 rows 20
      // (not more than the label row): one row of 36 x 36 in 14 columns.
      {"design sizes", 777, 121, 450, 450, 3, 1, 36, 36, 14, 777, 121, true, false, false},
      {"design sizes, one row asked", 777, 121, 450, 450, 1, 1, 36, 36, 14, 777, 121, false, false, false},
      // (400 - 8 - 64 - 25) / 3 = 101 per row: 81 high, 81 x 450 / 450 wide.
      {"three rows fit", 800, 400, 450, 450, 3, 3, 81, 81, 8, 800, 400, false, false, false},
      // 7 rows leave 34 per row, 6 rows 42: 22 x 22 in (800 - 16) / 38 columns.
      {"rows asked beyond what fits", 800, 400, 450, 450, 1000000, 6, 22, 22, 20, 800, 400, true, false, false},
      // A wide main area gives wide thumbnails: 36 x 900 / 450 = 72.
      {"wide main area", 777, 121, 900, 450, 3, 1, 72, 36, 8, 777, 121, true, false, false},
      // A tall main area: 36 x 112 / 450 = 8 wide is too narrow, so the
      // strip grows to 15 x 450 / 112 + 20 + 17 + 8 + 48 + 8 = 161, giving
      // 161 - 8 - 32 - 25 - 20 = 76 high and 76 x 112 / 450 = 18 wide.
      {"tall main area", 777, 121, 112, 450, 3, 1, 18, 76, 22, 777, 161, true, true, false},
      // Too low for any row: 8 + 15 + 20 + 17 + 8 + 48 = 116, then the
      // thumbnail is 116 - 8 - 32 - 25 - 20 = 31 high (the third gap).
      {"too low", 777, 80, 450, 450, 1, 1, 31, 31, 16, 777, 116, false, true, false},
      // Narrower than one thumbnail and two gaps: widened to exactly that.
      {"too narrow", 40, 121, 450, 450, 1, 1, 36, 36, 1, 68, 121, false, false, true},
      {"one column just fits", 68, 121, 450, 450, 1, 1, 36, 36, 1, 68, 121, false, false, false},
      {"strip of minimum width", 201, 121, 450, 450, 3, 1, 36, 36, 3, 201, 121, true, false, false},
  };
  for (const Case& c : cases) {
    StripLayout layout = layOutStrip(request(c.stripWidth, c.stripHeight, c.mainWidth, c.mainHeight, c.rows));
    SCOPED_TRACE(c.what);
    EXPECT_EQ(layout.rows, c.outRows);
    EXPECT_EQ(layout.thumbnailWidth, c.thumbWidth);
    EXPECT_EQ(layout.thumbnailHeight, c.thumbHeight);
    EXPECT_EQ(layout.columns, c.columns);
    EXPECT_EQ(layout.stripWidth, c.outStripWidth);
    EXPECT_EQ(layout.stripHeight, c.outStripHeight);
    EXPECT_EQ(layout.rowsDropped, c.dropped);
    EXPECT_EQ(layout.stripHeightened, c.heightened);
    EXPECT_EQ(layout.stripWidened, c.widened);
    EXPECT_EQ(layout.slots(), c.outRows * c.columns);
    EXPECT_GE(layout.thumbnailWidth, 15);
    EXPECT_GE(layout.thumbnailHeight, 15);
  }
}

TEST(ThumbnailStripLayout, HighlightAndNavigationRowFollowTheStrip) {
  StripLayout layout = layOutStrip(request(777, 121, 450, 450, 3));
  EXPECT_EQ(layout.highlightWidth, 36 + 8);
  EXPECT_EQ(layout.highlightHeight, 20 + 36 + 8);
  EXPECT_EQ(layout.navigationButtonTop, 121 - 8 - 17);  // 96, the design position
  layout = layOutStrip(request(777, 80, 450, 450, 1));
  EXPECT_EQ(layout.navigationButtonTop, 116 - 8 - 17);
}

// A main area whose proportions would leave the minimum width a pixel short
// after rounding must still end the search.
TEST(ThumbnailStripLayout, EndsForAnyMainAreaProportions) {
  for (int mainWidth : {1, 2, 7, 112, 449, 450, 451, 10000})
    for (int mainHeight : {0, 1, 112, 449, 450, 451, 10000}) {
      StripLayout layout = layOutStrip(request(777, 50, mainWidth, mainHeight, 3));
      EXPECT_GE(layout.thumbnailWidth, 15) << mainWidth << " x " << mainHeight;
      EXPECT_GE(layout.thumbnailHeight, 15) << mainWidth << " x " << mainHeight;
      EXPECT_GE(layout.columns, 1);
    }
}

TEST(ThumbnailStripLayout, SlotLabelsCentredAboveTheirCells) {
  StripLayout layout = layOutStrip(request(800, 400, 450, 450, 3));  // 3 rows of 8, 81 x 81
  LayoutConstants c;
  struct Case {
    int slot, labelWidth;
    Point expected;
  };
  const Case cases[] = {
      {0, 7, {(81 - 7) / 2 + 16, 8 + 16}},
      {1, 7, {(81 - 7) / 2 + 32 + 81, 8 + 16}},
      {7, 13, {(81 - 13) / 2 + 16 * 8 + 7 * 81, 8 + 16}},
      {8, 7, {(81 - 7) / 2 + 16, 8 + 32 + 101}},
      {23, 13, {(81 - 13) / 2 + 16 * 8 + 7 * 81, 8 + 48 + 2 * 101}},
  };
  for (const Case& k : cases)
    EXPECT_EQ(slotLabelPosition(layout, kCaption, c, k.slot, k.labelWidth), k.expected) << "slot " << k.slot;
}

TEST(ThumbnailStripLayout, ThumbnailsCentredInTheirCells) {
  StripLayout layout = layOutStrip(request(800, 400, 450, 450, 3));  // 3 rows of 8, 81 x 81
  LayoutConstants c;
  struct Case {
    int slot, width, height;
    Point expected;
  };
  const Case cases[] = {
      {1, 81, 81, {16, 8 + 16 + 20}},
      {1, 63, 81, {9 + 16, 8 + 16 + 20}},          // a portrait page
      {2, 81, 40, {97 + 16, 8 + 16 + 20 + 20}},    // a landscape page, centred vertically
      {9, 81, 81, {16, 8 + 16 + 20 + 117}},        // second row
      {24, 81, 81, {7 * 97 + 16, 8 + 36 + 2 * 117}},
  };
  for (const Case& k : cases)
    EXPECT_EQ(thumbnailPosition(layout, kCaption, c, k.slot, k.width, k.height), k.expected) << "slot " << k.slot;
}

TEST(ThumbnailStripLayout, HighlightBehindTheCurrentCell) {
  StripLayout layout = layOutStrip(request(800, 400, 450, 450, 3));  // 3 rows of 8, 81 x 81
  LayoutConstants c;
  struct Case {
    unsigned current, first;
    Point expected;
  };
  const Case cases[] = {
      {1, 1, {12, 8 + 12}},
      {5, 3, {2 * 97 + 12, 20}},
      {12, 3, {1 * 97 + 12, 20 + 117}},
      {40, 17, {7 * 97 + 12, 20 + 2 * 117}},
  };
  for (const Case& k : cases)
    EXPECT_EQ(highlightPosition(layout, kCaption, c, k.current, k.first), k.expected) << k.current;
}

TEST(ThumbnailStripLayout, CurrentPageIsKeptInTheWindow) {
  struct Case {
    unsigned current, first;
    int slots;
    unsigned expected;
  };
  const Case cases[] = {
      {1, 1, 14, 1},  {14, 1, 14, 1},  {15, 1, 14, 2},   {300, 1, 14, 287},
      {3, 10, 14, 3}, {10, 10, 14, 10}, {23, 10, 14, 10}, {24, 10, 14, 11},
      {0, 0, 14, 0},  {5, 1, 1, 5},
  };
  for (const Case& k : cases)
    EXPECT_EQ(firstVisibleFor(k.current, k.first, k.slots), k.expected) << k.current << " from " << k.first;
}

TEST(ThumbnailStripLayout, SmallestStripSizes) {
  LayoutConstants c;
  EXPECT_EQ(minimumStripHeight(kCaption, c), 100);
  EXPECT_EQ(minimumStripWidth(c), 201);
}

}  // namespace
}  // namespace pagewell
