#pragma once
// Rotation by any angle onto a canvas that grows to hold the whole turned
// picture. Every target pixel is mapped back to a point of the source
// around the centres of both canvases.
#include <cstdint>

#include "imaging/color.h"
#include "imaging/raster.h"

namespace pagewell {

struct TRotationGeometry {
  double Sine = 0, Cosine = 1;
  int SourceWidth = 0, SourceHeight = 0;
  int TargetWidth = 0, TargetHeight = 0;

  // angle in degrees, counter-clockwise. The target size is
  // round(|W cos| + |H sin|) × round(|W sin| + |H cos|).
  static TRotationGeometry For(int width, int height, double angle);

  // The source point that target pixel (x, y) shows:
  // sx = dx cos - dy sin + cx, sy = dx sin + dy cos + cy with d measured from
  // the target centre and c the source centre ((size - 1) / 2 each).
  double SourceX(int x, int y) const;
  double SourceY(int x, int y) const;
};

// Nearest neighbour for 1, 4, 8 and 24 bits: each target pixel takes the
// source pixel at the rounded point, or `fillValue` (a palette index, or
// blue + green × 256 + red × 65536 for 24 bits) when that lies outside.
TRaster RotatedNearest(const TRaster& source, const TRotationGeometry& geometry, std::uint32_t fillValue);

// Bilinear interpolation for 24 bits: the four pixels around the point,
// weighted by their nearness; neighbours outside the source count as
// `fill`.
TRaster RotatedBilinear(const TRaster& source, const TRotationGeometry& geometry, TColor fill);

}  // namespace pagewell
