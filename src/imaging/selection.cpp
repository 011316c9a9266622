// The page's selection: a rectangle, clipped to the page, with a mask of one
// byte per pixel (1 inside). A shaped selection (kind 2) brings its own mask;
// CropToSelection then blanks what lies outside the shape.
#include <algorithm>
#include <cstring>

#include "imaging/lu_bitmap.h"
#include "imaging/packed_pixels.h"

namespace pagewell {

void TluBitmap::SetSelection(int left, int top, int right, int bottom) {
  if (right < left || bottom < top) return;
  ClearSelection();
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, Width() - 1);
  bottom = std::min(bottom, Height() - 1);
  const std::size_t width = static_cast<std::size_t>(Width());
  SelectionMask.assign(width * static_cast<std::size_t>(Height()), 0);
  for (int y = top; y <= bottom; ++y) {
    std::memset(SelectionMask.data() + static_cast<std::size_t>(y) * width + static_cast<std::size_t>(left), 1,
                static_cast<std::size_t>(right - left + 1));
  }
  SelectionKind = 1;
  SelectionLeft = left;
  SelectionTop = top;
  SelectionRight = right;
  SelectionBottom = bottom;
}

void TluBitmap::ClearSelection() {
  SelectionMask.clear();
  SelectionMask.shrink_to_fit();
  SelectionKind = 0;
}

// The rectangle of the last selection is used even when the selection has
// been cleared since; a page that never had one holds all zeros, which Crop
// refuses.
void TluBitmap::CropToSelection() {
  const std::size_t width = static_cast<std::size_t>(Width());
  const bool maskFits = SelectionMask.size() == width * static_cast<std::size_t>(Height());
  if (SelectionKind == 2 && maskFits && !Empty()) {
    const int left = std::max(SelectionLeft, 0), right = std::min(SelectionRight, Width() - 1);
    const int top = std::max(SelectionTop, 0), bottom = std::min(SelectionBottom, Height() - 1);
    const std::uint32_t background = PixelValueOf(*this, BackgroundColor);
    VisitPackedPixels(PixelFormat(), [&](auto pixels) {
      for (int y = top; y <= bottom; ++y) {
        const std::uint8_t* inside = SelectionMask.data() + static_cast<std::size_t>(y) * width;
        std::uint8_t* row = ScanLine(y);
        for (int x = left; x <= right; ++x) {
          if (!inside[x]) pixels.Set(row, x, background);
        }
      }
    });
  }
  Crop(SelectionLeft, SelectionTop, SelectionRight, SelectionBottom);
  ClearSelection();
}

}  // namespace pagewell
