#include "imaging/nearest_color.h"

#include <algorithm>
#include <array>
#include <limits>

namespace pagewell {
namespace {

// Squared distance from v to the nearest and to the farthest value of [lo, hi].
inline std::int32_t NearSquared(std::int32_t v, std::int32_t lo, std::int32_t hi) {
  const std::int32_t d = v < lo ? lo - v : v > hi ? v - hi : 0;
  return d * d;
}
inline std::int32_t FarSquared(std::int32_t v, std::int32_t lo, std::int32_t hi) {
  const std::int32_t d = std::max(v - lo, hi - v);
  return d * d;
}

}  // namespace

int NearestPaletteIndex(const std::vector<TColor>& palette, TColor color) {
  int best = 0;
  std::int32_t bestDistance = std::numeric_limits<std::int32_t>::max();
  for (std::size_t i = 0; i < palette.size(); ++i) {
    const std::int32_t dr = RedOf(palette[i]) - RedOf(color), dg = GreenOf(palette[i]) - GreenOf(color),
                       db = BlueOf(palette[i]) - BlueOf(color);
    const std::int32_t distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) bestDistance = distance, best = static_cast<int>(i);
  }
  return best;
}

// The entries are kept in kEntries slots, the unused ones far outside the
// colour cube: they are never nearest and never a candidate, and the cell
// loops run a fixed count the compiler turns into vector code. A palette
// has at most 256 entries.
TNearestColorMap::TNearestColorMap(const std::vector<TColor>& palette)
    : entryCount_(static_cast<int>(std::min<std::size_t>(palette.size(), kEntries))) {
  red_.fill(kFarAway), green_.fill(kFarAway), blue_.fill(kFarAway);
  for (int i = 0; i < entryCount_; ++i) {
    const TColor c = palette[static_cast<std::size_t>(i)];
    red_[static_cast<std::size_t>(i)] = RedOf(c);
    green_[static_cast<std::size_t>(i)] = GreenOf(c);
    blue_[static_cast<std::size_t>(i)] = BlueOf(c);
  }
}

const TNearestColorMap::Cell& TNearestColorMap::CellOf(int cell) {
  if (cells_.empty()) cells_.resize(kCellsPerAxis * kCellsPerAxis * kCellsPerAxis);
  if (!cells_[static_cast<std::size_t>(cell)].built) BuildCell(cell);
  return cells_[static_cast<std::size_t>(cell)];
}

void TNearestColorMap::BuildCell(int cell) {
  const int size = 1 << kCellShift;
  const std::int32_t r0 = (cell / (kCellsPerAxis * kCellsPerAxis)) * size;
  const std::int32_t g0 = ((cell / kCellsPerAxis) % kCellsPerAxis) * size;
  const std::int32_t b0 = (cell % kCellsPerAxis) * size;
  const std::int32_t r1 = r0 + size - 1, g1 = g0 + size - 1, b1 = b0 + size - 1;
  std::int32_t bestFar = std::numeric_limits<std::int32_t>::max();
  for (std::size_t i = 0; i < kEntries; ++i) {
    bestFar = std::min(bestFar, FarSquared(red_[i], r0, r1) + FarSquared(green_[i], g0, g1) +
                                    FarSquared(blue_[i], b0, b1));
  }
  Cell& built = cells_[static_cast<std::size_t>(cell)];
  built.first = static_cast<std::uint32_t>(candidates_.size());
  std::array<std::int32_t, kEntries> near;
  for (std::size_t i = 0; i < kEntries; ++i) {
    near[i] = NearSquared(red_[i], r0, r1) + NearSquared(green_[i], g0, g1) + NearSquared(blue_[i], b0, b1);
  }
  for (std::size_t i = 0; i < static_cast<std::size_t>(entryCount_); ++i) {
    if (near[i] <= bestFar) {
      candidates_.push_back(Candidate{static_cast<std::uint8_t>(red_[i]), static_cast<std::uint8_t>(green_[i]),
                                      static_cast<std::uint8_t>(blue_[i]), static_cast<std::uint8_t>(i)});
    }
  }
  built.count = static_cast<std::uint16_t>(candidates_.size() - built.first);
  built.built = true;
}

// Distance and index in one number, distance above: the smallest is the
// nearest entry and, among equally near ones, the lowest index, found
// without a branch per candidate. A distance is at most 3 × 255², 18 bits.
int TNearestColorMap::Search(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  if (entryCount_ == 0) return 0;
  const Cell& cell =
      CellOf(((red >> kCellShift) * kCellsPerAxis + (green >> kCellShift)) * kCellsPerAxis + (blue >> kCellShift));
  const Candidate* candidate = candidates_.data() + cell.first;
  std::uint32_t best = std::numeric_limits<std::uint32_t>::max();
  for (const Candidate* end = candidate + cell.count; candidate != end; ++candidate) {
    const std::int32_t dr = candidate->red - red, dg = candidate->green - green, db = candidate->blue - blue;
    const auto distance = static_cast<std::uint32_t>(dr * dr + dg * dg + db * db);
    best = std::min(best, distance << 8 | candidate->index);
  }
  return cell.count == 0 ? 0 : static_cast<int>(best & 0xFF);
}

}  // namespace pagewell
