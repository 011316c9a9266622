#pragma once
// An allocator for byte buffers that are about to be overwritten in full:
// growing a vector with it leaves the new elements unset instead of zeroing
// them. A page-sized raster that a quarter turn writes completely would
// otherwise be written twice, once with zeros and once with pixels.
// Construction with an explicit value (vector(n, 0), resize(n, 0)) still
// sets every element.
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

namespace pagewell {

template <typename T>
class TNoFillAllocator : public std::allocator<T> {
  static_assert(std::is_trivially_default_constructible_v<T>, "only for plain values");

 public:
  template <typename U>
  struct rebind {
    using other = TNoFillAllocator<U>;
  };

  TNoFillAllocator() noexcept = default;
  template <typename U>
  TNoFillAllocator(const TNoFillAllocator<U>&) noexcept {}

  // Default construction: no value is written.
  template <typename U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

template <typename T, typename U>
bool operator==(const TNoFillAllocator<T>&, const TNoFillAllocator<U>&) noexcept {
  return true;
}
template <typename T, typename U>
bool operator!=(const TNoFillAllocator<T>&, const TNoFillAllocator<U>&) noexcept {
  return false;
}

}  // namespace pagewell
