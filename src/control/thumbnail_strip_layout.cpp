#include "thumbnail_strip_layout.h"

#include <algorithm>

namespace pagewell {
namespace {

// The space below the navigation buttons.
constexpr int kBottomMargin = 8;

struct ThumbnailSize {
  int width = 0, height = 0;
};

// Each row holds a label row above its thumbnails; gaps separate the rows
// and the navigation buttons' row closes the strip. Thumbnails keep the
// main area's proportions.
ThumbnailSize thumbnailSizeFor(const StripLayoutRequest& request, int stripHeight, int rows) {
  const LayoutConstants& c = request.constants;
  int perRow = (stripHeight - request.captionHeight - (rows + 1) * c.thumbnailGap - c.navigationButtonHeight -
                kBottomMargin) /
               rows;
  ThumbnailSize size;
  size.height = perRow > c.labelRowHeight ? perRow - c.labelRowHeight : 0;
  size.width = size.height;
  if (request.mainWidth > 0 && request.mainHeight > 0)
    size.width = static_cast<int>(static_cast<long long>(size.height) * request.mainWidth / request.mainHeight);
  return size;
}

// A strip of one row just high enough for the smallest thumbnail (for a
// main area taller than wide, for the smallest thumbnail width).
int enlargedStripHeight(const StripLayoutRequest& request) {
  const LayoutConstants& c = request.constants;
  int rest = c.labelRowHeight + c.navigationButtonHeight + kBottomMargin + 3 * c.thumbnailGap + request.captionHeight;
  if (request.mainHeight > request.mainWidth && request.mainWidth > 0)
    return static_cast<int>(static_cast<long long>(c.minimumThumbnailSize) * request.mainHeight / request.mainWidth) +
           rest;
  return c.minimumThumbnailSize + rest;
}

// More rows than this cannot hold thumbnails of the minimum height, so the
// search for the rows that fit starts here rather than one row at a time
// from any count a page may ask for.
int mostRowsThatFit(const StripLayoutRequest& request) {
  const LayoutConstants& c = request.constants;
  int room = request.stripHeight - request.captionHeight - c.thumbnailGap - c.navigationButtonHeight - kBottomMargin;
  int rows = room / (c.thumbnailGap + c.labelRowHeight + c.minimumThumbnailSize);
  return rows < 1 ? 1 : rows;
}

}  // namespace

StripLayout layOutStrip(const StripLayoutRequest& request) {
  const LayoutConstants& c = request.constants;
  StripLayout layout;
  layout.rows = request.rows < 1 ? 1 : std::min(request.rows, mostRowsThatFit(request));
  layout.stripWidth = request.stripWidth;
  layout.stripHeight = request.stripHeight;

  ThumbnailSize size = thumbnailSizeFor(request, layout.stripHeight, layout.rows);
  while (size.width < c.minimumThumbnailSize || size.height < c.minimumThumbnailSize) {
    if (layout.rows > 1) {
      --layout.rows;
    } else {
      // Each enlargement must make room, or the loop would never end.
      int enlarged = enlargedStripHeight(request);
      layout.stripHeight = enlarged > layout.stripHeight ? enlarged : layout.stripHeight + 1;
    }
    size = thumbnailSizeFor(request, layout.stripHeight, layout.rows);
  }
  layout.thumbnailWidth = size.width;
  layout.thumbnailHeight = size.height;
  layout.rowsDropped = layout.rows < request.rows;
  layout.stripHeightened = layout.stripHeight != request.stripHeight;

  layout.columns = (layout.stripWidth - c.thumbnailGap) / (layout.thumbnailWidth + c.thumbnailGap);
  if (layout.columns <= 0) {
    layout.stripWidth = 2 * c.thumbnailGap + layout.thumbnailWidth;
    layout.stripWidened = true;
    layout.columns = (layout.stripWidth - c.thumbnailGap) / (layout.thumbnailWidth + c.thumbnailGap);
  }

  layout.highlightWidth = layout.thumbnailWidth + 2 * c.highlightMargin;
  layout.highlightHeight = c.labelRowHeight + layout.thumbnailHeight + 2 * c.highlightMargin;
  layout.navigationButtonTop = layout.stripHeight - kBottomMargin - c.navigationButtonHeight;
  return layout;
}

Point slotLabelPosition(const StripLayout& layout, int captionHeight, const LayoutConstants& c, int slot,
                        int labelWidth) {
  int column = slot % layout.columns + 1;
  int row = slot / layout.columns + 1;
  return {(layout.thumbnailWidth - labelWidth) / 2 + c.thumbnailGap * column + (column - 1) * layout.thumbnailWidth,
          captionHeight + c.thumbnailGap * row + (c.labelRowHeight + layout.thumbnailHeight) * (row - 1)};
}

unsigned firstVisibleFor(unsigned current, unsigned firstVisible, int slots) {
  if (current == 0 || slots < 1) return firstVisible;
  const unsigned long long lastShown = static_cast<unsigned long long>(firstVisible) + slots - 1;
  if (current > lastShown) return current - static_cast<unsigned>(slots - 1);
  if (current < firstVisible) return current;
  return firstVisible;
}

Point thumbnailPosition(const StripLayout& layout, int captionHeight, const LayoutConstants& c, int slot,
                        int viewerWidth, int viewerHeight) {
  int column = (slot - 1) % layout.columns + 1;
  int row = (slot - 1) / layout.columns + 1;
  return {(layout.thumbnailWidth - viewerWidth) / 2 + (layout.thumbnailWidth + c.thumbnailGap) * (column - 1) +
              c.thumbnailGap,
          captionHeight + c.thumbnailGap + c.labelRowHeight +
              (layout.thumbnailHeight + c.thumbnailGap + c.labelRowHeight) * (row - 1) +
              (layout.thumbnailHeight - viewerHeight) / 2};
}

Point highlightPosition(const StripLayout& layout, int captionHeight, const LayoutConstants& c, unsigned current,
                        unsigned firstVisible) {
  int k = static_cast<int>(current - firstVisible);
  return {(k % layout.columns) * (layout.thumbnailWidth + c.thumbnailGap) + c.thumbnailGap - c.highlightMargin,
          captionHeight + c.thumbnailGap - c.highlightMargin +
              (k / layout.columns) * (layout.thumbnailHeight + c.thumbnailGap + c.labelRowHeight)};
}

int minimumStripHeight(int captionHeight, const LayoutConstants& c) {
  return captionHeight + c.minimumThumbnailSize + c.labelRowHeight + 2 * c.thumbnailGap + c.navigationButtonHeight +
         kBottomMargin;
}

}  // namespace pagewell
