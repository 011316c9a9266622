#pragma once
// Small images for the bitmap tests, built pixel by pixel so that every
// expectation can be read off the fixture.
#include <vector>

#include "imaging/lu_bitmap.h"

namespace pagewell::testing {

// A 24-bit page whose pixel (x, y) has the colour colours[(y * width + x) % n].
inline TluBitmap TrueColorPage(int width, int height, const std::vector<TColor>& colours) {
  TluBitmap page(width, height, TPixelFormat::pf24bit);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) page.SetPixelColor(x, y, colours[(y * width + x) % colours.size()]);
  page.DetectColorMode();
  return page;
}

// A palette page with the given palette and pixel (x, y) = indices[(y * width + x) % n].
inline TluBitmap PalettePage(TPixelFormat format, int width, int height, const std::vector<TColor>& palette,
                             const std::vector<int>& indices) {
  TluBitmap page(width, height, format);
  page.SetPaletteKeepingIndices(palette);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) page.SetPixelIndex(x, y, indices[(y * width + x) % indices.size()]);
  page.DetectColorMode();
  return page;
}

inline std::vector<TColor> Colours(const TRaster& image) {
  std::vector<TColor> colours;
  for (int y = 0; y < image.Height(); ++y)
    for (int x = 0; x < image.Width(); ++x) colours.push_back(image.PixelColor(x, y));
  return colours;
}

inline std::vector<TColor> Gray(std::initializer_list<unsigned> levels) {
  std::vector<TColor> colours;
  for (unsigned level : levels) colours.push_back(RGBColor(level, level, level));
  return colours;
}

}  // namespace pagewell::testing
