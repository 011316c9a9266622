#pragma once
// Ownership of GDI handles: each wrapper frees its handle once, and a
// selection puts the previous object back into the device context.
#include <windows.h>

#include <utility>

namespace pagewell {

template <typename Handle>
class TGdiObject {
 public:
  TGdiObject() = default;
  explicit TGdiObject(Handle handle) : handle_(handle) {}
  ~TGdiObject() {
    if (handle_) DeleteObject(handle_);
  }
  TGdiObject(TGdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  TGdiObject& operator=(TGdiObject&& other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
  }
  TGdiObject(const TGdiObject&) = delete;
  TGdiObject& operator=(const TGdiObject&) = delete;

  Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  Handle handle_ = nullptr;
};

// A memory device context compatible with the screen.
class TMemoryDC {
 public:
  TMemoryDC() : dc_(CreateCompatibleDC(nullptr)) {}
  ~TMemoryDC() {
    if (dc_) DeleteDC(dc_);
  }
  TMemoryDC(const TMemoryDC&) = delete;
  TMemoryDC& operator=(const TMemoryDC&) = delete;

  HDC Get() const { return dc_; }

 private:
  HDC dc_;
};

class TSelection {
 public:
  TSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~TSelection() { SelectObject(dc_, previous_); }
  TSelection(const TSelection&) = delete;
  TSelection& operator=(const TSelection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace pagewell
