#pragma once
// Pixel access inside a row for the four formats the image operations
// handle. A pixel value is the palette index for 1, 4 and 8 bits and
// blue + green × 256 + red × 65536 for 24 bits, so one comparison tells
// whether two pixels are equal in every format. The format is a template
// parameter: pixel loops are instantiated once per format and carry no
// per-pixel branch on it.
#include <cstdint>
#include <type_traits>

#include "imaging/color.h"
#include "imaging/raster.h"

namespace pagewell {

template <int Bits>
struct TPackedPixels;

template <>
struct TPackedPixels<1> {
  static constexpr int kBits = 1;
  static std::uint32_t Get(const std::uint8_t* row, int x) { return (row[x >> 3] >> (7 - (x & 7))) & 1u; }
  static void Set(std::uint8_t* row, int x, std::uint32_t value) {
    const auto mask = static_cast<std::uint8_t>(0x80u >> (x & 7));
    row[x >> 3] = static_cast<std::uint8_t>(value ? (row[x >> 3] | mask) : (row[x >> 3] & ~mask));
  }
};

template <>
struct TPackedPixels<4> {
  static constexpr int kBits = 4;
  static std::uint32_t Get(const std::uint8_t* row, int x) {
    return (x & 1) ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4);
  }
  static void Set(std::uint8_t* row, int x, std::uint32_t value) {
    std::uint8_t& b = row[x >> 1];
    b = static_cast<std::uint8_t>((x & 1) ? ((b & 0xF0) | (value & 0x0F)) : ((b & 0x0F) | ((value & 0x0F) << 4)));
  }
};

template <>
struct TPackedPixels<8> {
  static constexpr int kBits = 8;
  static std::uint32_t Get(const std::uint8_t* row, int x) { return row[x]; }
  static void Set(std::uint8_t* row, int x, std::uint32_t value) { row[x] = static_cast<std::uint8_t>(value); }
};

template <>
struct TPackedPixels<24> {
  static constexpr int kBits = 24;
  static std::uint32_t Get(const std::uint8_t* row, int x) {
    const std::uint8_t* p = row + 3 * x;
    return p[0] | (p[1] << 8) | (static_cast<std::uint32_t>(p[2]) << 16);
  }
  static void Set(std::uint8_t* row, int x, std::uint32_t value) {
    std::uint8_t* p = row + 3 * x;
    p[0] = static_cast<std::uint8_t>(value), p[1] = static_cast<std::uint8_t>(value >> 8);
    p[2] = static_cast<std::uint8_t>(value >> 16);
  }
};

// Calls visit(TPackedPixels<Bits>{}) for a 1, 4, 8 or 24-bit format and
// answers true; answers false for the formats the operations leave alone.
template <typename Visit>
bool VisitPackedPixels(TPixelFormat format, Visit&& visit) {
  switch (format) {
    case TPixelFormat::pf1bit: visit(TPackedPixels<1>{}); return true;
    case TPixelFormat::pf4bit: visit(TPackedPixels<4>{}); return true;
    case TPixelFormat::pf8bit: visit(TPackedPixels<8>{}); return true;
    case TPixelFormat::pf24bit: visit(TPackedPixels<24>{}); return true;
    default: return false;
  }
}

inline bool IsEditableFormat(TPixelFormat format) {
  return format == TPixelFormat::pf1bit || format == TPixelFormat::pf4bit || format == TPixelFormat::pf8bit ||
         format == TPixelFormat::pf24bit;
}

// The pixel value that shows `color` in the raster: the nearest palette
// entry (the first exact one when the palette holds the colour) or the
// colour's own bytes for 24 bits.
std::uint32_t PixelValueOf(const TRaster& raster, TColor color);

// A raster of the given size with the format and palette of `like`, every
// pixel holding `value`.
TRaster FilledRasterLike(const TRaster& like, int width, int height, std::uint32_t value);

}  // namespace pagewell
