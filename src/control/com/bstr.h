#pragma once
// Owning BSTR and the conversions the automation boundary needs. A NULL BSTR
// is a valid empty string in automation, so every reader treats it as "".
#include <oleauto.h>
#include <string>
#include <string_view>
#include <utility>

#include "com/com_error.h"

namespace pagewell {

class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(std::wstring_view text)
      : s_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {
    if (!s_ && !text.empty()) throw ComError(E_OUTOFMEMORY, "Out of memory");
  }
  Bstr(const Bstr& other) : Bstr(other.view()) {}
  Bstr(Bstr&& other) noexcept : s_(std::exchange(other.s_, nullptr)) {}
  Bstr& operator=(Bstr other) noexcept { std::swap(s_, other.s_); return *this; }
  ~Bstr() { SysFreeString(s_); }

  static Bstr adopt(BSTR s) { Bstr b; b.s_ = s; return b; }

  BSTR get() const { return s_; }
  BSTR* put() { SysFreeString(s_); s_ = nullptr; return &s_; }
  BSTR detach() { return std::exchange(s_, nullptr); }
  std::wstring_view view() const { return viewOf(s_); }

  static std::wstring_view viewOf(BSTR s) {
    return s ? std::wstring_view(s, SysStringLen(s)) : std::wstring_view();
  }

 private:
  BSTR s_ = nullptr;
};

// Writes text into an automation out-parameter as a fresh BSTR.
inline HRESULT returnString(std::wstring_view text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = Bstr(text).detach();
  return S_OK;
}

}  // namespace pagewell
