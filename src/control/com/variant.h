#pragma once
// Owning VARIANT, cleared on destruction.
#include <oleauto.h>

namespace pagewell {

class Variant {
 public:
  Variant() { VariantInit(&v_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(&v_); }

  VARIANT* get() { return &v_; }
  const VARIANT* get() const { return &v_; }
  VARIANT* put() { VariantClear(&v_); return &v_; }

 private:
  VARIANT v_;
};

}  // namespace pagewell
