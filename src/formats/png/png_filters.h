#pragma once
// The five PNG filter types (None, Sub, Up, Average, Paeth). `bpp` is the
// byte distance of one pixel (at least 1); `prior` is the unfiltered
// previous row, all zeros above the first row.
#include <cstddef>
#include <cstdint>

namespace pagewell {

enum TPngFilter : std::uint8_t { pfNone = 0, pfSub = 1, pfUp = 2, pfAverage = 3, pfPaeth = 4 };

// Of left, above and upper-left, the one nearest to left + above - upper-left,
// ties in that order.
inline std::uint8_t PaethPredictor(int left, int above, int upperLeft) {
  const int p = left + above - upperLeft;
  const int pa = p > left ? p - left : left - p;
  const int pb = p > above ? p - above : above - p;
  const int pc = p > upperLeft ? p - upperLeft : upperLeft - p;
  if (pa <= pb && pa <= pc) return static_cast<std::uint8_t>(left);
  if (pb <= pc) return static_cast<std::uint8_t>(above);
  return static_cast<std::uint8_t>(upperLeft);
}

// out[i] = row[i] - Paeth(left, above, upper-left), for `length` bytes.
void PaethFilterRow(const std::uint8_t* row, const std::uint8_t* prior, std::size_t length, std::size_t bpp,
                    std::uint8_t* out);
// out[i] = row[i] - the prediction of filter `type`, for `length` bytes.
void FilterRow(TPngFilter type, const std::uint8_t* row, const std::uint8_t* prior, std::size_t length,
               std::size_t bpp, std::uint8_t* out);

// Filters the row with whichever of the five filters leaves the smallest
// sum of residues taken as signed bytes (the heuristic the PNG standard
// recommends for choosing filters: small residues are the ones
// deflate codes shortest), writes it to `out` and answers the filter.
TPngFilter FilterRowAdaptively(const std::uint8_t* row, const std::uint8_t* prior, std::size_t length, std::size_t bpp,
                               std::uint8_t* out);

// Undoes filter `type` in place. Answers false for an unknown filter type.
bool UnfilterRow(std::uint8_t type, std::uint8_t* row, const std::uint8_t* prior, std::size_t length,
                 std::size_t bpp);

}  // namespace pagewell
