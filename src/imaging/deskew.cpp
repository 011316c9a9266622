// Deskew: straightens a page by its detected skew and brings it back to the
// size it had, centred, with the corners the turn uncovered in the fill
// colour.
#include "imaging/crop.h"
#include "imaging/lu_bitmap.h"

namespace pagewell {

void TluBitmap::Deskew(int maxAngle, bool smooth, TColor fill) {
  const double angle = DetectSkewAngle(maxAngle);
  if (angle == 0) {
    // Nothing to turn; cropping back to the same size would change nothing.
    ClearSelection();
    return;
  }
  const int width = Width(), height = Height();
  Rotate(smooth, fill, angle);
  const int left = (Width() - width) / 2, top = (Height() - height) / 2;
  // Not Crop: its refusal of one-pixel rectangles would leave a one pixel
  // wide or high page at its turned size.
  CropPage(*this, left, top, left + width - 1, top + height - 1);
}

}  // namespace pagewell
