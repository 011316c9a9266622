#pragma once
// Whole-text numbers within bounds, as the tools' command lines and the
// virtual scanner's configuration take them: no sign of trouble is ignored
// (empty text, trailing characters, overflow, NaN, a value out of range).
#include <cerrno>
#include <cstdlib>
#include <string>

namespace pagewell_tools {

inline bool ParseBoundedInt(const std::string& text, int low, int high, int& value) {
  errno = 0;
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end || errno || v < low || v > high) return false;
  value = static_cast<int>(v);
  return true;
}

// The bounds are finite, so infinities fall outside them; NaN compares false.
inline bool ParseBoundedReal(const std::string& text, double low, double high, double& value) {
  errno = 0;
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (text.empty() || *end || errno || !(v >= low && v <= high)) return false;
  value = v;
  return true;
}

}  // namespace pagewell_tools
