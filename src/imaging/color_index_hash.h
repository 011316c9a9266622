#pragma once
// TColorIndexHash: colour → palette index, a fixed open-addressing table of
// 4096 slots (slot = key mod 4096, linear probing). It never grows: it holds
// at most one palette, 256 keys, so every lookup is one short probe run.
#include <array>
#include <cstdint>

namespace pagewell {

class TColorIndexHash {
 public:
  static constexpr std::uint32_t kSlots = 4096;

  // Adds key → value; a key already present keeps its first value, the
  // index that nearest-colour drawing also picks for a repeated colour.
  void Add(std::uint32_t key, int value) {
    for (std::uint32_t slot = key % kSlots, probes = 0; probes < kSlots; slot = (slot + 1) % kSlots, ++probes) {
      Slot& s = slots_[slot];
      if (!s.used) {
        s = Slot{key, value, true};
        return;
      }
      if (s.key == key) return;
    }
  }

  // The value of the key, or -1 when a probe reaches an unused slot.
  int Find(std::uint32_t key) const {
    for (std::uint32_t slot = key % kSlots, probes = 0; probes < kSlots; slot = (slot + 1) % kSlots, ++probes) {
      const Slot& s = slots_[slot];
      if (!s.used) return -1;
      if (s.key == key) return s.value;
    }
    return -1;
  }

 private:
  struct Slot {
    std::uint32_t key = 0;
    int value = 0;
    bool used = false;
  };
  std::array<Slot, kSlots> slots_{};
};

}  // namespace pagewell
