#pragma once
// TFrequentColorIds: up to 255 colours of a page, each with a small id (1 to
// the maximum given, at most 255) that fits a byte of an 8-bit raster; id 0
// means "not listed". The
// colours listed are the first ones seen, so on a scanned page the paper's
// and the ink's few colours, which make up most of the pixels.
//
// One probe per lookup: a colour's slot is a hash of its key, and a colour
// whose slot is taken is simply not listed. Ids are never taken back, so an
// id written into a raster keeps its meaning.
#include <array>
#include <cstdint>

namespace pagewell {

class TFrequentColorIds {
 public:
  static constexpr int kNotListed = 0;
  static constexpr int kMostIds = 255;

  explicit TFrequentColorIds(int maxIds) : maxIds_(maxIds < 0 ? 0 : maxIds > kMostIds ? kMostIds : maxIds) {}

  // The id of the colour key (RGBKey), or kNotListed.
  int Find(std::uint32_t key) const {
    const std::uint32_t slot = slots_[SlotOf(key)];
    return (slot >> 8) == key ? static_cast<int>(slot & 0xFF) : kNotListed;
  }

  // Lists the colour when an id is left and its slot is free; answers its
  // id, or kNotListed.
  int Add(std::uint32_t key) {
    std::uint32_t& slot = slots_[SlotOf(key)];
    if ((slot & 0xFF) != kNotListed || count_ == maxIds_) return kNotListed;
    keys_[static_cast<std::size_t>(++count_)] = key;
    slot = key << 8 | static_cast<std::uint32_t>(count_);
    return count_;
  }

  int Count() const { return count_; }
  std::uint32_t KeyOf(int id) const { return keys_[static_cast<std::size_t>(id)]; }

 private:
  static constexpr int kSlotBits = 12;  // mostly free slots: few colours miss theirs

  static std::uint32_t SlotOf(std::uint32_t key) { return (key * 0x9E3779B1u) >> (32 - kSlotBits); }

  // key << 8 | id; a free slot holds 0, which no colour finds as an id
  // (black finds id 0 there, "not listed").
  std::array<std::uint32_t, std::size_t{1} << kSlotBits> slots_{};
  std::array<std::uint32_t, kMostIds + 1> keys_{};
  int maxIds_;
  int count_ = 0;
};

}  // namespace pagewell
