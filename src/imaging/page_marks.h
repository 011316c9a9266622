#pragma once
// What a region of dark or coloured cells is to a reader. Paper handling
// leaves marks that nobody wrote: dust and fibres, the holes of a punched
// page showing the scanner's lid, and the shadow along an edge. Everything
// else that forms a stroke or a blot is content, however small: a page
// number, a signature or a single line.
#include "imaging/cell_regions.h"
#include "imaging/reduced_page_map.h"

namespace pagewell {

enum class TMarkKind { Speck, PunchHole, EdgeShadow, Content };

// The band along the edges that scanners darken, in cells of the map.
struct TBorderBand {
  int Across = 0, Down = 0;
};

// Border band of 0.2 inch, or none when the page is too small for one.
TBorderBand BorderBandOf(const TReducedPageMap& map);

TMarkKind ClassifyMark(const TCellRegion& region, const TReducedPageMap& map, const TBorderBand& band);

}  // namespace pagewell
