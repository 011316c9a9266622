// The reduction to a palette (octree table, nearest-colour drawing and the
// exact-colour correction) recorded as hashes of palette and pixels. The
// reduction is tuned for speed now and then; these pages pin down that its
// output stays the same to the byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>

#include "imaging/lu_bitmap.h"
#include "imaging/page_fixtures.h"

namespace pagewell {
namespace {

// FNV-1a over the palette and every row's pixel bytes.
std::uint64_t OutputHash(const TRaster& image) {
  std::uint64_t hash = 14695981039346656037ull;
  auto add = [&](std::uint8_t byte) { hash = (hash ^ byte) * 1099511628211ull; };
  for (TColor c : image.Palette()) add(RedOf(c)), add(GreenOf(c)), add(BlueOf(c));
  for (int y = 0; y < image.Height(); ++y) {
    const std::uint8_t* row = image.ScanLine(y);
    for (std::size_t i = 0; i < image.RowBytes(); ++i) add(row[i]);
  }
  return hash;
}

// A scanned page in small: paper with noise, dark strokes, and a photograph
// of smooth colours in the middle, more colours than any palette holds.
std::uint32_t ScannedPageValue(int x, int y) {
  const std::uint32_t noise = (static_cast<std::uint32_t>(x) * 2654435761u ^ static_cast<std::uint32_t>(y) * 40503u) >> 29;
  const int jitter = static_cast<int>(noise);
  int r = 245 + jitter, g = 243 + jitter, b = 240 + jitter;
  if ((y / 8) % 2 == 0 && ((x * 7 + y * 3) % 23) < 5) r = g = b = 20 + jitter * 3;
  if (x > 60 && x < 230 && y > 40 && y < 170) r = (x * 255 / 300 + jitter) & 255, g = y * 255 / 200, b = ((x + y) * 7) & 255;
  return static_cast<std::uint32_t>(std::min(r, 255) << 16 | std::min(g, 255) << 8 | std::min(b, 255));
}

// The photograph across the top: the page's few frequent colours turn up
// only after thousands of colours seen once or twice.
std::uint32_t PhotographFirstValue(int x, int y) {
  if (y >= 50) return ScannedPageValue(x, y);
  return static_cast<std::uint32_t>((x * 255 / 300) << 16 | (y * 5) << 8 | (((x + y) * 7) & 255));
}

// Five colours, pure black and pure white among them, on an odd width.
std::uint32_t FiveColoursValue(int x, int y) {
  static const std::uint32_t colours[] = {0x000000u, 0xFFFFFFu, 0x808080u, 0xFF0000u, 0x0000FEu};
  return colours[(x * 3 + y) % 5];
}

struct ReductionCase {
  std::string name;
  std::function<TluBitmap()> page;
  TColorMode mode;
  std::uint64_t expected;
};

TEST(PaletteReduction, OutputStaysByteForByte) {
  using test::MakePage;
  const std::vector<ReductionCase> cases = {
      {"scanned page to 256", [] { return MakePage(TPixelFormat::pf24bit, 300, 200, ScannedPageValue); }, cmPalette256,
       0xa9274e293d5e2411ull},
      {"scanned page to 16", [] { return MakePage(TPixelFormat::pf24bit, 300, 200, ScannedPageValue); }, cmPalette16, 0xcb417ed177d50eb1ull},
      {"random colours to 256", [] { return test::RandomPage(TPixelFormat::pf24bit, 97, 61, 7); }, cmPalette256, 0x6b120cd52a825e74ull},
      {"random colours to 16", [] { return test::RandomPage(TPixelFormat::pf24bit, 97, 61, 8); }, cmPalette16, 0x8dd476cfd0b0aeebull},
      {"gradient to 256",
       [] { return MakePage(TPixelFormat::pf24bit, 256, 64, [](int x, int y) { return x << 16 | (y * 4) << 8 | (x ^ y); }); },
       cmPalette256, 0x2f9b859da8fc3c8full},
      {"few colours with black to 256",
       [] { return MakePage(TPixelFormat::pf24bit, 40, 30, [](int x, int y) { return ((x / 5 + y / 7) % 4) * 0x3F0000u; }); },
       cmPalette256, 0x15aadc736a02a45ull},
      {"photograph first to 256", [] { return MakePage(TPixelFormat::pf24bit, 300, 200, PhotographFirstValue); }, cmPalette256,
       0x75dc012c8932bb86ull},
      {"five colours on an odd width to 256", [] { return MakePage(TPixelFormat::pf24bit, 37, 23, FiveColoursValue); }, cmPalette256,
       0x35c175ca96c72d27ull},
      {"8-bit palette page to 16", [] { return test::RandomPage(TPixelFormat::pf8bit, 64, 48, 9); }, cmPalette16, 0xb69a0db085ef46cdull},
  };
  for (const ReductionCase& c : cases) {
    TluBitmap page = c.page();
    page.SetColorMode(c.mode);
    EXPECT_EQ(OutputHash(page), c.expected) << c.name << ": 0x" << std::hex << OutputHash(page);
  }
}

}  // namespace
}  // namespace pagewell
