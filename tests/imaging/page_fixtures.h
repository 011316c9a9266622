#pragma once
// Small pages for the image-operation tests: every pixel readable as one
// value (palette index, or blue + green × 256 + red × 65536 for 24 bits), so
// that a test can state exactly where each pixel must end up.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "imaging/cpu_features.h"
#include "imaging/lu_bitmap.h"

namespace pagewell::test {

inline const std::vector<TPixelFormat>& EditableFormats() {
  static const std::vector<TPixelFormat> formats = {TPixelFormat::pf1bit, TPixelFormat::pf4bit,
                                                    TPixelFormat::pf8bit, TPixelFormat::pf24bit};
  return formats;
}

inline std::string FormatName(TPixelFormat format) { return std::to_string(static_cast<int>(format)) + " bits"; }

// Distinct values for a format: 2, 16, 256 or 2^24.
inline std::uint32_t ValueRange(TPixelFormat format) {
  return format == TPixelFormat::pf24bit ? (1u << 24) : static_cast<std::uint32_t>(PaletteEntryCount(format));
}

inline std::uint32_t Value(const TRaster& r, int x, int y) {
  if (IsPaletteFormat(r.PixelFormat())) return static_cast<std::uint32_t>(r.PixelIndex(x, y));
  const TColor c = r.PixelColor(x, y);
  return BlueOf(c) | (GreenOf(c) << 8) | (static_cast<std::uint32_t>(RedOf(c)) << 16);
}

inline void SetValue(TRaster& r, int x, int y, std::uint32_t v) {
  if (IsPaletteFormat(r.PixelFormat())) {
    r.SetPixelIndex(x, y, static_cast<int>(v));
  } else {
    r.SetPixelColor(x, y, RGBColor(v >> 16, (v >> 8) & 0xFF, v & 0xFF));
  }
}

// A page whose pixels hold value(x, y) reduced to the format's range. The
// palette of palette formats has distinct colours, black first.
inline TluBitmap MakePage(TPixelFormat format, int width, int height,
                          const std::function<std::uint32_t(int, int)>& value) {
  TluBitmap page;
  page.Assign(TRaster(width, height, format));
  if (format == TPixelFormat::pf1bit) page.SetPaletteKeepingIndices({clBlack, clWhite});
  page.DetectColorMode();
  const std::uint32_t range = ValueRange(format);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) SetValue(page, x, y, value(x, y) % range);
  }
  return page;
}

inline TluBitmap RandomPage(TPixelFormat format, int width, int height, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<std::uint32_t> values(static_cast<std::size_t>(width) * height);
  for (auto& v : values) v = random();
  return MakePage(format, width, height, [&](int x, int y) { return values[static_cast<std::size_t>(y) * width + x]; });
}

inline TluBitmap UniformPage(TPixelFormat format, int width, int height, std::uint32_t value) {
  return MakePage(format, width, height, [=](int, int) { return value; });
}

// The value that shows white on pages made by MakePage.
inline std::uint32_t WhiteValue(const TRaster& r) {
  if (!IsPaletteFormat(r.PixelFormat())) return 0xFFFFFF;
  const auto& palette = r.Palette();
  for (std::size_t i = 0; i < palette.size(); ++i) {
    if (palette[i] == clWhite) return static_cast<std::uint32_t>(i);
  }
  return 0xFFFFFFFF;
}

// True when every pixel of `a` equals the same pixel of `b`.
inline bool SamePixels(const TRaster& a, const TRaster& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height() || a.PixelFormat() != b.PixelFormat()) return false;
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      if (Value(a, x, y) != Value(b, x, y)) return false;
    }
  }
  return true;
}

// The bits after the last pixel of packed rows must stay 0.
inline bool TrailingBitsClear(const TRaster& r) {
  const int usedBits = r.Width() * r.BitsPerPixel() % 8;
  if (usedBits == 0) return true;
  const std::uint8_t mask = static_cast<std::uint8_t>(0xFF >> usedBits);
  for (int y = 0; y < r.Height(); ++y) {
    if (r.ScanLine(y)[r.RowBytes() - 1] & mask) return false;
  }
  return true;
}

// Runs a check once for every version of the pixel loops this processor
// can run (baseline, AVX2, AVX2 with GFNI), so that a machine with the
// wider ones tests the narrower ones too.
template <typename Check>
inline void ForEachLoopVersion(Check check) {
  const char* names[] = {"baseline loops", "AVX2 loops", "AVX2 and GFNI loops", "AVX-512 loops"};
  for (TLoopLevel level : {TLoopLevel::Baseline, TLoopLevel::Avx2, TLoopLevel::Avx2Gfni, TLoopLevel::Avx512}) {
    if (level > ProcessorLoopLevel()) break;
    SCOPED_TRACE(names[static_cast<int>(level)]);
    LimitLoopsTo(level);
    check();
  }
  LimitLoopsTo(TLoopLevel::Avx512);
}

}  // namespace pagewell::test
