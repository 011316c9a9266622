#pragma once
// Maps colours to the nearest entry of a palette: smallest squared distance
// in RGB, lowest index on ties, so an exact colour always finds its first
// occurrence.
//
// A page has millions of pixels and often hundreds of thousands of colours,
// so the palette is searched through a grid of 32 × 32 × 32 cells: for each
// cell, built when first needed, only the entries that can be nearest to
// some colour inside it are kept (an entry whose smallest distance to the
// cell exceeds the largest distance of the best-placed entry never wins).
// The answer stays exact; a search looks at a handful of entries. Recent
// answers are kept in a small direct-mapped cache, which serves the few
// colours that make up most of a scanned page.
#include <array>
#include <cstdint>
#include <vector>

#include "imaging/color.h"

namespace pagewell {

// The nearest entry by a plain search, for a single colour.
int NearestPaletteIndex(const std::vector<TColor>& palette, TColor color);

class TNearestColorMap {
  struct CacheSlot {
    std::uint32_t key = 0xFFFFFFFFu;  // no colour has this key
    std::uint8_t index = 0;
  };
  // A cell's candidates: where they start in candidates_, how many; built
  // marks a cell whose list has been worked out.
  struct Cell {
    std::uint32_t first = 0;
    std::uint16_t count = 0;
    bool built = false;
  };
  // A candidate entry with its colour beside it, so that a search reads one
  // short run of memory.
  struct Candidate {
    std::uint8_t red, green, blue, index;
  };

 public:
  explicit TNearestColorMap(const std::vector<TColor>& palette);

  int IndexOf(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    const std::uint32_t key = RGBKey(red, green, blue);
    if (cache_.empty()) cache_.resize(kCacheSlots);  // a lookup or two should cost no more than that
    CacheSlot& slot = cache_[(key ^ (key >> 12) ^ (key >> 20)) & (kCacheSlots - 1)];
    if (slot.key != key) slot = CacheSlot{key, static_cast<std::uint8_t>(Search(red, green, blue))};
    return slot.index;
  }
  int IndexOf(TColor color) { return IndexOf(RedOf(color), GreenOf(color), BlueOf(color)); }

 private:
  static constexpr int kCellShift = 3;  // 8 values of each channel per cell
  static constexpr int kCellsPerAxis = 256 >> kCellShift;

  int Search(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
  const Cell& CellOf(int cell);
  void BuildCell(int cell);

  static constexpr std::size_t kEntries = 256;
  static constexpr std::int32_t kFarAway = 4096;  // squared, still far from overflowing
  int entryCount_;
  std::array<std::int32_t, kEntries> red_, green_, blue_;
  std::vector<Cell> cells_;
  std::vector<Candidate> candidates_;  // every built cell's list, ascending indices within a cell
  static constexpr std::uint32_t kCacheSlots = 4096;
  std::vector<CacheSlot> cache_;
};

}  // namespace pagewell
