#include "imaging/nearest_color.h"

#include <algorithm>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// The index of the cell of `size` values a side holding the colour, with
// 256 / size cells along each axis.
inline int CellIndex(int red, int green, int blue, int shift) {
  const int perAxis = 256 >> shift;
  return ((red >> shift) * perAxis + (green >> shift)) * perAxis + (blue >> shift);
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

// A palette has at most 256 entries; the whole palette is the list every
// 16-cell is narrowed from.
TNearestColorMap::TNearestColorMap(const std::vector<TColor>& palette)
    : entryCount_(static_cast<int>(std::min<std::size_t>(palette.size(), kEntries))) {
  candidates_.reserve(static_cast<std::size_t>(entryCount_));
  for (int i = 0; i < entryCount_; ++i) {
    const TColor c = palette[static_cast<std::size_t>(i)];
    candidates_.push_back(Candidate{RedOf(c), GreenOf(c), BlueOf(c), static_cast<std::uint8_t>(i)});
  }
}

// Sets the cell's list to those of the `count` candidates from `first` that
// can be nearest to some colour of the cell with corner (red, green, blue)
// and `size` values a side. The list starts at a whole group and is padded
// to whole groups with copies of its first candidate, which change no
// answer; count stays the number before padding.
void TNearestColorMap::Narrow(std::uint32_t first, std::uint32_t count, int red, int green, int blue, int size,
                              Cell& cell) {
  const std::int32_t r1 = red + size - 1, g1 = green + size - 1, b1 = blue + size - 1;
  const std::size_t start = WholeGroups(candidates_.size());
  candidates_.resize(start + WholeGroups(count));  // room for all of them; cut to the kept ones below
  const Candidate* from = candidates_.data() + first;
  Candidate* kept = candidates_.data() + start;
  std::int32_t bestFar = std::numeric_limits<std::int32_t>::max();
  for (std::uint32_t i = 0; i < count; ++i) {
    bestFar = std::min(bestFar, FarSquared(from[i].red, red, r1) + FarSquared(from[i].green, green, g1) +
                                    FarSquared(from[i].blue, blue, b1));
  }
  std::uint32_t keptCount = 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::int32_t near =
        NearSquared(from[i].red, red, r1) + NearSquared(from[i].green, green, g1) + NearSquared(from[i].blue, blue, b1);
    kept[keptCount] = from[i];
    keptCount += near <= bestFar ? 1 : 0;
  }
  std::fill(kept + keptCount, kept + WholeGroups(keptCount), kept[0]);
  candidates_.resize(start + WholeGroups(keptCount));
  cell.first = static_cast<std::uint32_t>(start);
  cell.count = static_cast<std::uint16_t>(keptCount);
  cell.built = true;
}

const TNearestColorMap::Cell& TNearestColorMap::CoarseCellOf(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  constexpr int kShift = 4;
  if (coarse_.empty()) coarse_.resize(std::size_t{1} << (3 * (8 - kShift)));
  Cell& cell = coarse_[static_cast<std::size_t>(CellIndex(red, green, blue, kShift))];
  if (!cell.built) {
    constexpr int kMask = ~((1 << kShift) - 1);
    Narrow(0, static_cast<std::uint32_t>(entryCount_), red & kMask, green & kMask, blue & kMask, 1 << kShift, cell);
  }
  return cell;
}

void TNearestColorMap::BuildCell(Cell& cell, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  constexpr int kMask = ~((1 << kCellShift) - 1);
  const Cell parent = CoarseCellOf(red, green, blue);
  Narrow(parent.first, parent.count, red & kMask, green & kMask, blue & kMask, 1 << kCellShift, cell);
  if (cell.count > kSplitAbove && candidates_.size() < kSplitBudget) {
    Split(cell, red & kMask, green & kMask, blue & kMask);
  }
}

inline const TNearestColorMap::Cell& TNearestColorMap::CellOf(std::uint8_t red, std::uint8_t green,
                                                              std::uint8_t blue) {
  if (cells_.empty()) cells_.resize(std::size_t{1} << (3 * (8 - kCellShift)));
  Cell& cell = cells_[static_cast<std::size_t>(CellIndex(red, green, blue, kCellShift))];
  if (!cell.built) BuildCell(cell, red, green, blue);
  if (!cell.split) return cell;
  const int half = (red >> 2 & 1) << 2 | (green >> 2 & 1) << 1 | (blue >> 2 & 1);
  return subcells_[cell.first + static_cast<std::uint32_t>(half)];
}

// Builds the eight 4-cells of an 8-cell with corner (red, green, blue).
void TNearestColorMap::Split(Cell& cell, int red, int green, int blue) {
  const std::size_t subcell = subcells_.size();
  subcells_.resize(subcell + 8);
  for (int half = 0; half < 8; ++half) {
    Narrow(cell.first, cell.count, red + (half >> 2) * 4, green + (half >> 1 & 1) * 4, blue + (half & 1) * 4, 4,
           subcells_[subcell + static_cast<std::size_t>(half)]);
  }
  cell.first = static_cast<std::uint32_t>(subcell);
  cell.split = true;
}

// Distance and index in one number, distance above: the smallest is the
// nearest entry and, among equally near ones, the lowest index, found
// without a branch per candidate, a whole group at a time. A distance is at
// most 3 × 255², 18 bits, so a key stays below 2^26.
int TNearestColorMap::Search(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  if (entryCount_ == 0) return 0;
  const Cell& cell = CellOf(red, green, blue);
  const Candidate* group = candidates_.data() + cell.first;
  return static_cast<int>(SmallestKey(group, group + WholeGroups(cell.count), red, green, blue) & 0xFF);
}

#if defined(__SSE2__)
// Four candidates in one register: their channels widened to 16 bits, the
// squared differences summed by pairs (madd), the pairs of each candidate
// added, the index put below. Keys are below 2^26, so the signed compare
// orders them.
std::uint32_t TNearestColorMap::SmallestKey(const Candidate* group, const Candidate* end, std::uint8_t red,
                                            std::uint8_t green, std::uint8_t blue) {
  static_assert(sizeof(Candidate) == 4 && kGroup == 4, "a group fills one 128-bit register");
  const __m128i zero = _mm_setzero_si128();
  const __m128i colour = _mm_set_epi16(0, blue, green, red, 0, blue, green, red);
  const __m128i channels = _mm_set1_epi32(0x00FFFFFF);
  __m128i best = _mm_set1_epi32(0x7FFFFFFF);
  for (; group != end; group += kGroup) {
    const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(group));
    const __m128i rgb = _mm_and_si128(four, channels);
    const __m128i low = _mm_sub_epi16(_mm_unpacklo_epi8(rgb, zero), colour);   // candidates 0 and 1
    const __m128i high = _mm_sub_epi16(_mm_unpackhi_epi8(rgb, zero), colour);  // candidates 2 and 3
    const __m128 pairsLow = _mm_castsi128_ps(_mm_madd_epi16(low, low));        // red² + green², blue²
    const __m128 pairsHigh = _mm_castsi128_ps(_mm_madd_epi16(high, high));
    const __m128i first = _mm_castps_si128(_mm_shuffle_ps(pairsLow, pairsHigh, _MM_SHUFFLE(2, 0, 2, 0)));
    const __m128i second = _mm_castps_si128(_mm_shuffle_ps(pairsLow, pairsHigh, _MM_SHUFFLE(3, 1, 3, 1)));
    const __m128i distance = _mm_add_epi32(first, second);
    const __m128i key = _mm_or_si128(_mm_slli_epi32(distance, 8), _mm_srli_epi32(four, 24));
    const __m128i smaller = _mm_cmplt_epi32(key, best);
    best = _mm_or_si128(_mm_and_si128(smaller, key), _mm_andnot_si128(smaller, best));
  }
  alignas(16) std::uint32_t lanes[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(lanes), best);
  return std::min(std::min(lanes[0], lanes[1]), std::min(lanes[2], lanes[3]));
}
#else
std::uint32_t TNearestColorMap::SmallestKey(const Candidate* group, const Candidate* end, std::uint8_t red,
                                            std::uint8_t green, std::uint8_t blue) {
  std::uint32_t best = std::numeric_limits<std::uint32_t>::max();
  for (const Candidate* c = group; c != end; ++c) {
    const std::int32_t dr = c->red - red, dg = c->green - green, db = c->blue - blue;
    best = std::min(best, static_cast<std::uint32_t>(dr * dr + dg * dg + db * db) << 8 | c->index);
  }
  return best;
}
#endif

}  // namespace pagewell
