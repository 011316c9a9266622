#pragma once
// The result of reading text from outside (a page's address, a policy entry):
// the value, or the reason there is none, in words an administrator can act
// on. Callers log the reason or show it; they never have to guess it.
#include <optional>
#include <string>
#include <utility>

namespace pagewell {

template <typename T>
struct Parsed {
  std::optional<T> value;
  std::string error;  // set exactly when value is empty

  static Parsed success(T value) { return {std::move(value), {}}; }
  static Parsed failure(std::string error) { return {std::nullopt, std::move(error)}; }

  explicit operator bool() const { return value.has_value(); }
  const T& operator*() const { return *value; }
  const T* operator->() const { return &*value; }
};

}  // namespace pagewell
