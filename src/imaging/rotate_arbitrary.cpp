// Rotation by any angle: nearest neighbour for every format, bilinear
// interpolation for 24 bits.
#include "imaging/rotate_arbitrary.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "imaging/packed_pixels.h"
#include "imaging/rounding.h"

namespace pagewell {
namespace {

constexpr double kPi = 3.14159265358979323846;

// The source point of a target pixel is computed row by row: the column
// products dx cos and dx sin are the same for every row and are kept in
// tables, the row products once per row. The expressions keep the order of
// the defining formula, so every point is bit for bit the formula's.
class TSourceMapping {
 public:
  explicit TSourceMapping(const TRotationGeometry& g)
      : g_(g),
        sourceCentreX_((g.SourceWidth - 1) / 2.0),
        sourceCentreY_((g.SourceHeight - 1) / 2.0),
        targetCentreY_((g.TargetHeight - 1) / 2.0),
        dxCos_(static_cast<std::size_t>(g.TargetWidth)),
        dxSin_(static_cast<std::size_t>(g.TargetWidth)) {
    const double targetCentreX = (g.TargetWidth - 1) / 2.0;
    for (int x = 0; x < g.TargetWidth; ++x) {
      const double dx = x - targetCentreX;
      dxCos_[static_cast<std::size_t>(x)] = dx * g.Cosine;
      dxSin_[static_cast<std::size_t>(x)] = dx * g.Sine;
    }
  }

  void StartRow(int y) {
    const double dy = y - targetCentreY_;
    dySin_ = dy * g_.Sine;
    dyCos_ = dy * g_.Cosine;
  }
  double X(int x) const { return dxCos_[static_cast<std::size_t>(x)] - dySin_ + sourceCentreX_; }
  double Y(int x) const { return dxSin_[static_cast<std::size_t>(x)] + dyCos_ + sourceCentreY_; }

 private:
  const TRotationGeometry& g_;
  double sourceCentreX_, sourceCentreY_, targetCentreY_;
  std::vector<double> dxCos_, dxSin_;
  double dySin_ = 0, dyCos_ = 0;
};

std::vector<const std::uint8_t*> RowPointers(const TRaster& raster) {
  std::vector<const std::uint8_t*> rows(static_cast<std::size_t>(raster.Height()));
  for (int y = 0; y < raster.Height(); ++y) rows[static_cast<std::size_t>(y)] = raster.ScanLine(y);
  return rows;
}

template <typename Pixels>
void RotateNearest(const TRaster& source, TRaster& target, const TRotationGeometry& geometry, std::uint32_t fill) {
  const auto rows = RowPointers(source);
  const unsigned width = static_cast<unsigned>(source.Width()), height = static_cast<unsigned>(source.Height());
  TSourceMapping mapping(geometry);
  for (int y = 0; y < target.Height(); ++y) {
    mapping.StartRow(y);
    std::uint8_t* row = target.ScanLine(y);
    for (int x = 0; x < target.Width(); ++x) {
      const unsigned sx = static_cast<unsigned>(RoundHalfEven(mapping.X(x)));
      const unsigned sy = static_cast<unsigned>(RoundHalfEven(mapping.Y(x)));
      Pixels::Set(row, x, sx < width && sy < height ? Pixels::Get(rows[sy], static_cast<int>(sx)) : fill);
    }
  }
}

// Neighbours of a coordinate v and their weights: floor(v) with 1 - f and
// floor(v) + 1 with f, f = v - floor(v).
struct TNeighbours {
  int first;
  double firstWeight, secondWeight;
  explicit TNeighbours(double v) {
    const double base = std::floor(v);
    first = static_cast<int>(std::max(base, -2.0));  // anything below -1 is outside anyway
    const double f = v - base;
    firstWeight = 1.0 - f;
    secondWeight = f;
  }
};

void RotateBilinear(const TRaster& source, TRaster& target, const TRotationGeometry& geometry, TColor fill) {
  const auto rows = RowPointers(source);
  const int width = source.Width(), height = source.Height();
  const double fillChannel[3] = {static_cast<double>(BlueOf(fill)), static_cast<double>(GreenOf(fill)),
                                 static_cast<double>(RedOf(fill))};
  TSourceMapping mapping(geometry);
  for (int y = 0; y < target.Height(); ++y) {
    mapping.StartRow(y);
    std::uint8_t* out = target.ScanLine(y);
    for (int x = 0; x < target.Width(); ++x, out += 3) {
      const double sx = mapping.X(x), sy = mapping.Y(x);
      if (!(std::fabs(sx) < 1e9 && std::fabs(sy) < 1e9)) {
        out[0] = BlueOf(fill), out[1] = GreenOf(fill), out[2] = RedOf(fill);
        continue;
      }
      const TNeighbours nx(sx), ny(sy);
      double sum[3] = {0, 0, 0};
      for (int j = 0; j < 2; ++j) {
        const int py = ny.first + j;
        const double wy = j == 0 ? ny.firstWeight : ny.secondWeight;
        for (int i = 0; i < 2; ++i) {
          const int px = nx.first + i;
          const double w = wy * (i == 0 ? nx.firstWeight : nx.secondWeight);
          if (px >= 0 && px < width && py >= 0 && py < height) {
            const std::uint8_t* p = rows[static_cast<std::size_t>(py)] + 3 * px;
            for (int c = 0; c < 3; ++c) sum[c] += p[c] * w;
          } else {
            for (int c = 0; c < 3; ++c) sum[c] += RoundHalfEven(fillChannel[c] * w);
          }
        }
      }
      for (int c = 0; c < 3; ++c) out[c] = static_cast<std::uint8_t>(RoundHalfEven(std::min(sum[c], 255.0)));
    }
  }
}

}  // namespace

TRotationGeometry TRotationGeometry::For(int width, int height, double angle) {
  TRotationGeometry g;
  const double a = angle * kPi / 180.0;
  g.Sine = std::sin(a);
  g.Cosine = std::cos(a);
  g.SourceWidth = width;
  g.SourceHeight = height;
  g.TargetWidth = RoundHalfEven(std::fabs(width * g.Cosine) + std::fabs(height * g.Sine));
  g.TargetHeight = RoundHalfEven(std::fabs(width * g.Sine) + std::fabs(height * g.Cosine));
  return g;
}

double TRotationGeometry::SourceX(int x, int y) const {
  const double dx = x - (TargetWidth - 1) / 2.0, dy = y - (TargetHeight - 1) / 2.0;
  return dx * Cosine - dy * Sine + (SourceWidth - 1) / 2.0;
}

double TRotationGeometry::SourceY(int x, int y) const {
  const double dx = x - (TargetWidth - 1) / 2.0, dy = y - (TargetHeight - 1) / 2.0;
  return dx * Sine + dy * Cosine + (SourceHeight - 1) / 2.0;
}

TRaster RotatedNearest(const TRaster& source, const TRotationGeometry& geometry, std::uint32_t fillValue) {
  TRaster target = FilledRasterLike(source, geometry.TargetWidth, geometry.TargetHeight, 0);
  VisitPackedPixels(source.PixelFormat(), [&](auto pixels) {
    RotateNearest<decltype(pixels)>(source, target, geometry, fillValue);
  });
  return target;
}

TRaster RotatedBilinear(const TRaster& source, const TRotationGeometry& geometry, TColor fill) {
  TRaster target = FilledRasterLike(source, geometry.TargetWidth, geometry.TargetHeight, 0);
  RotateBilinear(source, target, geometry, fill);
  return target;
}

}  // namespace pagewell
