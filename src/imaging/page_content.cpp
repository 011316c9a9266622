// The analysis runs on the reduced page map (reduced_page_map.h):
//  1. the paper: the median brightness and colour of the cells inside the
//     border band, so tinted and recycled paper is the reference, not white;
//  2. ink: cells whose darkest sample stands clearly below the paper (faint
//     show-through stays above that) or whose colour differs from the
//     paper's; their connected regions are classified as specks, punch
//     holes, edge shadows or content (page_marks.h);
//  3. colour: the same for cells whose colour differs from the paper's;
//  4. photographs: regions of cells made of mid tones throughout.
#include "imaging/page_content.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

#include "imaging/cell_regions.h"
#include "imaging/page_marks.h"
#include "imaging/reduced_page_map.h"

namespace pagewell {
namespace {

// Show-through and the grain of recycled paper stay within this much of
// the paper's brightness; pencil, ballpoint and print go well beyond it.
constexpr int kInkContrast = 72;
// Colour distance from the paper (sum of the blue and red differences) that
// makes a cell coloured: for the mean of a cell (a coloured area) and for
// its darkest sample (a coloured stroke). Scanner noise stays below both.
constexpr int kAreaColourDistance = 32;
constexpr int kStrokeColourDistance = 64;
constexpr int kStrokeLeastContrast = 24;
// A photograph: cells at least three quarters mid tones, forming a region of
// at least 0.3 inch each way that fills half of its box.
constexpr int kPhotoCellMidTones = 192;
constexpr double kSmallestPhotoInches = 0.3;
constexpr double kLeastPhotoFill = 0.5;
// Threshold for black and white, as a share of the way from ink to paper:
// well towards the paper, so light strokes beside dark print stay whole,
// but never within half the ink contrast of the paper, where show-through is.
constexpr double kThresholdShare = 0.7;

struct TPaper {
  int Luma = 255, BlueDiff = 0, RedDiff = 0;
};

template <std::size_t N>
int MedianOf(const std::array<std::uint32_t, N>& histogram, std::uint32_t total, int offset) {
  std::uint32_t seen = 0;
  for (std::size_t i = 0; i < N; ++i) {
    seen += histogram[i];
    if (2 * seen >= total) return static_cast<int>(i) - offset;
  }
  return static_cast<int>(N) - 1 - offset;
}

template <typename Visit>
void ForEachInnerCell(const TReducedPageMap& map, const TBorderBand& band, Visit visit) {
  for (int y = band.Down; y < map.Height - band.Down; ++y)
    for (int x = band.Across; x < map.Width - band.Across; ++x) visit(x, y, map.At(x, y));
}

TPaper PaperOf(const TReducedPageMap& map, const TBorderBand& band) {
  std::array<std::uint32_t, 256> luma{};
  std::array<std::uint32_t, 511> blue{}, red{};
  std::uint32_t total = 0;
  ForEachInnerCell(map, band, [&](int, int, const TPageCell& c) {
    ++luma[c.MeanLuma], ++blue[c.MeanBlueDiff + 255], ++red[c.MeanRedDiff + 255], ++total;
  });
  if (total == 0) return {};
  return {MedianOf(luma, total, 0), MedianOf(blue, total, 255), MedianOf(red, total, 255)};
}

// Distance of a colour from the paper's hue at any strength: black print
// on a tinted sheet mixes the two (and JPEG spreads the paper's colour into
// thin strokes), which is no colour of its own. The colour is projected on
// the paper's colour (as differences from the brightness); what stays off
// that line is the cell's own colour. On white paper it is the colour itself.
class TPaperDistance {
 public:
  explicit TPaperDistance(const TPaper& paper)
      : blue_(paper.BlueDiff), red_(paper.RedDiff), length_(paper.BlueDiff * paper.BlueDiff + paper.RedDiff * paper.RedDiff) {}

  int operator()(int blueDiff, int redDiff) const {
    if (length_ == 0) return std::abs(blueDiff) + std::abs(redDiff);
    const int along = blueDiff * blue_ + redDiff * red_;
    const double share = std::clamp(static_cast<double>(along) / length_, 0.0, 1.0);
    return static_cast<int>(std::abs(blueDiff - share * blue_) + std::abs(redDiff - share * red_));
  }

 private:
  int blue_, red_, length_;
};

bool IsColourCell(const TPageCell& c, const TPaper& paper, const TPaperDistance& distance) {
  if (distance(c.MeanBlueDiff, c.MeanRedDiff) >= kAreaColourDistance) return true;
  // A dark stroke needs more colour to count: the fringes that JPEG and
  // scanner optics leave around black print are strongest there.
  const int contrast = paper.Luma - c.DarkestLuma;
  return contrast >= kStrokeLeastContrast &&
         distance(c.DarkestBlueDiff, c.DarkestRedDiff) >= std::max(kStrokeColourDistance, contrast / 2);
}

struct TCellMasks {
  std::vector<std::uint8_t> Ink, Colour, MidTones;
  std::array<std::uint32_t, 256> InkLumas{};
  std::uint32_t InkCells = 0;
};

TCellMasks MasksOf(const TReducedPageMap& map, const TBorderBand& band, const TPaper& paper) {
  const bool mayHoldColour = !map.Colourless;
  const TPaperDistance distance(paper);
  TCellMasks masks;
  const std::size_t cells = map.Cells.size();
  masks.Ink.assign(cells, 0), masks.Colour.assign(cells, 0), masks.MidTones.assign(cells, 0);
  ForEachInnerCell(map, band, [&](int x, int y, const TPageCell& c) {
    const std::size_t i = static_cast<std::size_t>(y) * map.Width + x;
    masks.Colour[i] = mayHoldColour && IsColourCell(c, paper, distance);
    masks.Ink[i] = masks.Colour[i] || paper.Luma - c.DarkestLuma >= kInkContrast;
    masks.MidTones[i] = c.MidToneShare >= kPhotoCellMidTones;
    if (masks.Ink[i]) ++masks.InkLumas[c.DarkestLuma], ++masks.InkCells;
  });
  return masks;
}

// Both searches stop at the first region that answers them.
bool HasContentMark(const std::vector<std::uint8_t>& mask, const TReducedPageMap& map, const TBorderBand& band) {
  return !ForEachConnectedRegion(mask, map.Width, map.Height, [&](const TCellRegion& region) {
    return ClassifyMark(region, map, band) != TMarkKind::Content;
  });
}

bool HasPhotographRegion(const std::vector<std::uint8_t>& mask, const TReducedPageMap& map) {
  return !ForEachConnectedRegion(mask, map.Width, map.Height, [&](const TCellRegion& region) {
    return map.WidthInches(region.Width()) < kSmallestPhotoInches ||
           map.HeightInches(region.Height()) < kSmallestPhotoInches || region.Fill() < kLeastPhotoFill;
  });
}

}  // namespace

TContentAnalysis AnalysePageContent(const TluBitmap& page) {
  TContentAnalysis content;
  if (page.Empty()) return content;
  const TReducedPageMap map = BuildReducedPageMap(page, page.XDpi(), page.YDpi());
  const TBorderBand band = BorderBandOf(map);
  const TPaper paper = PaperOf(map, band);
  const TCellMasks masks = MasksOf(map, band, paper);
  content.PaperLuma = paper.Luma;
  content.Blank = !HasContentMark(masks.Ink, map, band);
  content.HasColour = !map.Colourless && HasContentMark(masks.Colour, map, band);
  content.HasPhotograph = HasPhotographRegion(masks.MidTones, map);
  content.InkLuma = masks.InkCells > 0 ? MedianOf(masks.InkLumas, masks.InkCells, 0) : 0;
  content.BlackWhiteThreshold =
      std::min(content.InkLuma + static_cast<int>(kThresholdShare * (content.PaperLuma - content.InkLuma) + 0.5),
               content.PaperLuma - kInkContrast / 2);
  return content;
}

}  // namespace pagewell
