#pragma once
#include <cstdint>

namespace pagewell {

// Pixel formats a raster can hold. The operations of the system work on 1, 4,
// 8 and 24 bits; 15, 16 and 32 bits arrive from outside (device bitmaps,
// files) and are normalised by DetectColorMode.
enum class TPixelFormat : std::uint8_t {
  pf1bit = 1,
  pf4bit = 4,
  pf8bit = 8,
  pf15bit = 15,  // x1r5g5b5, little-endian words
  pf16bit = 16,  // r5g6b5, little-endian words
  pf24bit = 24,  // blue, green, red
  pf32bit = 32,  // blue, green, red, unused
};

constexpr int BitsPerPixel(TPixelFormat format) {
  return format == TPixelFormat::pf15bit ? 16 : static_cast<int>(format);
}

// 2, 16 or 256 entries for the palette formats, 0 for the direct ones.
constexpr int PaletteEntryCount(TPixelFormat format) {
  switch (format) {
    case TPixelFormat::pf1bit: return 2;
    case TPixelFormat::pf4bit: return 16;
    case TPixelFormat::pf8bit: return 256;
    default: return 0;
  }
}

constexpr bool IsPaletteFormat(TPixelFormat format) { return PaletteEntryCount(format) > 0; }

}  // namespace pagewell
