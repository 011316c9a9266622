#pragma once
// Connected regions of a mask of cells (8-connected): what a reader would
// call one mark, a stroke or a blot, seen on the reduced page map.
#include <cstdint>
#include <functional>
#include <vector>

namespace pagewell {

struct TCellRegion {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;  // inclusive bounds in cells
  int Cells = 0;

  int Width() const { return Right - Left + 1; }
  int Height() const { return Bottom - Top + 1; }
  // Share of the bounding box that the region fills, 0 to 1.
  double Fill() const { return static_cast<double>(Cells) / (static_cast<double>(Width()) * Height()); }
};

// Hands every region of non-zero cells of the width × height mask to
// `visit`, in the order their first cell comes row by row, until `visit`
// answers false; answers false when it was stopped so.
bool ForEachConnectedRegion(const std::vector<std::uint8_t>& mask, int width, int height,
                            const std::function<bool(const TCellRegion&)>& visit);

}  // namespace pagewell
