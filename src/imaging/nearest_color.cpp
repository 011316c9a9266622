#include "imaging/nearest_color.h"

#include <algorithm>
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

TNearestColorMap::TNearestColorMap(const std::vector<TColor>& palette) {
  for (TColor c : palette) {
    red_.push_back(RedOf(c));
    green_.push_back(GreenOf(c));
    blue_.push_back(BlueOf(c));
  }
}

const std::vector<std::uint8_t>& TNearestColorMap::CandidatesOf(int cell) {
  if (candidates_.empty()) {
    candidates_.resize(kCellsPerAxis * kCellsPerAxis * kCellsPerAxis);
    built_.assign(candidates_.size(), false);
  }
  std::vector<std::uint8_t>& list = candidates_[static_cast<std::size_t>(cell)];
  if (built_[static_cast<std::size_t>(cell)]) return list;
  const int size = 1 << kCellShift;
  const std::int32_t r0 = (cell / (kCellsPerAxis * kCellsPerAxis)) * size;
  const std::int32_t g0 = ((cell / kCellsPerAxis) % kCellsPerAxis) * size;
  const std::int32_t b0 = (cell % kCellsPerAxis) * size;
  const std::int32_t r1 = r0 + size - 1, g1 = g0 + size - 1, b1 = b0 + size - 1;
  std::int32_t bestFar = std::numeric_limits<std::int32_t>::max();
  for (std::size_t i = 0; i < red_.size(); ++i) {
    bestFar = std::min(bestFar, FarSquared(red_[i], r0, r1) + FarSquared(green_[i], g0, g1) +
                                    FarSquared(blue_[i], b0, b1));
  }
  for (std::size_t i = 0; i < red_.size() && i < 256; ++i) {
    const std::int32_t near = NearSquared(red_[i], r0, r1) + NearSquared(green_[i], g0, g1) +
                              NearSquared(blue_[i], b0, b1);
    if (near <= bestFar) list.push_back(static_cast<std::uint8_t>(i));
  }
  built_[static_cast<std::size_t>(cell)] = true;
  return list;
}

int TNearestColorMap::Search(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  if (red_.empty()) return 0;
  const int cell = ((red >> kCellShift) * kCellsPerAxis + (green >> kCellShift)) * kCellsPerAxis + (blue >> kCellShift);
  int best = 0;
  std::int32_t bestDistance = std::numeric_limits<std::int32_t>::max();
  for (std::uint8_t i : CandidatesOf(cell)) {
    const std::int32_t dr = red_[i] - red, dg = green_[i] - green, db = blue_[i] - blue;
    const std::int32_t distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
    }
  }
  return best;
}

}  // namespace pagewell
