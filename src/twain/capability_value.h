#pragma once
// A capability container as a source answered it, copied out of the
// source's memory block into a value. The copy reads only what the block
// holds: item counts that claim more than the block's size are cut to it.
#include <cstddef>
#include <optional>
#include <vector>

#include "twain/twain_types.h"

namespace pagewell {

struct TCapabilityValue {
  twain::TW_UINT16 ConType = 0;  // TWON_ONEVALUE, TWON_ENUMERATION, TWON_RANGE, TWON_ARRAY; 0 = none
  twain::TW_UINT16 ItemType = 0;
  // One-value: its item; enumeration and array: every item. Items of 1, 2
  // and 4 bytes are kept zero-extended (a TW_FIX32 as its 4 bytes); items of
  // other types are not copied.
  std::vector<twain::TW_UINT32> Items;
  twain::TW_UINT32 CurrentIndex = 0;
  twain::TW_UINT32 DefaultIndex = 0;
  // Range fields.
  twain::TW_UINT32 MinValue = 0, MaxValue = 0, StepSize = 0, DefaultValue = 0, CurrentValue = 0;

  // The current value: the item at CurrentIndex of an enumeration, the item
  // of a one-value; nothing for other containers, other item types or an
  // index outside the list.
  std::optional<twain::TW_UINT32> Current(twain::TW_UINT16 itemType) const;
};

// Reads a container of the given type from `data`. `size` is the block's
// size, or 0 when it is unknown, in which case at most kMaxUnsizedItems
// items are read.
TCapabilityValue ReadCapabilityContainer(twain::TW_UINT16 conType, const void* data, std::size_t size);

constexpr std::size_t kMaxUnsizedItems = 1024;

}  // namespace pagewell
