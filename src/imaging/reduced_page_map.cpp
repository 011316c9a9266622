// The reduced map is built row of cells by row of cells: the sampled rows of
// one cell row are decoded into brightness and colour differences, added to
// one accumulator per cell column, and the finished row of cells is written
// out. Only the sampled pixels are read, so a 300-dpi page costs a quarter
// of its pixels.
#include "imaging/reduced_page_map.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace pagewell {
namespace {

constexpr double kSamplesPerInch = 100;
constexpr double kSmallestCellDpi = 90;  // below this one sample makes one cell
constexpr int kLowestPlausibleDpi = 40, kHighestPlausibleDpi = 4800;
constexpr double kLetterWidthInches = 8.5;

// A sample keeps its blue and red; the cell's differences from the
// brightness follow from the sums, which saves two subtractions a sample.
struct TSample {
  std::uint8_t Luma, Blue, Red;
};

TSample SampleOf(int blue, int green, int red) {
  return {static_cast<std::uint8_t>(LumaOf(red, green, blue)), static_cast<std::uint8_t>(blue),
          static_cast<std::uint8_t>(red)};
}

struct TAxis {
  int Step = 1;          // pixels from one sample to the next
  int CellSamples = 1;   // samples per cell
  int Samples = 0;       // samples across the page
  int Cells = 0;
  double CellsPerInch = 0;
};

TAxis AxisFor(int pixels, int dpi, int fallbackDpi) {
  if (dpi < kLowestPlausibleDpi || dpi > kHighestPlausibleDpi) dpi = fallbackDpi;
  TAxis axis;
  axis.Step = std::max(1, static_cast<int>(std::lround(dpi / kSamplesPerInch)));
  const double sampleDpi = static_cast<double>(dpi) / axis.Step;
  axis.CellSamples = sampleDpi >= kSmallestCellDpi ? 2 : 1;
  axis.Samples = (pixels + axis.Step - 1) / axis.Step;
  axis.Cells = (axis.Samples + axis.CellSamples - 1) / axis.CellSamples;
  axis.CellsPerInch = sampleDpi / axis.CellSamples;
  return axis;
}

// Samples of direct-colour rows: blue, green, red in the first three bytes.
template <int kBytesPerPixel>
struct TDirectSamples {
  TSample operator()(const std::uint8_t* row, int x) const {
    const std::uint8_t* p = row + static_cast<std::size_t>(x) * kBytesPerPixel;
    return SampleOf(p[0], p[1], p[2]);
  }
};

// Samples of palette rows, looked up per index; indices past the palette
// are black.
template <int kBits>
struct TPaletteSamples {
  std::array<TSample, 256> Entries{};

  explicit TPaletteSamples(const std::vector<TColor>& palette) {
    for (std::size_t i = 0; i < palette.size() && i < Entries.size(); ++i)
      Entries[i] = SampleOf(BlueOf(palette[i]), GreenOf(palette[i]), RedOf(palette[i]));
  }
  TSample operator()(const std::uint8_t* row, int x) const {
    if constexpr (kBits == 1) return Entries[(row[x >> 3] >> (7 - (x & 7))) & 1];
    if constexpr (kBits == 4) return Entries[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15];
    return Entries[row[x]];
  }
};

// The sums of one cell while its samples arrive.
struct TCellSums {
  std::uint32_t Luma = 0, MidTones = 0, Count = 0, Blue = 0, Red = 0;
  TSample Darkest{255, 255, 255};

  void Add(const TSample& s) {
    Luma += s.Luma, Blue += s.Blue, Red += s.Red, ++Count;
    MidTones += static_cast<std::uint32_t>(s.Luma - kMidToneDarkest) <= kMidToneLightest - kMidToneDarkest;
    if (s.Luma < Darkest.Luma) Darkest = s;
  }

  // Full cells of 2 × 2 samples are the common case: their divisions
  // become shifts.
  TPageCell Cell() const { return Count == 4 ? CellOf(4) : CellOf(static_cast<std::int32_t>(Count)); }

 private:
  TPageCell CellOf(std::int32_t n) const {
    const std::int32_t half = n / 2;
    const std::int32_t blueDiff = static_cast<std::int32_t>(Blue) - static_cast<std::int32_t>(Luma);
    const std::int32_t redDiff = static_cast<std::int32_t>(Red) - static_cast<std::int32_t>(Luma);
    TPageCell cell;
    cell.MeanLuma = static_cast<std::uint8_t>((static_cast<std::int32_t>(Luma) + half) / n);
    cell.MidToneShare = static_cast<std::uint8_t>((static_cast<std::int32_t>(MidTones) * 255 + half) / n);
    cell.MeanBlueDiff = static_cast<std::int16_t>((blueDiff + (blueDiff < 0 ? -half : half)) / n);
    cell.MeanRedDiff = static_cast<std::int16_t>((redDiff + (redDiff < 0 ? -half : half)) / n);
    cell.DarkestLuma = Darkest.Luma;
    cell.DarkestBlueDiff = static_cast<std::int16_t>(Darkest.Blue - Darkest.Luma);
    cell.DarkestRedDiff = static_cast<std::int16_t>(Darkest.Red - Darkest.Luma);
    return cell;
  }
};

// One row of cells from the sampled pixel rows that fall in it: each cell
// takes its samples straight from the rows. `kCellSamples` is the cell's
// side in samples when the row of cells is whole (every row present), so
// the common cells come out of fixed-size loops; 0 handles any cell.
template <int kCellSamples, typename Samples>
void FillCellRow(const Samples& samples, const std::uint8_t* const* rows, int rowCount, const TAxis& across,
                 TPageCell* out) {
  const int step = across.Step;
  const int wholeCells = kCellSamples > 0 ? across.Samples / kCellSamples : 0;
  for (int cellX = 0; cellX < wholeCells; ++cellX) {
    TCellSums sums;
    const int x = cellX * kCellSamples * step;
    for (int r = 0; r < kCellSamples; ++r)
      for (int i = 0; i < kCellSamples; ++i) sums.Add(samples(rows[r], x + i * step));
    out[cellX] = sums.Cell();
  }
  for (int cellX = wholeCells; cellX < across.Cells; ++cellX) {
    const int first = cellX * across.CellSamples;
    const int last = std::min(first + across.CellSamples, across.Samples);
    TCellSums sums;
    for (int r = 0; r < rowCount; ++r)
      for (int i = first; i < last; ++i) sums.Add(samples(rows[r], i * step));
    out[cellX] = sums.Cell();
  }
}

template <typename Samples>
void FillMap(const TRaster& page, const Samples& samples, const TAxis& across, const TAxis& down,
             TReducedPageMap& map) {
  const std::uint8_t* rows[2] = {};
  for (int cellY = 0; cellY < map.Height; ++cellY) {
    int rowCount = 0;
    for (int s = 0; s < down.CellSamples; ++s) {
      const int y = (cellY * down.CellSamples + s) * down.Step;
      if (y < page.Height()) rows[rowCount++] = page.ScanLine(y);
    }
    TPageCell* out = &map.Cells[static_cast<std::size_t>(cellY) * map.Width];
    const bool square = across.CellSamples == down.CellSamples && rowCount == down.CellSamples;
    if (square && rowCount == 2) {
      FillCellRow<2>(samples, rows, rowCount, across, out);
    } else if (square && rowCount == 1) {
      FillCellRow<1>(samples, rows, rowCount, across, out);
    } else {
      FillCellRow<0>(samples, rows, rowCount, across, out);
    }
  }
}

// 15- and 16-bit pages (rare: device bitmaps) are read as 24 bits.
TRaster AsDirectColour(const TRaster& page) {
  TRaster copy(page.Width(), page.Height(), TPixelFormat::pf24bit);
  for (int y = 0; y < page.Height(); ++y) page.DecodeRowBGR(y, copy.ScanLine(y));
  return copy;
}

}  // namespace

TReducedPageMap BuildReducedPageMap(const TRaster& page, int xDpi, int yDpi) {
  TReducedPageMap map;
  if (page.Empty()) return map;
  const int letterDpi = std::max(1, static_cast<int>(std::lround(page.Width() / kLetterWidthInches)));
  const TAxis across = AxisFor(page.Width(), xDpi, letterDpi);
  const TAxis down = AxisFor(page.Height(), yDpi, xDpi >= kLowestPlausibleDpi && xDpi <= kHighestPlausibleDpi ? xDpi : letterDpi);
  map.Width = across.Cells, map.Height = down.Cells;
  map.CellsPerInchX = across.CellsPerInch, map.CellsPerInchY = down.CellsPerInch;
  map.Cells.resize(static_cast<std::size_t>(map.Width) * map.Height);
  const auto& palette = page.Palette();
  map.Colourless = IsPaletteFormat(page.PixelFormat()) &&
                   std::all_of(palette.begin(), palette.end(), [](TColor c) { return IsGrayColor(c); });

  switch (page.PixelFormat()) {
    case TPixelFormat::pf1bit: FillMap(page, TPaletteSamples<1>(page.Palette()), across, down, map); break;
    case TPixelFormat::pf4bit: FillMap(page, TPaletteSamples<4>(page.Palette()), across, down, map); break;
    case TPixelFormat::pf8bit: FillMap(page, TPaletteSamples<8>(page.Palette()), across, down, map); break;
    case TPixelFormat::pf24bit: FillMap(page, TDirectSamples<3>(), across, down, map); break;
    case TPixelFormat::pf32bit: FillMap(page, TDirectSamples<4>(), across, down, map); break;
    default: {
      const TRaster direct = AsDirectColour(page);
      FillMap(direct, TDirectSamples<3>(), across, down, map);
      break;
    }
  }
  return map;
}

}  // namespace pagewell
