#pragma once
// Helpers for the codec tests: comparing our files with what the real
// decoders make of them, and page-like pictures to encode.
#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "formats/memory_stream.h"
#include "imaging/lu_bitmap.h"
#include "support/external_tools.h"

namespace pagewell::testing {

// The picture as a binary PPM: the reference the real decoders' output is
// compared with.
inline std::vector<std::uint8_t> ToPPM(const TRaster& image) {
  const std::string header = "P6\n" + std::to_string(image.Width()) + " " + std::to_string(image.Height()) + "\n255\n";
  std::vector<std::uint8_t> ppm(header.begin(), header.end());
  std::vector<std::uint8_t> bgr(static_cast<std::size_t>(image.Width()) * 3);
  for (int y = 0; y < image.Height(); ++y) {
    image.DecodeRowBGR(y, bgr.data());
    for (std::size_t i = 0; i < bgr.size(); i += 3) ppm.insert(ppm.end(), {bgr[i + 2], bgr[i + 1], bgr[i]});
  }
  return ppm;
}

// The number of pixels ImageMagick finds different between the file and
// the picture (compare -metric AE), or -1 when it cannot compare them.
inline long ImageMagickDifference(const TTempDir& dir, const std::string& file, const TRaster& expected) {
  const std::string reference = dir.File("reference.ppm");
  WriteFileBytes(reference, ToPPM(expected));
  const TCommandResult r = RunCommand("compare -metric AE '" + file + "' '" + reference + "' null:");
  try {
    return (r.exitCode == 0 || r.exitCode == 1) ? std::stol(r.output) : -1;
  } catch (...) {
    return -1;
  }
}

inline std::vector<std::uint8_t> SaveAs(TluBitmap& page, int formatCode) {
  TMemoryStream stream;
  page.SaveToStreamAs(stream, formatCode, 90, "", "", "", "");
  return stream.Bytes();
}

// A page-like picture: white paper, lines of dark "words", a colour or gray
// photograph block with noise. Deterministic for a given seed.
inline TluBitmap DocumentPage(int width, int height, bool colour, unsigned seed = 1) {
  TluBitmap page(width, height, TPixelFormat::pf24bit);
  std::mt19937 random(seed);
  page.FillRect(0, 0, width, height, clWhite);
  const int margin = width / 12, lineHeight = std::max(4, height / 60);
  for (int top = margin; top + lineHeight < height * 2 / 3; top += lineHeight * 3 / 2) {
    for (int x = margin; x < width - margin;) {
      const int word = 3 + static_cast<int>(random() % 40) * width / 1000;
      page.FillRect(x, top, std::min(x + word, width - margin), top + lineHeight, RGBColor(20, 20, 30));
      x += word + std::max(2, width / 200);
    }
  }
  std::vector<std::uint8_t> bgr(static_cast<std::size_t>(width) * 3);
  for (int y = height * 2 / 3 + 4; y < height - margin / 2; ++y) {
    std::uint8_t* row = page.ScanLine(y);
    for (int x = margin; x < width - margin; ++x) {
      const int noise = static_cast<int>(random() % 9) - 4;
      const int base = (x * 255 / width + y * 255 / height) / 2;
      row[3 * x] = static_cast<std::uint8_t>(std::clamp(base + noise, 0, 255));
      row[3 * x + 1] = static_cast<std::uint8_t>(std::clamp((colour ? 255 - base : base) + noise, 0, 255));
      row[3 * x + 2] = static_cast<std::uint8_t>(std::clamp((colour ? x * 255 / width : base) + noise, 0, 255));
    }
  }
  page.DetectColorMode();
  return page;
}

}  // namespace pagewell::testing
