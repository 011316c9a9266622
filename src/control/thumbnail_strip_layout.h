#pragma once
// The geometry of the thumbnail strip, as plain calculations: how many rows
// and columns of thumbnails of which size fit the strip, where each slot's
// page-number label, each page viewer and the highlight go, and which page
// is the first one shown. The form applies the results to its windows.
#include <climits>

#include "form_state.h"

namespace pagewell {

struct StripLayoutRequest {
  int stripWidth = 0, stripHeight = 0;  // grpThumbs
  int mainWidth = 0, mainHeight = 0;    // shpMain: thumbnails keep its proportions
  int rows = 0;                         // ThumbRows
  int captionHeight = 0;                // grpThumbs' caption, the point size of its font
  LayoutConstants constants;
};

struct StripLayout {
  int rows = 0;
  int stripWidth = 0, stripHeight = 0;
  int thumbnailWidth = 0, thumbnailHeight = 0;
  int columns = 0;
  // The warnings: rows dropped (8), strip made higher (9), wider (10).
  bool rowsDropped = false, stripHeightened = false, stripWidened = false;
  int highlightWidth = 0, highlightHeight = 0;  // shpCurrent
  int navigationButtonTop = 0;

  // rows x columns, at most INT_MAX however wide and high a page makes the
  // strip.
  int slots() const {
    long long slots = static_cast<long long>(rows) * columns;
    return slots > INT_MAX ? INT_MAX : static_cast<int>(slots);
  }
};

// Drops rows, then enlarges the strip, until thumbnails of at least the
// minimum size fit; then widens the strip until one column fits.
StripLayout layOutStrip(const StripLayoutRequest& request);

struct Point {
  int x = 0, y = 0;
  bool operator==(const Point& other) const { return x == other.x && y == other.y; }
};

// The page-number label of slot `slot` (0-based), `labelWidth` wide,
// centred above its cell.
Point slotLabelPosition(const StripLayout& layout, int captionHeight, const LayoutConstants& constants, int slot,
                        int labelWidth);

// The first page shown once the current page has been brought into the
// window of `slots` pages (both 1-based; 0 current means no page).
unsigned firstVisibleFor(unsigned current, unsigned firstVisible, int slots);

// A page viewer of the given size, centred in the cell of slot `slot`
// (1-based).
Point thumbnailPosition(const StripLayout& layout, int captionHeight, const LayoutConstants& constants, int slot,
                        int viewerWidth, int viewerHeight);

// shpCurrent behind the current page's cell.
Point highlightPosition(const StripLayout& layout, int captionHeight, const LayoutConstants& constants,
                        unsigned current, unsigned firstVisible);

// The smallest strip height that holds one row of the smallest thumbnails.
int minimumStripHeight(int captionHeight, const LayoutConstants& constants);
// The smallest strip width SetThumbnails and SetWidth take.
inline int minimumStripWidth(const LayoutConstants& constants) {
  return constants.minimumStripWidthBase + constants.thumbnailGap;
}

}  // namespace pagewell
