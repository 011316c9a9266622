#pragma once
// Maps colours to the nearest entry of a palette: smallest squared distance
// in RGB, lowest index on ties, so an exact colour always finds its first
// occurrence. Answers are cached, which makes mapping a whole page cost
// about one hash probe per pixel.
#include <cstdint>
#include <vector>

#include "imaging/color.h"

namespace pagewell {

class TNearestColorMap {
 public:
  explicit TNearestColorMap(const std::vector<TColor>& palette);

  int IndexOf(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
  int IndexOf(TColor color) { return IndexOf(RedOf(color), GreenOf(color), BlueOf(color)); }

 private:
  int Search(std::uint8_t red, std::uint8_t green, std::uint8_t blue) const;

  void Remember(std::uint32_t key, int index);
  void Grow();

  static constexpr std::size_t kMaxSlots = 1u << 16;
  struct Slot {
    std::uint32_t key = 0;  // RGBKey + 1, 0 for empty
    std::uint8_t index = 0;
  };
  std::vector<std::int32_t> red_, green_, blue_;
  std::vector<Slot> cache_;
  std::size_t cached_ = 0;
};

}  // namespace pagewell
