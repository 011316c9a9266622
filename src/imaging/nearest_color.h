#pragma once
// Maps colours to the nearest entry of a palette: smallest squared distance
// in RGB, lowest index on ties, so an exact colour always finds its first
// occurrence.
//
// A page has millions of pixels and often hundreds of thousands of colours,
// so the palette is searched through cells of the colour cube: for each
// cell, built when first needed, only the entries that can be nearest to
// some colour inside it are kept (an entry whose smallest distance to the
// cell exceeds the largest distance of the best-placed entry never wins).
// The answer stays exact; a search looks at a handful of entries.
//
// Cells come in three sizes, each built from the list of the cell it lies
// in, which holds every entry the smaller cell can keep: 16 values a side
// from the whole palette, 8 a side from those, and where an 8-cell keeps
// many entries (a palette crowded where a photograph's colours are), its
// eight 4-cells. Recent answers are kept in a small direct-mapped cache,
// which serves the few colours that make up most of a scanned page.
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
  // A cell's candidates: where they start in candidates_, how many. A split
  // cell's own list only serves to build its eight smaller cells; its first
  // is then where they start in subcells_.
  struct Cell {
    std::uint32_t first = 0;
    std::uint16_t count = 0;
    bool built = false;
    bool split = false;
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
  // The same answer without the cache, for a colour not expected again soon:
  // it neither pays for the cache nor pushes a recent answer out of it.
  int IndexOfOnce(std::uint8_t red, std::uint8_t green, std::uint8_t blue) { return Search(red, green, blue); }

 private:
  static constexpr int kEntries = 256;
  static constexpr int kCellShift = 3;   // cells_ has 8 values a side
  static constexpr int kSplitAbove = 6;  // an 8-cell keeping more entries is split
  // Splitting stops once the lists hold this many candidates (4 MB): far
  // from a crowded palette a cell keeps many entries, and so do its eight
  // halves. Cells left whole answer the same, with longer searches.
  static constexpr std::size_t kSplitBudget = std::size_t{1} << 20;
  // Lists are searched a group of candidates at a time: a loop of a fixed
  // count, and one or two rounds for most cells.
  static constexpr std::size_t kGroup = 4;
  static constexpr std::size_t WholeGroups(std::size_t n) { return (n + kGroup - 1) / kGroup * kGroup; }

  int Search(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
  // The smallest key (distance << 8 | index) of the whole groups from group to end.
  static std::uint32_t SmallestKey(const Candidate* group, const Candidate* end, std::uint8_t red, std::uint8_t green,
                                   std::uint8_t blue);
  const Cell& CellOf(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
  void BuildCell(Cell& cell, std::uint8_t red, std::uint8_t green, std::uint8_t blue);
  const Cell& CoarseCellOf(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
  void Narrow(std::uint32_t first, std::uint32_t count, int red, int green, int blue, int size, Cell& cell);
  void Split(Cell& cell, int red, int green, int blue);

  int entryCount_;
  std::vector<Cell> coarse_;    // 16 × 16 × 16 cells of 16 values a side
  std::vector<Cell> cells_;     // 32 × 32 × 32 cells of 8 values a side
  std::vector<Cell> subcells_;  // the 4-cells of split cells, eight each
  std::vector<Candidate> candidates_;  // the palette, then every built cell's list, ascending indices within a list
                                       // (before its padding)
  static constexpr std::uint32_t kCacheSlots = 4096;
  std::vector<CacheSlot> cache_;
};

}  // namespace pagewell
