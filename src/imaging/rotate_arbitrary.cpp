// Rotation by any angle: nearest neighbour for every format, bilinear
// interpolation for 24 bits.
#include "imaging/rotate_arbitrary.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

#include "imaging/packed_pixels.h"
#include "imaging/rounding.h"

namespace pagewell {
namespace {

constexpr double kPi = 3.14159265358979323846;

// out[x] = round((products[x] + rowPart) + centre) for an even count, two
// at a time so that the compiler keeps a pair in one vector register. For
// dx cos - dy sin + cx, adding -(dy sin) is the same subtraction.
void RoundedSums(const double* products, std::size_t count, double rowPart, double centre, int* out) {
  for (std::size_t x = 0; x < count; x += 2) {
    out[x] = static_cast<int>(RoundedHalfEvenWithinLimit(products[x] + rowPart + centre));
    out[x + 1] = static_cast<int>(RoundedHalfEvenWithinLimit(products[x + 1] + rowPart + centre));
  }
}

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
        dxCos_(static_cast<std::size_t>(g.TargetWidth + 1) / 2 * 2),  // an even count; the last may be spare
        dxSin_(dxCos_.size()) {
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

  // The rounded source points of the whole row; `xs` and `ys` hold
  // PaddedWidth() entries. Rows whose points may lie beyond ± 2^30 (on
  // absurdly large canvases only) go point by point through the clamp of
  // RoundHalfEven.
  std::size_t PaddedWidth() const { return dxCos_.size(); }
  void RoundedRow(int* xs, int* ys) const {
    if (!RowWithinLimit()) {
      for (int x = 0; x < g_.TargetWidth; ++x) xs[x] = RoundHalfEven(X(x)), ys[x] = RoundHalfEven(Y(x));
      return;
    }
    const std::size_t count = dxCos_.size();
    const double minusDySin = -dySin_, dyCos = dyCos_, centreX = sourceCentreX_, centreY = sourceCentreY_;
    RoundedSums(dxCos_.data(), count, minusDySin, centreX, xs);
    RoundedSums(dxSin_.data(), count, dyCos, centreY, ys);
  }

 private:
  // Along a row both coordinates change monotonically (the tables are
  // products of one factor with increasing dx), so its ends, and the spare
  // entry of the padded tables, bound every point of it.
  bool RowWithinLimit() const {
    constexpr double kLimit = 1073741823.0;  // below 2^30, so no point needs the clamp
    auto within = [&](double v) { return v > -kLimit && v < kLimit; };
    const std::size_t last = dxCos_.size() - 1;
    const double ends[] = {dxCos_[0] - dySin_ + sourceCentreX_, dxCos_[last] - dySin_ + sourceCentreX_,
                           dxSin_[0] + dyCos_ + sourceCentreY_, dxSin_[last] + dyCos_ + sourceCentreY_,
                           X(g_.TargetWidth - 1), Y(g_.TargetWidth - 1)};
    return std::all_of(std::begin(ends), std::end(ends), within);
  }

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

// Takes the pixels of one target row left to right. Packed pixels are
// gathered into a byte that is stored whole, the unused bits after the last
// pixel of the row left 0.
template <int Bits>
class TRowWriter {
 public:
  explicit TRowWriter(std::uint8_t* row) : row_(row) {}
  void Put(int x, std::uint32_t value) {
    if constexpr (Bits >= 8) {
      TPackedPixels<Bits>::Set(row_, x, value);
    } else {
      const unsigned bits = Bits == 1 ? (value != 0) : (value & 0x0Fu);
      byte_ = (byte_ << Bits) | bits;
      filled_ += Bits;
      if (filled_ == 8) *next_++ = static_cast<std::uint8_t>(byte_), byte_ = 0, filled_ = 0;
    }
  }
  void Finish() {
    if (filled_ > 0) *next_ = static_cast<std::uint8_t>(byte_ << (8 - filled_));
  }

 private:
  std::uint8_t* row_;
  std::uint8_t* next_ = row_;
  unsigned byte_ = 0;
  int filled_ = 0;  // bits in byte_
};

// The rounded source points of a row are computed in one pass, then the
// pixels are fetched; the target is written whole, pixel after pixel.
template <int Bits>
void RotateNearest(const TRaster& source, TRaster& target, const TRotationGeometry& geometry, std::uint32_t fill) {
  using Pixels = TPackedPixels<Bits>;
  const auto rows = RowPointers(source);
  const unsigned width = static_cast<unsigned>(source.Width()), height = static_cast<unsigned>(source.Height());
  TSourceMapping mapping(geometry);
  std::vector<int> xs(mapping.PaddedWidth()), ys(mapping.PaddedWidth());
  for (int y = 0; y < target.Height(); ++y) {
    mapping.StartRow(y);
    mapping.RoundedRow(xs.data(), ys.data());
    TRowWriter<Bits> out(target.ScanLine(y));
    for (int x = 0; x < target.Width(); ++x) {
      const unsigned sx = static_cast<unsigned>(xs[static_cast<std::size_t>(x)]);
      const unsigned sy = static_cast<unsigned>(ys[static_cast<std::size_t>(x)]);
      out.Put(x, sx < width && sy < height ? Pixels::Get(rows[sy], static_cast<int>(sx)) : fill);
    }
    out.Finish();
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
  if (!IsEditableFormat(source.PixelFormat())) return FilledRasterLike(source, geometry.TargetWidth, geometry.TargetHeight, 0);
  // Every pixel of the target is written below.
  TRaster target = TRaster::WithUnsetPixels(geometry.TargetWidth, geometry.TargetHeight, source.PixelFormat());
  target.SetPaletteKeepingIndices(source.Palette());
  switch (source.PixelFormat()) {
    case TPixelFormat::pf1bit: RotateNearest<1>(source, target, geometry, fillValue); break;
    case TPixelFormat::pf4bit: RotateNearest<4>(source, target, geometry, fillValue); break;
    case TPixelFormat::pf8bit: RotateNearest<8>(source, target, geometry, fillValue); break;
    default: RotateNearest<24>(source, target, geometry, fillValue); break;
  }
  return target;
}

TRaster RotatedBilinear(const TRaster& source, const TRotationGeometry& geometry, TColor fill) {
  TRaster target = FilledRasterLike(source, geometry.TargetWidth, geometry.TargetHeight, 0);
  RotateBilinear(source, target, geometry, fill);
  return target;
}

}  // namespace pagewell
