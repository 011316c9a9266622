#include "imaging/default_palettes.h"

namespace pagewell {
namespace {

std::vector<TColor> Vga16() {
  return {RGBColor(0, 0, 0),       RGBColor(128, 0, 0),   RGBColor(0, 128, 0),   RGBColor(128, 128, 0),
          RGBColor(0, 0, 128),     RGBColor(128, 0, 128), RGBColor(0, 128, 128), RGBColor(192, 192, 192),
          RGBColor(128, 128, 128), RGBColor(255, 0, 0),   RGBColor(0, 255, 0),   RGBColor(255, 255, 0),
          RGBColor(0, 0, 255),     RGBColor(255, 0, 255), RGBColor(0, 255, 255), RGBColor(255, 255, 255)};
}

std::vector<TColor> CubeAndGrays() {
  std::vector<TColor> palette;
  palette.reserve(256);
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) palette.push_back(RGBColor(r * 51, g * 51, b * 51));
  // Eight grays inside each of the five gaps between the cube's grays.
  for (int gap = 0; gap < 5; ++gap)
    for (int step = 1; step <= 8; ++step) {
      const int level = gap * 51 + (step * 51 + 4) / 9;
      palette.push_back(RGBColor(level, level, level));
    }
  return palette;
}

}  // namespace

std::vector<TColor> DefaultPalette(TPixelFormat format) {
  switch (format) {
    case TPixelFormat::pf1bit: return {clBlack, clWhite};
    case TPixelFormat::pf4bit: return Vga16();
    case TPixelFormat::pf8bit: return CubeAndGrays();
    default: return {};
  }
}

std::vector<TColor> GrayRamp256() {
  std::vector<TColor> palette(256);
  for (unsigned i = 0; i < 256; ++i) palette[i] = RGBColor(i, i, i);
  return palette;
}

}  // namespace pagewell
