#pragma once
// Changing elements of a bilevel row, the positions CCITT two-dimensional
// coding works with: a changing element is a pixel whose colour differs from
// the pixel before it, the row being preceded by an imaginary white pixel.
// The list therefore alternates: entry 0 starts black, entry 1 white, ...
#include <cstdint>
#include <vector>

namespace pagewell {

// Fills `changes` with the changing elements of `row` (packed bits, most
// significant bit first) followed by two entries equal to `width`, the
// sentinels that let the coders look one and two elements ahead.
// `whiteBit` is the bit value that stands for white.
void FindChangingElements(const std::uint8_t* row, int width, int whiteBit, std::vector<int>& changes);

// The changing elements of an all-white row: just the sentinels.
void SetAllWhite(int width, std::vector<int>& changes);

// Index of b1: the first changing element right of `a0` whose new colour is
// the opposite of `a0Color` (0 white, 1 black). The search starts at index
// `from`, which must not lie past the first element right of a0; as a0 only
// moves right, the previous b1's index minus one is always safe, and keeps
// the work over a row linear. Never answers past the first sentinel, so the
// caller can read b2 at the next index.
inline std::size_t FindB1(const std::vector<int>& reference, std::size_t from, int a0, int a0Color) {
  std::size_t i = from;
  while (reference[i] <= a0 && reference[i] < reference.back()) ++i;
  // Entry i turns the row black when i is even; b1 must change to the colour
  // opposite a0's.
  if ((static_cast<int>(i & 1)) == (1 - a0Color) && reference[i] < reference.back()) ++i;
  return i;
}

}  // namespace pagewell
