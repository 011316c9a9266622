#pragma once
// Owning handles for windows and GDI objects.
#include <windows.h>

#include <utility>

namespace pagewell {

template <class Handle, class Deleter>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle h) : h_(h) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    reset(std::exchange(other.h_, nullptr));
    return *this;
  }
  ~UniqueHandle() { reset(); }

  void reset(Handle h = nullptr) {
    if (h_) Deleter()(h_);
    h_ = h;
  }
  Handle get() const { return h_; }
  Handle release() { return std::exchange(h_, nullptr); }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  Handle h_ = nullptr;
};

struct WindowDeleter {
  void operator()(HWND h) const { DestroyWindow(h); }
};
struct GdiObjectDeleter {
  void operator()(HGDIOBJ h) const { DeleteObject(h); }
};

using WindowHandle = UniqueHandle<HWND, WindowDeleter>;
using BrushHandle = UniqueHandle<HBRUSH, GdiObjectDeleter>;
using FontHandle = UniqueHandle<HFONT, GdiObjectDeleter>;
using BitmapHandle = UniqueHandle<HBITMAP, GdiObjectDeleter>;

}  // namespace pagewell
