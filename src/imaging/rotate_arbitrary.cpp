// Rotation by any angle: nearest neighbour for every format, bilinear
// interpolation for 24 bits.
#include "imaging/rotate_arbitrary.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <vector>

#include "imaging/cpu_features.h"
#include "imaging/packed_pixels.h"
#include "imaging/rounding.h"

#if PAGEWELL_AVX2_LOOPS
#include <immintrin.h>
#endif

namespace pagewell {
namespace {

constexpr double kPi = 3.14159265358979323846;

// out[x] = round((products[x] + rowPart) + centre) for an even count, two
// at a time so that the compiler keeps a pair in one vector register. For
// dx cos - dy sin + cx, adding -(dy sin) is the same subtraction.
void RoundedSumsSse2(const double* products, std::size_t count, double rowPart, double centre, int* out) {
  for (std::size_t x = 0; x < count; x += 2) {
    out[x] = static_cast<int>(RoundedHalfEvenWithinLimit(products[x] + rowPart + centre));
    out[x + 1] = static_cast<int>(RoundedHalfEvenWithinLimit(products[x + 1] + rowPart + centre));
  }
}

#if PAGEWELL_AVX2_LOOPS
// Four at a time, with the same operations in the same order (and no fused
// multiply-add), so the same points.
PAGEWELL_TARGET_AVX2 std::size_t RoundedSumsAvx2(const double* products, std::size_t count, double rowPart,
                                                 double centre, int* out) {
  const __m256d row = _mm256_set1_pd(rowPart), middle = _mm256_set1_pd(centre);
  const __m256d shift = _mm256_set1_pd(6755399441055744.0);  // as in RoundedHalfEvenWithinLimit
  std::size_t x = 0;
  for (; x + 4 <= count; x += 4) {
    const __m256d point = _mm256_add_pd(_mm256_add_pd(_mm256_loadu_pd(products + x), row), middle);
    const __m256d rounded = _mm256_sub_pd(_mm256_add_pd(point, shift), shift);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm256_cvttpd_epi32(rounded));
  }
  return x;
}

// GCC 12's conversion intrinsic fills an unused operand with a
// self-initialised variable, which its own uninitialised-use check reports.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
PAGEWELL_TARGET_AVX512 std::size_t RoundedSumsAvx512(const double* products, std::size_t count, double rowPart,
                                                     double centre, int* out) {
  const __m512d row = _mm512_set1_pd(rowPart), middle = _mm512_set1_pd(centre);
  const __m512d shift = _mm512_set1_pd(6755399441055744.0);
  std::size_t x = 0;
  for (; x + 8 <= count; x += 8) {
    const __m512d point = _mm512_add_pd(_mm512_add_pd(_mm512_loadu_pd(products + x), row), middle);
    const __m512d rounded = _mm512_sub_pd(_mm512_add_pd(point, shift), shift);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), _mm512_cvttpd_epi32(rounded));
  }
  return x;
}
#pragma GCC diagnostic pop
#endif

void RoundedSums(const double* products, std::size_t count, double rowPart, double centre, int* out) {
  std::size_t done = 0;
#if PAGEWELL_AVX2_LOOPS
  if (ProcessorHasAvx512()) {
    done = RoundedSumsAvx512(products, count, rowPart, centre, out);
  } else if (ProcessorHasAvx2()) {
    done = RoundedSumsAvx2(products, count, rowPart, centre, out);
  }
#endif
  RoundedSumsSse2(products + done, count - done, rowPart, centre, out + done);
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

// Takes the pixels of one target row left to right. 4-bit pixels are
// gathered into a byte that is stored whole, the unused bits after the last
// pixel of the row left 0.
template <int Bits>
class TRowWriter {
  static_assert(Bits == 4 || Bits == 8 || Bits == 24, "1-bit rows are written by runs");

 public:
  explicit TRowWriter(std::uint8_t* row) : row_(row) {}
  void Put(int x, std::uint32_t value) {
    if constexpr (Bits >= 8) {
      TPackedPixels<Bits>::Set(row_, x, value);
    } else {
      const unsigned bits = value & 0x0Fu;
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

// 1 bit: along a row turned by a small angle, neighbouring target pixels
// mostly come from neighbouring pixels of one source row. Such runs are
// moved as bit fields of up to 32 pixels instead of pixel by pixel.
constexpr int kLongestRun = 32;

// Packs runs of pixels into a row, first pixel in the top bit, and stores
// them four bytes at a time.
class TBitRowWriter {
 public:
  explicit TBitRowWriter(std::uint8_t* row) : next_(row) {}
  // The low `count` bits of `bits` (1 to kLongestRun of them, nothing above).
  void Append(std::uint64_t bits, int count) {
    pending_ |= bits << (64 - filled_ - count);
    filled_ += count;
    if (filled_ >= 32) {
      const std::uint32_t word = __builtin_bswap32(static_cast<std::uint32_t>(pending_ >> 32));
      std::memcpy(next_, &word, 4);
      next_ += 4;
      pending_ <<= 32;
      filled_ -= 32;
    }
  }
  // The last bytes, the unused bits after the last pixel 0.
  void Finish() {
    for (; filled_ > 0; filled_ -= 8, pending_ <<= 8) *next_++ = static_cast<std::uint8_t>(pending_ >> 56);
  }

 private:
  std::uint8_t* next_;
  std::uint64_t pending_ = 0;  // filled_ bits from the top, the rest 0
  int filled_ = 0;             // always below 32 between calls
};

// `count` pixels (1 to kLongestRun) of a 1-bit row from pixel `first` on, in
// the low bits. They lie within the row's `stride` bytes.
inline std::uint64_t TakeBits(const std::uint8_t* row, std::size_t stride, unsigned first, int count) {
  const std::size_t byte = first / 8;
  std::uint64_t word = 0;
  if (byte + 8 <= stride) {
    std::memcpy(&word, row + byte, 8);
    word = __builtin_bswap64(word);
  } else {
    for (std::size_t i = 0; byte + i < stride; ++i) word |= static_cast<std::uint64_t>(row[byte + i]) << (56 - 8 * i);
  }
  return (word << (first % 8)) >> (64 - count);
}

// The rounded source points of a target row, and where runs along it end.
// The tables have kLongestRun spare entries after the row (set to 0), so
// that 32 entries can be read from any pixel of it.
class TRowPoints {
 public:
  TRowPoints(const TSourceMapping& mapping, unsigned width, unsigned height)
      : xs_(mapping.PaddedWidth() + kLongestRun), ys_(xs_.size()), width_(width), height_(height) {}
  void Compute(const TSourceMapping& mapping) { mapping.RoundedRow(xs_.data(), ys_.data()); }

  int X(int x) const { return xs_[static_cast<std::size_t>(x)]; }
  int Y(int x) const { return ys_[static_cast<std::size_t>(x)]; }
  bool Inside(int x) const { return static_cast<unsigned>(X(x)) < width_ && static_cast<unsigned>(Y(x)) < height_; }

  // The end of the run from x on, at most `limit` pixels long: the pixels
  // that take their source row's next pixels, or that are outside the
  // source like the first.
  int RunEnd(int x, int limit) const {
#if PAGEWELL_AVX2_LOOPS
    if (ProcessorHasAvx2()) return x + std::min(limit, RunLengthAvx2(x));
#endif
    const int end = x + limit;
    int next = x + 1;
    if (Inside(x)) {
      while (next < end && Y(next) == Y(x) && X(next) == X(x) + (next - x)) ++next;
    } else {
      while (next < end && !Inside(next)) ++next;
    }
    return next;
  }

 private:
#if PAGEWELL_AVX2_LOOPS
  // Eight pixels at a time: a mask of those that continue the run, and the
  // first that does not.
  PAGEWELL_TARGET_AVX2 int RunLengthAvx2(int x) const {
    const int* xs = xs_.data() + x;
    const int* ys = ys_.data() + x;
    std::uint32_t continuing = 0;
    if (Inside(x)) {
      const __m256i row = _mm256_set1_epi32(ys[0]);
      __m256i column = _mm256_add_epi32(_mm256_set1_epi32(xs[0]), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
      for (int i = 0; i < kLongestRun; i += 8, column = _mm256_add_epi32(column, _mm256_set1_epi32(8))) {
        const __m256i same = _mm256_and_si256(_mm256_cmpeq_epi32(Load8(ys + i), row), _mm256_cmpeq_epi32(Load8(xs + i), column));
        continuing |= static_cast<std::uint32_t>(_mm256_movemask_ps(_mm256_castsi256_ps(same))) << i;
      }
    } else {
      // Unsigned v < limit as min(v, limit - 1) == v.
      const __m256i lastColumn = _mm256_set1_epi32(static_cast<int>(width_ - 1));
      const __m256i lastRow = _mm256_set1_epi32(static_cast<int>(height_ - 1));
      for (int i = 0; i < kLongestRun; i += 8) {
        const __m256i xsHere = Load8(xs + i), ysHere = Load8(ys + i);
        const __m256i inside = _mm256_and_si256(_mm256_cmpeq_epi32(_mm256_min_epu32(xsHere, lastColumn), xsHere),
                                                _mm256_cmpeq_epi32(_mm256_min_epu32(ysHere, lastRow), ysHere));
        continuing |= static_cast<std::uint32_t>(~_mm256_movemask_ps(_mm256_castsi256_ps(inside)) & 0xFF) << i;
      }
    }
    return ~continuing == 0 ? kLongestRun : __builtin_ctz(~continuing);
  }
  PAGEWELL_TARGET_AVX2 static __m256i Load8(const int* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
#endif

  std::vector<int> xs_, ys_;
  unsigned width_, height_;
};

void RotateNearestBitRuns(const TRaster& source, TRaster& target, const TRotationGeometry& geometry, std::uint32_t fill) {
  const auto rows = RowPointers(source);
  TSourceMapping mapping(geometry);
  const unsigned width = static_cast<unsigned>(source.Width()), height = static_cast<unsigned>(source.Height());
  const std::size_t stride = source.RowStride();
  const std::uint64_t fillBits = fill != 0 ? ~0ull : 0;
  const int targetWidth = target.Width();
  TRowPoints points(mapping, width, height);
  for (int y = 0; y < target.Height(); ++y) {
    mapping.StartRow(y);
    points.Compute(mapping);
    TBitRowWriter out(target.ScanLine(y));
    for (int x = 0; x < targetWidth;) {
      if (points.Inside(x)) {
        // A run inside the source stops at the source row's end at the latest.
        const int sx = points.X(x);
        const int limit = std::min({kLongestRun, targetWidth - x, static_cast<int>(width) - sx});
        const int count = points.RunEnd(x, limit) - x;
        out.Append(TakeBits(rows[static_cast<std::size_t>(points.Y(x))], stride, static_cast<unsigned>(sx), count), count);
        x += count;
      } else {
        const int count = points.RunEnd(x, std::min(kLongestRun, targetWidth - x)) - x;
        out.Append(fillBits >> (64 - count), count);
        x += count;
      }
    }
    out.Finish();
  }
}

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
    case TPixelFormat::pf1bit: RotateNearestBitRuns(source, target, geometry, fillValue); break;
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
