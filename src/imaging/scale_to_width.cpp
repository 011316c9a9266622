#include "imaging/scale_to_width.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace pagewell {
namespace {

// Where source row or column `i` of `from` lands among `to` (to <= from).
int landing(int i, int from, int to) { return static_cast<int>(static_cast<int64_t>(i) * to / from); }

}  // namespace

TluBitmap ScaledToWidth(const TRaster& page, int width) {
  if (page.Empty() || width <= 0) return TluBitmap();
  width = std::min(width, page.Width());
  const int height = std::max(1, landing(page.Height(), page.Width(), width));
  TluBitmap scaled(width, height, TPixelFormat::pf24bit);
  std::vector<int> columnOf(static_cast<size_t>(page.Width()));
  for (int x = 0; x < page.Width(); ++x) columnOf[static_cast<size_t>(x)] = landing(x, page.Width(), width);
  // Red, green, blue and count for each column of the output row being made.
  std::vector<uint64_t> sums(static_cast<size_t>(width) * 4);
  int y = 0;
  for (int from = 0; from < page.Height(); ++from) {
    for (int x = 0; x < page.Width(); ++x) {
      TColor color = page.PixelColor(x, from);
      uint64_t* sum = &sums[static_cast<size_t>(columnOf[static_cast<size_t>(x)]) * 4];
      sum[0] += RedOf(color), sum[1] += GreenOf(color), sum[2] += BlueOf(color), sum[3] += 1;
    }
    // The row is complete when the next source row lands on another one.
    bool lastOfRow = from + 1 == page.Height() || std::min(landing(from + 1, page.Height(), height), height - 1) != y;
    if (!lastOfRow) continue;
    uint8_t* row = scaled.ScanLine(y);
    for (int x = 0; x < width; ++x) {
      const uint64_t* sum = &sums[static_cast<size_t>(x) * 4];
      uint64_t count = std::max<uint64_t>(sum[3], 1);
      row[3 * x + 0] = static_cast<uint8_t>(sum[2] / count);  // blue, green, red
      row[3 * x + 1] = static_cast<uint8_t>(sum[1] / count);
      row[3 * x + 2] = static_cast<uint8_t>(sum[0] / count);
    }
    std::fill(sums.begin(), sums.end(), 0);
    ++y;
  }
  return scaled;
}

}  // namespace pagewell
