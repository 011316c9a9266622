#include "imaging/cell_regions.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace pagewell {
namespace {

// Grows one region from its first cell with an explicit stack, clearing
// each cell of `pending` as it joins.
TCellRegion GrowRegion(std::vector<std::uint8_t>& pending, int width, int height, int startX, int startY,
                       std::vector<std::pair<int, int>>& stack) {
  TCellRegion region{startX, startY, startX, startY, 0};
  const auto at = [width](int x, int y) { return static_cast<std::size_t>(y) * width + x; };
  pending[at(startX, startY)] = 0;
  stack.assign(1, {startX, startY});
  while (!stack.empty()) {
    const auto [x, y] = stack.back();
    stack.pop_back();
    ++region.Cells;
    region.Left = std::min(region.Left, x), region.Right = std::max(region.Right, x);
    region.Top = std::min(region.Top, y), region.Bottom = std::max(region.Bottom, y);
    for (int ny = std::max(0, y - 1); ny <= std::min(height - 1, y + 1); ++ny) {
      for (int nx = std::max(0, x - 1); nx <= std::min(width - 1, x + 1); ++nx) {
        if (!pending[at(nx, ny)]) continue;
        pending[at(nx, ny)] = 0;
        stack.emplace_back(nx, ny);
      }
    }
  }
  return region;
}

}  // namespace

bool ForEachConnectedRegion(const std::vector<std::uint8_t>& mask, int width, int height,
                            const std::function<bool(const TCellRegion&)>& visit) {
  if (width <= 0 || height <= 0 || mask.size() < static_cast<std::size_t>(width) * height) return true;
  std::vector<std::uint8_t> pending = mask;
  std::vector<std::pair<int, int>> stack;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = &pending[static_cast<std::size_t>(y) * width];
    for (int x = 0; x < width; ++x) {
      if (row[x] && !visit(GrowRegion(pending, width, height, x, y, stack))) return false;
    }
  }
  return true;
}

}  // namespace pagewell
