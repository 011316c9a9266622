#include "twain/capability_value.h"

#include <algorithm>
#include <cstring>

#include "twain/twain_values.h"

namespace pagewell {

using namespace twain;

std::optional<TW_UINT32> TCapabilityValue::Current(TW_UINT16 itemType) const {
  if (ItemType != itemType) return std::nullopt;
  if (ConType == TWON_ONEVALUE && !Items.empty()) return Items.front();
  if (ConType == TWON_ENUMERATION && CurrentIndex < Items.size()) return Items[CurrentIndex];
  return std::nullopt;
}

namespace {

TW_UINT32 ReadItem(const std::uint8_t* at, std::size_t itemSize) {
  TW_UINT32 value = 0;
  std::memcpy(&value, at, itemSize);  // little-endian: the low bytes hold the item
  return value;
}

// Copies up to `claimed` items from `items`, no more than the block holds.
std::vector<TW_UINT32> ReadItems(const std::uint8_t* items, std::size_t available, TW_UINT32 claimed,
                                 TW_UINT16 itemType, bool sizeKnown) {
  const std::size_t itemSize = ItemSize(itemType);
  if (itemSize == 0) return {};
  std::size_t count = claimed;
  count = sizeKnown ? std::min(count, available / itemSize) : std::min(count, kMaxUnsizedItems);
  std::vector<TW_UINT32> values(count);
  for (std::size_t i = 0; i < count; ++i) values[i] = ReadItem(items + i * itemSize, itemSize);
  return values;
}

template <typename Record>
bool Fits(std::size_t size, std::size_t headSize = sizeof(Record)) {
  return size == 0 || size >= headSize;
}

}  // namespace

TCapabilityValue ReadCapabilityContainer(TW_UINT16 conType, const void* data, std::size_t size) {
  TCapabilityValue value;
  if (!data) return value;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  const bool sizeKnown = size != 0;
  switch (conType) {
    case TWON_ONEVALUE: {
      if (!Fits<TW_ONEVALUE>(size)) return value;
      TW_ONEVALUE one;
      std::memcpy(&one, bytes, sizeof one);
      value.ItemType = one.ItemType;
      const std::size_t itemSize = ItemSize(one.ItemType);
      if (itemSize) value.Items.push_back(itemSize == 4 ? one.Item : one.Item & ((1u << (8 * itemSize)) - 1));
      break;
    }
    case TWON_ENUMERATION: {
      const std::size_t head = offsetof(TW_ENUMERATION, ItemList);
      if (!Fits<TW_ENUMERATION>(size, head)) return value;
      TW_ENUMERATION e;
      std::memcpy(&e, bytes, head);
      value.ItemType = e.ItemType;
      value.CurrentIndex = e.CurrentIndex;
      value.DefaultIndex = e.DefaultIndex;
      value.Items = ReadItems(bytes + head, size - std::min(size, head), e.NumItems, e.ItemType, sizeKnown);
      break;
    }
    case TWON_ARRAY: {
      const std::size_t head = offsetof(TW_ARRAY, ItemList);
      if (!Fits<TW_ARRAY>(size, head)) return value;
      TW_ARRAY a;
      std::memcpy(&a, bytes, head);
      value.ItemType = a.ItemType;
      value.Items = ReadItems(bytes + head, size - std::min(size, head), a.NumItems, a.ItemType, sizeKnown);
      break;
    }
    case TWON_RANGE: {
      if (!Fits<TW_RANGE>(size)) return value;
      TW_RANGE r;
      std::memcpy(&r, bytes, sizeof r);
      value.ItemType = r.ItemType;
      value.MinValue = r.MinValue;
      value.MaxValue = r.MaxValue;
      value.StepSize = r.StepSize;
      value.DefaultValue = r.DefaultValue;
      value.CurrentValue = r.CurrentValue;
      break;
    }
    default: return value;
  }
  value.ConType = conType;
  return value;
}

}  // namespace pagewell
