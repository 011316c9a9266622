#pragma once
// An estimate of the IJG quality a JPEG file was written with, from its
// quantisation tables compared with the example tables of the JPEG
// standard (the ones the IJG quality scales).
#include <cstddef>
#include <cstdint>

namespace pagewell {

class TJpegQualityEstimate {
 public:
  // Adds the tables of one DQT segment's payload; a table cut short ends it.
  void AddTables(const std::uint8_t* payload, std::size_t size);

  // 1..100, or 0 when no table was read or the estimate is out of range.
  int Quality() const;
  // The variance of the entry-to-standard ratios (in percent).
  double Variance() const;

 private:
  void AddRatio(double ratio);

  double sum_ = 0;
  double sumOfSquares_ = 0;
  std::size_t count_ = 0;
  bool allOnes_ = true;
};

}  // namespace pagewell
