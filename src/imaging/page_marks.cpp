#include "imaging/page_marks.h"

#include <algorithm>
#include <cmath>

namespace pagewell {
namespace {

constexpr double kBorderBandInches = 0.2;
// Dust, fibres of recycled paper and a lone full stop stay below this. The
// smallest mark that must stay, a digit of an 8-point page number, is
// 0.08 inch tall and measures 0.06 on a 50-cell map: no room for more.
constexpr double kLargestSpeckInches = 0.05;
// Office punches cut holes of 5 to 8 mm, their centres about 12 mm from the
// edge; scanned with a dark lid they are round, nearly filled blots.
constexpr double kSmallestHoleInches = 0.17, kLargestHoleInches = 0.45;
constexpr double kHoleCentreFromEdgeInches = 1.0;
constexpr double kSmallestHoleFill = 0.55, kMostHoleElongation = 1.5;
// A shadow runs along an edge, long and narrow.
constexpr double kShortestShadowInches = 2.0, kWidestShadowInches = 0.6;

// Sizes are measured between the centres of the outer cells, so a mark
// that straddles a cell boundary is not taken for larger than it is.
struct TInchBox {
  double Width, Height, CentreX, CentreY, PageWidth, PageHeight;
};

TInchBox InchesOf(const TCellRegion& region, const TReducedPageMap& map) {
  return {map.WidthInches(region.Width() - 1),
          map.HeightInches(region.Height() - 1),
          map.WidthInches(region.Left) + map.WidthInches(region.Width()) / 2,
          map.HeightInches(region.Top) + map.HeightInches(region.Height()) / 2,
          map.WidthInches(map.Width),
          map.HeightInches(map.Height)};
}

bool IsSpeck(const TInchBox& box) { return std::max(box.Width, box.Height) < kLargestSpeckInches; }

bool IsPunchHole(const TCellRegion& region, const TInchBox& box) {
  const double smaller = std::min(box.Width, box.Height), larger = std::max(box.Width, box.Height);
  if (smaller < kSmallestHoleInches || larger > kLargestHoleInches) return false;
  if (larger > smaller * kMostHoleElongation || region.Fill() < kSmallestHoleFill) return false;
  const double fromEdge = std::min({box.CentreX, box.CentreY, box.PageWidth - box.CentreX, box.PageHeight - box.CentreY});
  return fromEdge <= kHoleCentreFromEdgeInches;
}

bool IsEdgeShadow(const TCellRegion& region, const TReducedPageMap& map, const TBorderBand& band, const TInchBox& box) {
  const bool byLeftOrRight = region.Left <= band.Across || region.Right >= map.Width - 1 - band.Across;
  const bool byTopOrBottom = region.Top <= band.Down || region.Bottom >= map.Height - 1 - band.Down;
  if (byLeftOrRight && box.Height >= kShortestShadowInches && box.Width <= kWidestShadowInches) return true;
  return byTopOrBottom && box.Width >= kShortestShadowInches && box.Height <= kWidestShadowInches;
}

}  // namespace

TBorderBand BorderBandOf(const TReducedPageMap& map) {
  TBorderBand band{static_cast<int>(std::ceil(kBorderBandInches * map.CellsPerInchX)),
                   static_cast<int>(std::ceil(kBorderBandInches * map.CellsPerInchY))};
  if (map.Width <= 4 * band.Across || map.Height <= 4 * band.Down) return {};
  return band;
}

TMarkKind ClassifyMark(const TCellRegion& region, const TReducedPageMap& map, const TBorderBand& band) {
  const TInchBox box = InchesOf(region, map);
  if (IsSpeck(box)) return TMarkKind::Speck;
  if (IsPunchHole(region, box)) return TMarkKind::PunchHole;
  if (IsEdgeShadow(region, map, band, box)) return TMarkKind::EdgeShadow;
  return TMarkKind::Content;
}

}  // namespace pagewell
