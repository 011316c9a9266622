#pragma once
// Pages and file views for the JPEG tests.
#include <cstdint>
#include <string>
#include <vector>

#include "support/icc_test_profile.h"
#include "formats/jpeg/jpeg_image_extra.h"
#include "imaging/lu_bitmap.h"

namespace pagewell::testing {

// A 24-bit page with smooth colour gradients (JPEG keeps them closely).
inline TluBitmap GradientPage(int width, int height, int dpi = 300) {
  TluBitmap page(width, height, TPixelFormat::pf24bit);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      page.SetPixelColor(x, y, RGBColor(x * 255 / width, y * 255 / height, (x + y) * 255 / (width + height)));
  page.DetectColorMode();
  page.SetXDpi(dpi);
  page.SetYDpi(dpi);
  return page;
}

inline TluBitmap PlainPage(int width, int height, TColor colour) {
  TluBitmap page(width, height, TPixelFormat::pf24bit);
  page.FillRect(0, 0, width, height, colour);
  page.DetectColorMode();
  return page;
}

// A black-and-white page: a black frame and a black diagonal on white.
inline TluBitmap BlackWhitePage(int width, int height) {
  TluBitmap page(width, height, TPixelFormat::pf1bit);
  page.SetPaletteKeepingIndices({clBlack, clWhite});
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const bool black = x == 0 || y == 0 || x == width - 1 || y == height - 1 || x == y;
      page.SetPixelIndex(x, y, black ? 0 : 1);
    }
  page.DetectColorMode();
  return page;
}

inline std::vector<std::uint8_t> SaveJpeg(const TluBitmap& page, int quality = 90) {
  TMemoryStream stream;
  SaveBitmapAsJpeg(page, quality, stream);
  return stream.Bytes();
}

// The library's data for a small gradient with its APP0 segment removed.
inline std::vector<std::uint8_t> LibraryFileWithoutApp0() {
  TJPEGImageExtra jpeg;
  jpeg.CompressFrom(GradientPage(24, 16));
  std::vector<std::uint8_t> file = jpeg.CompressedData();
  file.erase(file.begin() + 2, file.begin() + 20);
  return file;
}

struct TMarker {
  std::uint8_t Code;
  std::vector<std::uint8_t> Payload;
};

// The markers of a file up to and including the first SOS, read without
// the codec's own segment walker.
inline std::vector<TMarker> MarkersToFirstScan(const std::vector<std::uint8_t>& file) {
  std::vector<TMarker> markers;
  std::size_t at = 2;  // after SOI
  while (at + 4 <= file.size() && file[at] == 0xFF) {
    const std::uint8_t code = file[at + 1];
    const std::size_t length = static_cast<std::size_t>(file[at + 2] << 8 | file[at + 3]);
    if (at + 2 + length > file.size()) break;
    markers.push_back({code, std::vector<std::uint8_t>(file.begin() + at + 4, file.begin() + at + 2 + length)});
    if (code == 0xDA) break;
    at += 2 + length;
  }
  return markers;
}

inline std::vector<std::uint8_t> MarkerCodes(const std::vector<std::uint8_t>& file) {
  std::vector<std::uint8_t> codes;
  for (const auto& m : MarkersToFirstScan(file)) codes.push_back(m.Code);
  return codes;
}

}  // namespace pagewell::testing
