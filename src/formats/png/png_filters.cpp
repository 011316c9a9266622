#include "formats/png/png_filters.h"

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
