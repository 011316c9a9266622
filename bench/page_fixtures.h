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

// A scanner's sensor noise: roughly Gaussian (the sum of four uniform
// draws), standard deviation about `sigma`, from a fixed seed.
class SensorNoise {
 public:
  explicit SensorNoise(double sigma) : scale_(sigma / 1.1547) {}  // four uniforms on [-1,1): sd 1.1547
  int next() {
    int sum = 0;
    for (int i = 0; i < 4; ++i) {
      state_ = state_ * 1664525u + 1013904223u;
      sum += static_cast<int>(state_ >> 16 & 0xffff) - 32768;
    }
    return static_cast<int>(sum / 32768.0 * scale_);
  }

 private:
  std::uint32_t state_ = 2024;
  double scale_;
};

inline std::uint8_t Clamped(int value) { return static_cast<std::uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value); }

// A 300 dpi colour letter as a real scanner delivers it: text strokes, a
// photograph, and Gaussian noise of `sigma` over paper and photograph
// alike (0: a clean page, every paper pixel the same).
inline TluBitmap ScannedLetter(double sigma) {
  TluBitmap page(kPageWidth, kPageHeight, TPixelFormat::pf24bit);
  SensorNoise noise(sigma);
  for (int y = 0; y < kPageHeight; ++y) {
    std::uint8_t* p = page.ScanLine(y);
    const bool textLine = (y / 40) % 2 == 0 && y > 300 && y < 3000;
    for (int x = 0; x < kPageWidth; ++x, p += 3) {
      int r = 246, g = 244, b = 238;
      if (textLine && ((x * 7 + y * 3) % 23) < 5) r = g = b = 30;
      if (x > 1200 && x < 2300 && y > 400 && y < 1400) {
        r = 40 + (x - 1200) * 180 / 1100, g = 60 + (y - 400) * 150 / 1000, b = 90 + ((x + y) % 400) / 4;
      }
      // Each channel's sensor has noise of its own.
      p[0] = Clamped(b + (sigma > 0 ? noise.next() : 0));
      p[1] = Clamped(g + (sigma > 0 ? noise.next() : 0));
      p[2] = Clamped(r + (sigma > 0 ? noise.next() : 0));
    }
  }
  page.SetXDpi(300);
  page.SetYDpi(300);
  page.DetectColorMode();
  return page;
}

}  // namespace pagewell::bench
