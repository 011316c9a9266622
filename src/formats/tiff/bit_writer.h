#pragma once
// TBitWriter: packs code words into bytes, most significant bit first, the
// bit order of CCITT data with FillOrder 1.
#include <cstdint>
#include <vector>

#include "formats/tiff/ccitt_codes.h"

namespace pagewell {

class TBitWriter {
 public:
  explicit TBitWriter(std::vector<std::uint8_t>& out) : out_(out) {}

  void Put(TCCITTCode code) { Put(code.bits, code.length); }

  void Put(std::uint32_t bits, int length) {
    accumulator_ = (accumulator_ << length) | (bits & ((1u << length) - 1));
    pending_ += length;
    while (pending_ >= 8) {
      pending_ -= 8;
      out_.push_back(static_cast<std::uint8_t>(accumulator_ >> pending_));
    }
  }

  // Writes a last partial byte padded with zero bits.
  void Flush() {
    if (pending_ > 0) out_.push_back(static_cast<std::uint8_t>(accumulator_ << (8 - pending_)));
    pending_ = 0;
  }

 private:
  std::vector<std::uint8_t>& out_;
  std::uint32_t accumulator_ = 0;  // only the low `pending_` bits matter
  int pending_ = 0;
};

}  // namespace pagewell
