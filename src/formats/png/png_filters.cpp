#include "formats/png/png_filters.h"

#include <cstdint>
#include <initializer_list>

namespace pagewell {

void PaethFilterRow(const std::uint8_t* row, const std::uint8_t* prior, std::size_t length, std::size_t bpp,
                    std::uint8_t* out) {
  const std::size_t head = bpp < length ? bpp : length;
  // The first pixel has no left neighbour: left and upper-left are 0, so the
  // predictor is the byte above.
  for (std::size_t i = 0; i < head; ++i) out[i] = static_cast<std::uint8_t>(row[i] - prior[i]);
  for (std::size_t i = head; i < length; ++i) {
    out[i] = static_cast<std::uint8_t>(row[i] - PaethPredictor(row[i - bpp], prior[i], prior[i - bpp]));
  }
}

void FilterRow(TPngFilter type, const std::uint8_t* row, const std::uint8_t* prior, std::size_t length,
               std::size_t bpp, std::uint8_t* out) {
  const std::size_t head = bpp < length ? bpp : length;
  switch (type) {
    case pfNone:
      for (std::size_t i = 0; i < length; ++i) out[i] = row[i];
      return;
    case pfSub:
      for (std::size_t i = 0; i < head; ++i) out[i] = row[i];
      for (std::size_t i = head; i < length; ++i) out[i] = static_cast<std::uint8_t>(row[i] - row[i - bpp]);
      return;
    case pfUp:
      for (std::size_t i = 0; i < length; ++i) out[i] = static_cast<std::uint8_t>(row[i] - prior[i]);
      return;
    case pfAverage:
      for (std::size_t i = 0; i < head; ++i) out[i] = static_cast<std::uint8_t>(row[i] - (prior[i] >> 1));
      for (std::size_t i = head; i < length; ++i)
        out[i] = static_cast<std::uint8_t>(row[i] - ((unsigned(row[i - bpp]) + prior[i]) >> 1));
      return;
    case pfPaeth:
      PaethFilterRow(row, prior, length, bpp, out);
      return;
  }
}

namespace {

// A residue's size read as a signed byte: written so that the loops below
// vectorise (a byte-wise absolute value).
inline std::uint32_t Magnitude(std::uint8_t residue) {
  const int value = static_cast<std::int8_t>(residue);
  return static_cast<std::uint32_t>(value < 0 ? -value : value);
}

// The sum of the magnitudes of the residues filter `type` would leave,
// each byte read as a signed value; it stops once the sum passes `limit`,
// since such a filter has lost already.
std::uint64_t ResidueSum(TPngFilter type, const std::uint8_t* row, const std::uint8_t* prior, std::size_t length,
                         std::size_t bpp, std::uint64_t limit) {
  constexpr std::size_t kStride = 256;  // bytes between looks at the limit
  const std::size_t head = bpp < length ? bpp : length;
  std::uint64_t sum = 0;
  for (std::size_t i = 0; i < head; ++i) {
    const unsigned left = 0, above = prior[i];
    std::uint8_t predicted = 0;
    if (type == pfUp || type == pfPaeth) predicted = static_cast<std::uint8_t>(above);
    if (type == pfAverage) predicted = static_cast<std::uint8_t>((left + above) >> 1);
    sum += Magnitude(static_cast<std::uint8_t>(row[i] - predicted));
  }
  for (std::size_t start = head; start < length && sum <= limit; start += kStride) {
    const std::size_t end = start + kStride < length ? start + kStride : length;
    std::uint32_t part = 0;  // at most 256 x 128: a 32-bit sum keeps the loops vectorised
    switch (type) {
      case pfNone:
        for (std::size_t i = start; i < end; ++i) part += Magnitude(row[i]);
        break;
      case pfSub:
        for (std::size_t i = start; i < end; ++i) part += Magnitude(static_cast<std::uint8_t>(row[i] - row[i - bpp]));
        break;
      case pfUp:
        for (std::size_t i = start; i < end; ++i) part += Magnitude(static_cast<std::uint8_t>(row[i] - prior[i]));
        break;
      case pfAverage:
        for (std::size_t i = start; i < end; ++i)
          part += Magnitude(static_cast<std::uint8_t>(row[i] - ((unsigned(row[i - bpp]) + prior[i]) >> 1)));
        break;
      case pfPaeth:
        for (std::size_t i = start; i < end; ++i)
          part += Magnitude(static_cast<std::uint8_t>(row[i] - PaethPredictor(row[i - bpp], prior[i], prior[i - bpp])));
        break;
    }
    sum += part;
  }
  return sum;
}

}  // namespace

TPngFilter FilterRowAdaptively(const std::uint8_t* row, const std::uint8_t* prior, std::size_t length, std::size_t bpp,
                               std::uint8_t* out) {
  // Up first: on paper, rows repeat the row above and the others stop at
  // once against its small sum.
  TPngFilter best = pfUp;
  std::uint64_t bestSum = ResidueSum(pfUp, row, prior, length, bpp, UINT64_MAX);
  for (TPngFilter type : {pfSub, pfPaeth, pfAverage, pfNone}) {
    if (bestSum == 0) break;
    const std::uint64_t sum = ResidueSum(type, row, prior, length, bpp, bestSum);
    if (sum < bestSum) bestSum = sum, best = type;
  }
  FilterRow(best, row, prior, length, bpp, out);
  return best;
}

bool UnfilterRow(std::uint8_t type, std::uint8_t* row, const std::uint8_t* prior, std::size_t length,
                 std::size_t bpp) {
  switch (type) {
    case pfNone:
      return true;
    case pfSub:
      for (std::size_t i = bpp; i < length; ++i) row[i] = static_cast<std::uint8_t>(row[i] + row[i - bpp]);
      return true;
    case pfUp:
      for (std::size_t i = 0; i < length; ++i) row[i] = static_cast<std::uint8_t>(row[i] + prior[i]);
      return true;
    case pfAverage:
      for (std::size_t i = 0; i < length; ++i) {
        const unsigned left = i >= bpp ? row[i - bpp] : 0;
        row[i] = static_cast<std::uint8_t>(row[i] + ((left + prior[i]) >> 1));
      }
      return true;
    case pfPaeth:
      for (std::size_t i = 0; i < length; ++i) {
        const int left = i >= bpp ? row[i - bpp] : 0;
        const int upperLeft = i >= bpp ? prior[i - bpp] : 0;
        row[i] = static_cast<std::uint8_t>(row[i] + PaethPredictor(left, prior[i], upperLeft));
      }
      return true;
    default:
      return false;
  }
}

}  // namespace pagewell
