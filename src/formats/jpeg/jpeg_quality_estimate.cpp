#include "formats/jpeg/jpeg_quality_estimate.h"

#include <cmath>

namespace pagewell {
namespace {

// The example tables of the JPEG standard (Annex K), in zigzag order as
// DQT segments store them.
constexpr std::uint16_t kLuminance[64] = {
    16, 11, 12, 14, 12, 10, 16, 14, 13, 14, 18, 17, 16, 19, 24, 40,  //
    26, 24, 22, 22, 24, 49, 35, 37, 29, 40, 58, 51, 61, 60, 57, 51,  //
    56, 55, 64, 72, 92, 78, 64, 68, 87, 69, 55, 56, 80, 109, 81, 87,  //
    95, 98, 103, 104, 103, 62, 77, 113, 121, 112, 100, 120, 92, 101, 103, 99};
constexpr std::uint16_t kChrominance[64] = {
    17, 18, 18, 24, 21, 24, 47, 26, 26, 47, 99, 66, 56, 66, 99, 99,  //
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,  //
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,  //
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

}  // namespace

void TJpegQualityEstimate::AddTables(const std::uint8_t* payload, std::size_t size) {
  std::size_t at = 0;
  while (at < size) {
    const bool sixteenBit = (payload[at] >> 4) != 0;
    const int table = payload[at] & 0x0F;
    ++at;
    const std::size_t entrySize = sixteenBit ? 2 : 1;
    if (size - at < 64 * entrySize) return;
    const std::uint16_t* standard = table == 0 ? kLuminance : kChrominance;
    for (int i = 0; i < 64; ++i) {
      const unsigned entry = sixteenBit ? (payload[at] << 8 | payload[at + 1]) : payload[at];
      at += entrySize;
      if (entry != 1) allOnes_ = false;
      AddRatio(entry * 100.0 / standard[i]);
    }
  }
}

void TJpegQualityEstimate::AddRatio(double ratio) {
  sum_ += ratio;
  sumOfSquares_ += ratio * ratio;
  ++count_;
}

int TJpegQualityEstimate::Quality() const {
  if (count_ == 0) return 0;
  if (allOnes_) return 100;
  const double mean = sum_ / static_cast<double>(count_);
  const double quality = mean <= 100 ? (200 - mean) / 2 : 5000 / mean;
  if (!(quality >= 0 && quality <= 100)) return 0;
  return static_cast<int>(std::lround(quality));
}

double TJpegQualityEstimate::Variance() const {
  if (count_ == 0) return 0;
  const double mean = sum_ / static_cast<double>(count_);
  return sumOfSquares_ / static_cast<double>(count_) - mean * mean;
}

}  // namespace pagewell
