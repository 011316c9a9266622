#pragma once
// Synthetic letter-size pages at 300 dpi (2550 × 3300) for benchmarks: a
// white page with dark text-like strokes and a colour photograph block, so
// thresholds, gray conversion and colour reduction all do real work.
#include <cstdint>

#include "imaging/lu_bitmap.h"

namespace pagewell::bench {

constexpr int kPageWidth = 2550;
constexpr int kPageHeight = 3300;

inline TluBitmap ScannedColourPage() {
  TluBitmap page(kPageWidth, kPageHeight, TPixelFormat::pf24bit);
  std::uint32_t noise = 12345;
  for (int y = 0; y < kPageHeight; ++y) {
    std::uint8_t* p = page.ScanLine(y);
    const bool textLine = (y / 40) % 2 == 0 && y > 300 && y < 3000;
    for (int x = 0; x < kPageWidth; ++x, p += 3) {
      noise = noise * 1664525u + 1013904223u;
      const int jitter = static_cast<int>(noise >> 29);  // 0..7 of scanner noise
      int r = 245 + jitter, g = 243 + jitter, b = 240 + jitter;
      if (textLine && ((x * 7 + y * 3) % 23) < 5) r = g = b = 20 + jitter * 3;  // strokes
      if (x > 1200 && x < 2300 && y > 400 && y < 1400) {  // photograph: smooth colours
        r = (x * 255) / kPageWidth, g = (y * 255) / kPageHeight, b = ((x + y) * 7) & 255;
        r = (r + jitter) & 255;
      }
      p[0] = static_cast<std::uint8_t>(b > 255 ? 255 : b);
      p[1] = static_cast<std::uint8_t>(g > 255 ? 255 : g);
      p[2] = static_cast<std::uint8_t>(r > 255 ? 255 : r);
    }
  }
  page.SetXDpi(300);
  page.SetYDpi(300);
  page.DetectColorMode();
  return page;
}

}  // namespace pagewell::bench
