#pragma once
// Conversions between TWAIN's value encodings and ordinary C++ values:
// fixed-point numbers, the fixed-size, zero-filled TWAIN strings, and the
// sizes of container items.
#include <cmath>
#include <cstddef>
#include <cstring>
#include <string>

#include "twain/twain_types.h"

namespace twain {

// Size in bytes of one container item of the type; 0 for the types no
// container of ours holds (strings, frames), so a reader never guesses.
inline std::size_t ItemSize(TW_UINT16 itemType) {
  switch (itemType) {
    case TWTY_INT8:
    case TWTY_UINT8: return 1;
    case TWTY_INT16:
    case TWTY_UINT16:
    case TWTY_BOOL: return 2;
    case TWTY_INT32:
    case TWTY_UINT32:
    case TWTY_FIX32: return 4;
    default: return 0;
  }
}

inline double Fix32ToReal(TW_FIX32 value) { return value.Whole + value.Frac / 65536.0; }

// The whole part is the value rounded down, so that negative values keep a
// non-negative fraction as the standard encodes them (-0.5 is -1 + 32768/65536);
// for the non-negative values of resolutions and frames this is plain truncation.
inline TW_FIX32 RealToFix32(double value) {
  const double whole = std::floor(value);
  TW_FIX32 fix;
  fix.Whole = static_cast<TW_INT16>(whole);
  fix.Frac = static_cast<TW_UINT16>(static_cast<std::uint32_t>((value - whole) * 65536.0) & 0xFFFF);
  return fix;
}

inline TW_UINT32 Fix32Bits(TW_FIX32 value) {
  TW_UINT32 bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

inline TW_FIX32 Fix32FromBits(TW_UINT32 bits) {
  TW_FIX32 value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// Copies at most the first 32 characters and zero-fills the field to its end.
inline void CopyToStr32(TW_STR32& field, const std::string& text) {
  std::memset(field, 0, sizeof field);
  std::memcpy(field, text.data(), text.size() < 32 ? text.size() : 32);
}

// The text up to the first zero byte, never reading past the 34-byte field
// even when a source leaves it unterminated.
inline std::string Str32ToString(const TW_STR32& field) {
  const void* end = std::memchr(field, 0, sizeof field);
  const std::size_t length = end ? static_cast<const char*>(end) - field : sizeof field;
  return std::string(field, length);
}

}  // namespace twain
