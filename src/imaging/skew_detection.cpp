// DetectSkewAngle: finds how far the text lines of a page are turned, with a
// Hough transform over horizontal edges.
//
// Every dark-to-light edge between two rows votes, for each candidate angle
// θ (5 per degree within the search range), for the line
// ρ = trunc(y cos θ + x sin θ) through it. The 20 strongest (ρ, θ) cells are
// the page's most prominent lines; the middle eight of their angles, in
// sorted order, give the skew.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "imaging/lu_bitmap.h"

namespace pagewell {
namespace {

constexpr int kStepsPerDegree = 5;
constexpr int kStrongestCells = 20;
// Beyond 45 degrees a "horizontal" line is closer to vertical; the bound
// also keeps the accumulator of a large page within reason.
constexpr int kLargestSearchAngle = 45;
constexpr int kEdgeContrast = 384;  // red + green + blue, lower minus upper row
constexpr double kPi = 3.14159265358979323846;

// Brightness (red + green + blue) of each palette entry.
std::vector<int> PaletteBrightness(const TRaster& raster) {
  std::vector<int> brightness;
  for (TColor c : raster.Palette()) brightness.push_back(RedOf(c) + GreenOf(c) + BlueOf(c));
  return brightness;
}

// Collects the columns where row y + 1 is markedly lighter than row y. At
// 8 and 24 bits, spans of pixels equal in both rows (most of a page) are
// passed over a few words at a time: equal pixels are no edge.
class TEdgeFinder {
  static constexpr int kSpan = 16;

 public:
  explicit TEdgeFinder(const TRaster& raster) : raster_(raster), brightness_(PaletteBrightness(raster)) {}

  void Find(int y, std::vector<int>& edges) const {
    edges.clear();
    const std::uint8_t* upper = raster_.ScanLine(y);
    const std::uint8_t* lower = raster_.ScanLine(y + 1);
    const int width = raster_.Width();
    switch (raster_.PixelFormat()) {
      case TPixelFormat::pf1bit: FindIn1BitRows(upper, lower, width, edges); break;
      case TPixelFormat::pf4bit:
        // Only even columns are tested; either pixel of the byte may pass.
        for (int x = 0; x < width; x += 2) {
          const std::uint8_t a = upper[x >> 1], b = lower[x >> 1];
          if (Lighter(b >> 4, a >> 4) || Lighter(b & 15, a & 15)) edges.push_back(x);
        }
        break;
      case TPixelFormat::pf8bit:
        for (int x = 0; x < width; x += kSpan) {
          const int end = std::min(width, x + kSpan);
          if (end - x == kSpan && std::memcmp(upper + x, lower + x, kSpan) == 0) continue;
          for (int i = x; i < end; ++i) {
            if (Lighter(lower[i], upper[i])) edges.push_back(i);
          }
        }
        break;
      default:
        for (int x = 0; x < width; x += kSpan) {
          const int end = std::min(width, x + kSpan);
          if (end - x == kSpan && std::memcmp(upper + 3 * x, lower + 3 * x, 3 * kSpan) == 0) continue;
          for (int i = x; i < end; ++i) {
            const std::uint8_t *a = upper + 3 * i, *b = lower + 3 * i;
            if ((b[0] + b[1] + b[2]) - (a[0] + a[1] + a[2]) > kEdgeContrast) edges.push_back(i);
          }
        }
        break;
    }
  }

 private:
  // Index 0 is black: an edge is a 0 bit above a 1 bit. The rows are read
  // eight bytes at a time, as most words of a page hold no edge at all; the
  // edges of a word are then taken by their leading bit, leftmost first.
  static void FindIn1BitRows(const std::uint8_t* upper, const std::uint8_t* lower, int width, std::vector<int>& edges) {
    const int bytes = (width + 7) / 8;
    int j = 0;
    for (; j + 8 <= bytes; j += 8) {
      std::uint64_t above, below;
      std::memcpy(&above, upper + j, 8);
      std::memcpy(&below, lower + j, 8);
      if ((~above & below) == 0) continue;
      std::uint64_t bits = __builtin_bswap64(~above & below);  // the leftmost pixel in the top bit
      while (bits != 0) {
        const int lead = __builtin_clzll(bits);
        if (8 * j + lead < width) edges.push_back(8 * j + lead);
        bits &= ~(std::uint64_t{1} << (63 - lead));
      }
    }
    for (; j < bytes; ++j) {
      const unsigned bits = static_cast<unsigned>(~upper[j] & lower[j]) & 0xFFu;
      for (int bit = 0; bits != 0 && bit < 8; ++bit) {
        if ((bits & (0x80u >> bit)) && j * 8 + bit < width) edges.push_back(j * 8 + bit);
      }
    }
  }

  bool Lighter(int lowerIndex, int upperIndex) const {
    return brightness_[static_cast<std::size_t>(lowerIndex)] - brightness_[static_cast<std::size_t>(upperIndex)] >
           kEdgeContrast;
  }

  const TRaster& raster_;
  std::vector<int> brightness_;
};

struct TCell {
  int angleIndex = 0;
  unsigned count = 0;
};

// The edges of a band of consecutive rows: the column of every edge as a
// number, each row's list padded to an even length so that ρ values can be
// computed in pairs.
class TEdgeBand {
 public:
  void Clear() { rows_.clear(), columns_.clear(); }
  void Add(int y, const std::vector<int>& edges) {
    if (edges.empty()) return;
    rows_.push_back(TRow{y, columns_.size(), edges.size()});
    columns_.insert(columns_.end(), edges.begin(), edges.end());
    if (edges.size() % 2) columns_.push_back(0);  // computed, never counted
  }
  bool Empty() const { return rows_.empty(); }

  struct TRow {
    int y;
    std::size_t first, count;
  };
  const std::vector<TRow>& Rows() const { return rows_; }
  const double* Columns(const TRow& row) const { return columns_.data() + row.first; }

 private:
  std::vector<TRow> rows_;
  std::vector<double> columns_;
};

// The accumulator is stored angle by angle, each angle's column of ρ cells
// contiguous. A band of rows votes angle by angle: the band's votes for one
// angle fall into a short stretch of one column, which stays in the first
// level cache while they are counted.
//
// The ρ values of a row for one angle are computed first, in pairs the
// compiler puts into vector registers. The counters are then increased in
// eight interleaved streams from eight parts of the row: neighbouring pixels
// of a line mostly vote for the same cell, and increases of one counter one
// right after the other would each wait for the one before (eight streams
// measured some 5% faster than four).
//
// No vote falls outside the accumulator, so none is tested: |ρ| is at most
// the pixel's distance from the origin (sin² + cos² = 1 up to rounding far
// below a pixel), under the diagonal sqrt(W² + H²) < D + 0.5, and trunc
// takes that below D + 1.
template <typename Counter>
class THoughAccumulator {
 public:
  THoughAccumulator(int distance, const std::vector<double>& sines, const std::vector<double>& cosines)
      : distance_(distance), angles_(static_cast<int>(sines.size())), stride_(2 * static_cast<std::size_t>(distance) + 1),
        sines_(sines), cosines_(cosines), cells_(stride_ * sines.size(), 0) {}

  void Vote(const TEdgeBand& band) {
    for (const auto& row : band.Rows()) rhos_.resize(std::max(rhos_.size(), row.count + 1));
    for (int k = 0; k < angles_; ++k) {
      const double sine = sines_[static_cast<std::size_t>(k)], cosine = cosines_[static_cast<std::size_t>(k)];
      Counter* column = cells_.data() + static_cast<std::size_t>(k) * stride_ + distance_;  // at ρ = 0
      for (const auto& row : band.Rows()) {
        RhosOfRow(band.Columns(row), row.count, row.y * cosine, sine);
        Count(column, row.count);
      }
    }
  }

  // One pass in (ρ, angle) order: a cell stronger than the weakest of the
  // table replaces the first entry holding that minimum. The minimum only
  // grows during the pass, so a band of ρ values none of whose cells
  // exceeds it at the start of the band changes nothing and is passed
  // over; once the page's strong lines are in the table that is nearly
  // every band, and finding a band's strongest cell reads the columns
  // straight down instead of across them.
  std::array<TCell, kStrongestCells> Strongest() const {
    std::array<TCell, kStrongestCells> table{};
    unsigned minimum = 0;
    constexpr std::size_t kBand = 32;  // ρ values whose cells of all angles stay cached together
    for (std::size_t band = 0; band < stride_; band += kBand) {
      const std::size_t bandEnd = std::min(stride_, band + kBand);
      if (StrongestInBand(band, bandEnd) <= minimum) continue;
      for (std::size_t rho = band; rho < bandEnd; ++rho) {
        for (int k = 0; k < angles_; ++k) {
          const unsigned count = cells_[static_cast<std::size_t>(k) * stride_ + rho];
          if (count <= minimum) continue;
          auto weakest = std::find_if(table.begin(), table.end(), [&](const TCell& c) { return c.count == minimum; });
          *weakest = TCell{k, count};
          minimum = std::min_element(table.begin(), table.end(), [](const TCell& a, const TCell& b) {
                      return a.count < b.count;
                    })->count;
        }
      }
    }
    return table;
  }

 private:
  unsigned StrongestInBand(std::size_t first, std::size_t end) const {
    Counter strongest = 0;
    for (int k = 0; k < angles_; ++k) {
      const Counter* column = cells_.data() + static_cast<std::size_t>(k) * stride_;
      for (std::size_t rho = first; rho < end; ++rho) strongest = std::max(strongest, column[rho]);
    }
    return strongest;
  }

  void RhosOfRow(const double* x, std::size_t count, double rowPart, double sine) {
    int* rho = rhos_.data();
    for (std::size_t i = 0; i < count; i += 2) {
      rho[i] = static_cast<int>(rowPart + x[i] * sine);
      rho[i + 1] = static_cast<int>(rowPart + x[i + 1] * sine);
    }
  }

  void Count(Counter* column, std::size_t count) const {
    const int* rho = rhos_.data();
    const std::size_t q = count / 8;
    for (std::size_t i = 0; i < q; ++i) {
      ++column[rho[i]], ++column[rho[i + q]], ++column[rho[i + 2 * q]], ++column[rho[i + 3 * q]];
      ++column[rho[i + 4 * q]], ++column[rho[i + 5 * q]], ++column[rho[i + 6 * q]], ++column[rho[i + 7 * q]];
    }
    for (std::size_t i = 8 * q; i < count; ++i) ++column[rho[i]];
  }

  int distance_;
  int angles_;
  std::size_t stride_;
  const std::vector<double>& sines_;
  const std::vector<double>& cosines_;
  std::vector<int> rhos_;  // of one row
  std::vector<Counter> cells_;
};

template <typename Counter>
double SkewAngle(const TRaster& raster, int maxAngle) {
  const int steps = kStepsPerDegree * maxAngle;
  std::vector<double> sines, cosines;
  for (int k = -steps; k <= steps; ++k) {
    const double theta = k / static_cast<double>(kStepsPerDegree) * kPi / 180.0;
    sines.push_back(std::sin(theta));
    cosines.push_back(std::cos(theta));
  }
  const double w = raster.Width(), h = raster.Height();
  const int distance = static_cast<int>(std::sqrt(w * w + h * h) + 0.5);
  THoughAccumulator<Counter> accumulator(distance, sines, cosines);
  TEdgeFinder finder(raster);
  std::vector<int> edges;
  TEdgeBand band;
  bool anyEdge = false;
  constexpr int kBandRows = 32;
  for (int top = 0; top + 1 < raster.Height(); top += kBandRows) {
    band.Clear();
    for (int y = top; y < top + kBandRows && y + 1 < raster.Height(); ++y) {
      finder.Find(y, edges);
      band.Add(y, edges);
    }
    if (band.Empty()) continue;
    anyEdge = true;
    accumulator.Vote(band);
  }
  // Without a single edge every cell is empty and the table would keep angle
  // index 0, the far end of the range, as if the page were turned by the
  // whole search range. Such a page has no lines to straighten.
  if (!anyEdge) return 0;
  auto table = accumulator.Strongest();
  std::array<int, kStrongestCells> indices{};
  std::transform(table.begin(), table.end(), indices.begin(), [](const TCell& c) { return c.angleIndex; });
  std::sort(indices.begin(), indices.end());
  int sum = 0;
  for (int i = 6; i < 14; ++i) sum += indices[static_cast<std::size_t>(i)];  // the 7th to 14th
  // The mean of those eight angles is sum / 8 / 5 - maxAngle degrees; the
  // page is straightened by turning it the opposite way.
  return maxAngle - sum / 40.0;
}

}  // namespace

double TluBitmap::DetectSkewAngle(int maxAngle) const {
  const TPixelFormat format = PixelFormat();
  const bool handled = format == TPixelFormat::pf1bit || format == TPixelFormat::pf4bit ||
                       format == TPixelFormat::pf8bit || format == TPixelFormat::pf24bit;
  if (!handled || Height() < 2 || maxAngle < 0) return 0;
  maxAngle = std::min(maxAngle, kLargestSearchAngle);
  // A cell counts the edges on one line of one angle: at most two per
  // column (or per row, for steep angles), so 16 bits hold all but the
  // largest pages.
  const int longestSide = std::max(Width(), Height());
  if (2 * static_cast<std::int64_t>(longestSide) + 2 < 65536) return SkewAngle<std::uint16_t>(*this, maxAngle);
  return SkewAngle<std::uint32_t>(*this, maxAngle);
}

}  // namespace pagewell
