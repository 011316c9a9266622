#pragma once
// Small conversions shared by the ITwainForm members.
#include <oleauto.h>

#include <string>
#include <utility>

#include "com/bstr.h"
#include "com/error_boundary.h"

namespace pagewell {

inline VARIANT_BOOL toVariantBool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }
inline bool fromVariantBool(VARIANT_BOOL value) { return value != VARIANT_FALSE; }

// A string reader: the body gives the text, the caller gets a fresh BSTR.
template <class Body>
HRESULT guardedGetString(BSTR* out, Body&& body) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  return guarded([&] { *out = Bstr(body()).detach(); });
}

}  // namespace pagewell
