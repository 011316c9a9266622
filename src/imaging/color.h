#pragma once
// Colours travel through the system as 32-bit values laid out 0x00BBGGRR
// (red in the low byte), the layout pages and callers use.
#include <cstdint>

namespace pagewell {

using TColor = std::uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;

constexpr std::uint8_t RedOf(TColor c) { return static_cast<std::uint8_t>(c & 0xFF); }
constexpr std::uint8_t GreenOf(TColor c) { return static_cast<std::uint8_t>((c >> 8) & 0xFF); }
constexpr std::uint8_t BlueOf(TColor c) { return static_cast<std::uint8_t>((c >> 16) & 0xFF); }

constexpr TColor RGBColor(unsigned r, unsigned g, unsigned b) {
  return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

constexpr bool IsGrayColor(TColor c) { return RedOf(c) == GreenOf(c) && GreenOf(c) == BlueOf(c); }

// The key used by colour hashes and the quantiser: red × 65536 + green × 256 + blue.
constexpr std::uint32_t RGBKey(unsigned r, unsigned g, unsigned b) { return (r << 16) | (g << 8) | b; }

}  // namespace pagewell
