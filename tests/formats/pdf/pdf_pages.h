#pragma once
// Pages and document helpers for the PDF tests.
#include <string>

#include "formats/pdf/lu_pdf.h"
#include "imaging/lu_bitmap.h"

namespace pagewell::testing {

// A black-and-white page with a pattern that shows any shift, flip or
// inversion: a frame, a diagonal and a block of stripes.
inline TluBitmap PatternPage(int width, int height, int dpi) {
  TluBitmap page(width, height, TPixelFormat::pf1bit);
  page.SetPaletteKeepingIndices({clBlack, clWhite});
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const bool frame = x == 0 || y == 0 || x == width - 1 || y == height - 1;
      const bool stripes = x > width / 2 && y < height / 3 && (x / 3) % 2 == 0;
      page.SetPixelIndex(x, y, frame || x == y || stripes ? 0 : 1);
    }
  page.DetectColorMode();
  page.SetXDpi(dpi);
  page.SetYDpi(dpi);
  return page;
}

inline TluBitmap ColourPage(int width, int height, int dpi) {
  TluBitmap page(width, height, TPixelFormat::pf24bit);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) page.SetPixelColor(x, y, RGBColor(x * 255 / width, y * 255 / height, 90));
  page.DetectColorMode();
  page.SetXDpi(dpi);
  page.SetYDpi(dpi);
  return page;
}

inline TluBitmap GrayPage(int width, int height, int dpi) {
  TluBitmap page = ColourPage(width, height, dpi);
  page.SetColorMode(cmGray256);
  return page;
}

inline const TPDFDateTime kCreated{2024, 3, 9, 7, 5, 2};

inline std::string Document(const TluPDF& pdf) {
  TMemoryStream stream;
  pdf.SaveToStream(stream, kCreated);
  return std::string(stream.Bytes().begin(), stream.Bytes().end());
}

}  // namespace pagewell::testing
