#pragma once
// TReducedPageMap: what a page looks like from arm's length. Deciding
// whether a page is blank, or holds colour or a photograph, needs the shape
// of what is on it, not every pixel: the page is sampled on a grid of about
// 150 samples per inch (every pixel below that) in one pass, and each block
// of about 2 × 2 samples becomes one cell of a map at about 75 cells per
// inch. A cell keeps its mean brightness and colour, and its darkest sample
// with that sample's colour, so a pen stroke narrower than a cell still
// shows at full strength.
#include <cstdint>
#include <vector>

#include "imaging/raster.h"

namespace pagewell {

// Colour is kept as two differences from the brightness, blue − luma and
// red − luma (−255 to 255): 0 and 0 for every gray.
struct TPageCell {
  std::uint8_t MeanLuma = 255;
  std::uint8_t DarkestLuma = 255;
  // Share of the samples in the mid tones (neither ink nor paper), 0 to 255.
  std::uint8_t MidToneShare = 0;
  std::int16_t MeanBlueDiff = 0, MeanRedDiff = 0;
  std::int16_t DarkestBlueDiff = 0, DarkestRedDiff = 0;
};

struct TReducedPageMap {
  int Width = 0, Height = 0;  // cells
  // Cells per inch across and down, from the page's resolution.
  double CellsPerInchX = 75, CellsPerInchY = 75;
  std::vector<TPageCell> Cells;  // row by row
  // True when the page can hold no colour at all (a gray palette).
  bool Colourless = false;

  const TPageCell& At(int x, int y) const { return Cells[static_cast<std::size_t>(y) * Width + x]; }
  double WidthInches(int cells) const { return cells / CellsPerInchX; }
  double HeightInches(int cells) const { return cells / CellsPerInchY; }
};

// Rec. 601 brightness, 0 to 255, in integers.
constexpr int LumaOf(int red, int green, int blue) { return (77 * red + 150 * green + 29 * blue + 128) >> 8; }

// Brightness where a sample counts as a mid tone: darker than any paper,
// lighter than any ink.
constexpr int kMidToneDarkest = 48;
constexpr int kMidToneLightest = 176;

// Builds the map of any raster format. `xDpi` and `yDpi` are the page's
// resolution; values outside 40 to 4800 dpi (unknown, or nonsense from a
// file) are replaced by the resolution a Letter-wide page would have.
TReducedPageMap BuildReducedPageMap(const TRaster& page, int xDpi, int yDpi);

}  // namespace pagewell
