#include "viewer/gray_reduction.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace pagewell {

namespace {

// The target index that source index i (of `count`) falls on, of `targetCount`.
int TargetIndex(int i, int count, int targetCount) {
  return static_cast<int>(static_cast<long long>(i) * targetCount / count);
}

// The source index under the middle of target index t, for target pixels
// that no source pixel falls on (an enlarged part).
int SourceIndex(int t, int count, int targetCount) {
  return std::min(count - 1, static_cast<int>((2LL * t + 1) * count / (2LL * targetCount)));
}

}  // namespace

void ReduceToGray(const TRaster& source, int left, int top, int width, int height, TRaster& target) {
  if (source.Empty() || target.Empty() || target.PixelFormat() != TPixelFormat::pf8bit) return;
  left = std::clamp(left, 0, source.Width() - 1);
  top = std::clamp(top, 0, source.Height() - 1);
  width = std::clamp(width, 1, source.Width() - left);
  height = std::clamp(height, 1, source.Height() - top);
  const int targetWidth = target.Width(), targetHeight = target.Height();
  std::vector<std::uint8_t> bgr(static_cast<std::size_t>(width) * 3);
  std::vector<std::uint64_t> sums(static_cast<std::size_t>(targetWidth));
  std::vector<std::uint32_t> counts(static_cast<std::size_t>(targetWidth));
  // Brightness of a decoded source row, 0 .. 765 per pixel.
  std::vector<std::uint32_t> row(static_cast<std::size_t>(width));
  auto decode = [&](int y) {
    source.DecodeSpanBGR(y, left, width, bgr.data());
    for (int x = 0; x < width; ++x) row[x] = bgr[3 * x] + bgr[3 * x + 1] + bgr[3 * x + 2];
  };
  int sourceRow = 0;
  for (int ty = 0; ty < targetHeight; ++ty) {
    std::fill(sums.begin(), sums.end(), 0);
    std::fill(counts.begin(), counts.end(), 0);
    for (; sourceRow < height && TargetIndex(sourceRow, height, targetHeight) == ty; ++sourceRow) {
      decode(top + sourceRow);
      for (int x = 0; x < width; ++x) {
        const int tx = TargetIndex(x, width, targetWidth);
        sums[tx] += row[x];
        ++counts[tx];
      }
    }
    const bool rowCovered = std::any_of(counts.begin(), counts.end(), [](std::uint32_t c) { return c != 0; });
    if (!rowCovered) decode(top + SourceIndex(ty, height, targetHeight));
    std::uint8_t* out = target.ScanLine(ty);
    for (int tx = 0; tx < targetWidth; ++tx) {
      if (counts[tx] != 0) {
        out[tx] = static_cast<std::uint8_t>((sums[tx] + counts[tx] * 3 / 2) / (counts[tx] * 3));
      } else {
        // No source pixel fell here (a part enlarged): the pixel under the
        // middle, from the row just read.
        out[tx] = static_cast<std::uint8_t>(row[SourceIndex(tx, width, targetWidth)] / 3);
      }
    }
  }
}

}  // namespace pagewell
