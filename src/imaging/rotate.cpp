// Rotate: turns the page counter-clockwise by any angle. Quarter and half
// turns move pixels exactly; other angles grow the canvas to hold the whole
// picture and fill the uncovered corners.
#include <cmath>
#include <utility>

#include "imaging/alpha_plane.h"
#include "imaging/lu_bitmap.h"
#include "imaging/packed_pixels.h"
#include "imaging/rotate_arbitrary.h"
#include "imaging/rotate_orthogonal.h"

namespace pagewell {
namespace {

// Into [0, 360]: whole turns are dropped, and a negative angle is counted
// from the turn above it (-90 is 270; -360 is 360, which changes nothing).
double NormalisedAngle(double angle) {
  if (angle >= 360) return std::fmod(angle, 360.0);
  if (angle < 0) return std::fmod(angle, 360.0) + 360.0;
  return angle;
}

}  // namespace

void TluBitmap::Rotate(bool smooth, TColor fill, double angle) {
  if (!std::isfinite(angle)) return;
  const double turn = NormalisedAngle(angle);
  if (turn == 0 || turn == 360) return;
  if (Empty() || !IsEditableFormat(PixelFormat())) {
    ClearSelection();
    return;
  }
  const bool withAlpha = HasPageSizedAlphaPlane(*this);
  TRaster& plane = Alpha.AlphaPlane;
  if (turn == 180) {
    RotateHalfTurn(*this);
    if (withAlpha) RotateHalfTurn(plane);
  } else if (turn == 90 || turn == 270) {
    const auto quarter = turn == 90 ? RotatedCounterClockwise : RotatedClockwise;
    static_cast<TRaster&>(*this) = quarter(*this);
    std::swap(XPelsPerMeter, YPelsPerMeter);
    if (withAlpha) plane = quarter(plane);
    BackgroundColor = fill;
  } else {
    const TRotationGeometry geometry = TRotationGeometry::For(Width(), Height(), turn);
    const bool bilinear = smooth && PixelFormat() == TPixelFormat::pf24bit;
    static_cast<TRaster&>(*this) =
        bilinear ? RotatedBilinear(*this, geometry, fill) : RotatedNearest(*this, geometry, PixelValueOf(*this, fill));
    if (withAlpha) plane = RotatedNearest(plane, geometry, AlphaFillValue);
    BackgroundColor = fill;
  }
  ClearSelection();
}

}  // namespace pagewell
