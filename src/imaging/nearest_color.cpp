#include "imaging/nearest_color.h"

#include <algorithm>
#include <limits>

namespace pagewell {

TNearestColorMap::TNearestColorMap(const std::vector<TColor>& palette) : cache_(256) {
  for (TColor c : palette) {
    red_.push_back(RedOf(c));
    green_.push_back(GreenOf(c));
    blue_.push_back(BlueOf(c));
  }
}

int TNearestColorMap::Search(std::uint8_t red, std::uint8_t green, std::uint8_t blue) const {
  int best = 0;
  std::int32_t bestDistance = std::numeric_limits<std::int32_t>::max();
  for (std::size_t i = 0; i < red_.size(); ++i) {
    const std::int32_t dr = red_[i] - red, dg = green_[i] - green, db = blue_[i] - blue;
    const std::int32_t distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = static_cast<int>(i);
      if (distance == 0) break;
    }
  }
  return best;
}

namespace {
inline std::size_t HomeSlot(std::uint32_t key, std::size_t slots) {
  const std::uint32_t h = key * 2654435761u;
  return (h ^ (h >> 16)) & (slots - 1);
}
}  // namespace

int TNearestColorMap::IndexOf(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  if (red_.empty()) return 0;
  const std::uint32_t key = RGBKey(red, green, blue) + 1;
  const std::size_t mask = cache_.size() - 1;
  for (std::size_t slot = HomeSlot(key, cache_.size());; slot = (slot + 1) & mask) {
    const Slot& s = cache_[slot];
    if (s.key == key) return s.index;
    if (s.key == 0) break;
  }
  const int index = Search(red, green, blue);
  Remember(key, index);
  return index;
}

// The cache starts small, so mapping a handful of pixels stays cheap, and
// doubles up to kMaxSlots; when that is half full it starts afresh, which
// keeps probe sequences short.
void TNearestColorMap::Remember(std::uint32_t key, int index) {
  if (cached_ >= cache_.size() / 2) {
    if (cache_.size() < kMaxSlots) {
      Grow();
    } else {
      std::fill(cache_.begin(), cache_.end(), Slot{});
      cached_ = 0;
    }
  }
  const std::size_t mask = cache_.size() - 1;
  std::size_t slot = HomeSlot(key, cache_.size());
  while (cache_[slot].key != 0) slot = (slot + 1) & mask;
  cache_[slot] = Slot{key, static_cast<std::uint8_t>(index)};
  ++cached_;
}

void TNearestColorMap::Grow() {
  std::vector<Slot> old(cache_.size() * 2);
  old.swap(cache_);
  const std::size_t mask = cache_.size() - 1;
  for (const Slot& s : old) {
    if (s.key == 0) continue;
    std::size_t slot = HomeSlot(s.key, cache_.size());
    while (cache_[slot].key != 0) slot = (slot + 1) & mask;
    cache_[slot] = s;
  }
}

}  // namespace pagewell
