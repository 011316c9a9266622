#pragma once
// A synthetic 300 dpi letter page of printed text (2550 × 3300): lines of
// glyph-like strokes on white, optionally turned by a few degrees as a
// scanner feeds paper, with a sprinkling of specks. Available at 1, 8 and
// 24 bits with the same picture, plus the same pixels as leptonica images.
#include <leptonica/allheaders.h>

#include <cstdint>

#include "imaging/lu_bitmap.h"

namespace pagewell::bench {

constexpr int kTextPageWidth = 2550;
constexpr int kTextPageHeight = 3300;

namespace detail {

inline void FillBGR(TRaster& page, int left, int top, int right, int bottom, std::uint8_t value) {
  for (int y = top; y < bottom; ++y) {
    std::uint8_t* row = page.ScanLine(y);
    for (int x = left; x < right; ++x) row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = value;
  }
}

// Each glyph is a few 3-pixel strokes chosen by a pseudo-random letter code.
inline void DrawGlyph(TRaster& page, int left, int baseline, std::uint32_t code) {
  const int top = baseline - 28, right = left + 18;
  FillBGR(page, left, top + ((code & 1) ? 0 : 10), left + 3, baseline, 0);  // stem
  if (code & 2) FillBGR(page, left, baseline - 3, right, baseline, 0);       // foot
  if (code & 4) FillBGR(page, left, top + 10, right, top + 13, 0);           // bar
  if (code & 8) FillBGR(page, right - 3, top + 10, right, baseline, 0);      // right stem
  if (code & 16) FillBGR(page, left, top + 19, right, top + 22, 0);          // middle
}

}  // namespace detail

inline TluBitmap TextPage(TPixelFormat format, double skew) {
  TluBitmap page(kTextPageWidth, kTextPageHeight, TPixelFormat::pf24bit);
  detail::FillBGR(page, 0, 0, kTextPageWidth, kTextPageHeight, 255);
  std::uint32_t random = 2024;
  auto next = [&] { return random = random * 1664525u + 1013904223u, random >> 8; };
  for (int baseline = 240; baseline < kTextPageHeight - 200; baseline += 56) {
    int x = 200;
    while (x < kTextPageWidth - 260) {
      const int letters = 2 + static_cast<int>(next() % 8);
      for (int i = 0; i < letters; ++i, x += 22) detail::DrawGlyph(page, x, baseline, next());
      x += 20;
    }
  }
  page.DetectColorMode();
  if (skew != 0) {
    page.Rotate(false, clWhite, skew);
    const int left = (page.Width() - kTextPageWidth) / 2, top = (page.Height() - kTextPageHeight) / 2;
    page.Crop(left, top, left + kTextPageWidth - 1, top + kTextPageHeight - 1);
  }
  for (int i = 0; i < 3000; ++i) {  // specks of 1 to 2 pixels
    const int x = 2 + static_cast<int>(next() % (kTextPageWidth - 6)), y = 2 + static_cast<int>(next() % (kTextPageHeight - 6));
    detail::FillBGR(page, x, y, x + 1 + static_cast<int>(next() % 2), y + 1, 0);
  }
  if (format == TPixelFormat::pf1bit) page.SetColorMode(cmBlackWhite);
  if (format == TPixelFormat::pf8bit) page.SetColorMode(cmGray256);
  page.SetXDpi(300);
  page.SetYDpi(300);
  return page;
}

// The same picture as a leptonica image: 1 bpp with 1 = black, 8 bpp gray,
// or 32 bpp RGB for true colour.
inline PIX* LeptonicaCopy(const TluBitmap& page) {
  const int w = page.Width(), h = page.Height();
  switch (page.PixelFormat()) {
    case TPixelFormat::pf1bit: {
      PIX* pix = pixCreate(w, h, 1);
      for (int y = 0; y < h; ++y) {
        l_uint32* line = pixGetData(pix) + y * pixGetWpl(pix);
        for (int x = 0; x < w; ++x) {
          if (page.PixelColor(x, y) == clBlack) SET_DATA_BIT(line, x);
        }
      }
      return pix;
    }
    case TPixelFormat::pf8bit: {
      PIX* pix = pixCreate(w, h, 8);
      for (int y = 0; y < h; ++y) {
        l_uint32* line = pixGetData(pix) + y * pixGetWpl(pix);
        const std::uint8_t* row = page.ScanLine(y);
        for (int x = 0; x < w; ++x) SET_DATA_BYTE(line, x, RedOf(page.Palette()[row[x]]));
      }
      return pix;
    }
    default: {
      PIX* pix = pixCreate(w, h, 32);
      for (int y = 0; y < h; ++y) {
        l_uint32* line = pixGetData(pix) + y * pixGetWpl(pix);
        const std::uint8_t* s = page.ScanLine(y);
        for (int x = 0; x < w; ++x, s += 3) composeRGBPixel(s[2], s[1], s[0], line + x);
      }
      return pix;
    }
  }
}

}  // namespace pagewell::bench
