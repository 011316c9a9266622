#pragma once
// Owning pointer to a COM interface: one reference, released on destruction.
#include <objbase.h>
#include <utility>

namespace pagewell {

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes a reference of its own on p.
  explicit ComPtr(T* p) : p_(p) { if (p_) p_->AddRef(); }
  ComPtr(const ComPtr& other) : ComPtr(other.p_) {}
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept { std::swap(p_, other.p_); return *this; }
  ~ComPtr() { reset(); }

  // Adopts a reference that the caller already holds (a fresh out-parameter).
  static ComPtr adopt(T* p) { ComPtr result; result.p_ = p; return result; }

  void reset() { if (T* p = std::exchange(p_, nullptr)) p->Release(); }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

  // For out-parameters: releases what is held and hands out the slot.
  T** put() { reset(); return &p_; }
  void** put_void() { return reinterpret_cast<void**>(put()); }

  // Hands the reference to the caller (an out-parameter of ours).
  T* detach() { return std::exchange(p_, nullptr); }

  template <class U>
  ComPtr<U> query(REFIID iid) const {
    ComPtr<U> result;
    if (p_) p_->QueryInterface(iid, result.put_void());
    return result;
  }

 private:
  T* p_ = nullptr;
};

}  // namespace pagewell
