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

// Collects the columns where row y + 1 is markedly lighter than row y.
class TEdgeFinder {
 public:
  explicit TEdgeFinder(const TRaster& raster) : raster_(raster), brightness_(PaletteBrightness(raster)) {}

  void Find(int y, std::vector<int>& edges) const {
    edges.clear();
    const std::uint8_t* upper = raster_.ScanLine(y);
    const std::uint8_t* lower = raster_.ScanLine(y + 1);
    const int width = raster_.Width();
    switch (raster_.PixelFormat()) {
      case TPixelFormat::pf1bit:
        // Index 0 is black: a 0 bit above a 1 bit.
        for (int j = 0; j < static_cast<int>(raster_.RowBytes()); ++j) {
          const unsigned bits = static_cast<unsigned>(~upper[j] & lower[j]) & 0xFFu;
          if (bits == 0) continue;
          for (int bit = 0; bit < 8; ++bit) {
            if ((bits & (0x80u >> bit)) && j * 8 + bit < width) edges.push_back(j * 8 + bit);
          }
        }
        break;
      case TPixelFormat::pf4bit:
        // Only even columns are tested; either pixel of the byte may pass.
        for (int x = 0; x < width; x += 2) {
          const std::uint8_t a = upper[x >> 1], b = lower[x >> 1];
          if (Lighter(b >> 4, a >> 4) || Lighter(b & 15, a & 15)) edges.push_back(x);
        }
        break;
      case TPixelFormat::pf8bit:
        for (int x = 0; x < width; ++x) {
          if (Lighter(lower[x], upper[x])) edges.push_back(x);
        }
        break;
      default:
        for (int x = 0; x < width; ++x, upper += 3, lower += 3) {
          const int rise = (lower[0] + lower[1] + lower[2]) - (upper[0] + upper[1] + upper[2]);
          if (rise > kEdgeContrast) edges.push_back(x);
        }
        break;
    }
  }

 private:
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

// The accumulator is stored angle by angle, so that the votes of one row of
// edges for one angle land close together; the search for the strongest
// cells still visits them ρ by ρ, then angle by angle.
template <typename Counter>
class THoughAccumulator {
 public:
  THoughAccumulator(int distance, int angles)
      : distance_(distance), angles_(angles), stride_(2 * static_cast<std::size_t>(distance) + 1),
        cells_(stride_ * static_cast<std::size_t>(angles), 0) {}

  void Vote(int y, const std::vector<int>& edges, const std::vector<double>& sines,
            const std::vector<double>& cosines) {
    for (int k = 0; k < angles_; ++k) {
      Counter* column = cells_.data() + static_cast<std::size_t>(k) * stride_ + distance_;
      const double rowPart = y * cosines[static_cast<std::size_t>(k)];
      const double sine = sines[static_cast<std::size_t>(k)];
      for (int x : edges) {
        const int rho = static_cast<int>(rowPart + x * sine);
        if (rho >= -distance_ && rho <= distance_) ++column[rho];
      }
    }
  }

  // One pass in (ρ, angle) order: a cell stronger than the weakest of the
  // table replaces the first entry holding that minimum.
  std::array<TCell, kStrongestCells> Strongest() const {
    std::array<TCell, kStrongestCells> table{};
    unsigned minimum = 0;
    constexpr std::size_t kBand = 32;  // ρ values whose cells of all angles stay cached together
    for (std::size_t band = 0; band < stride_; band += kBand) {
      const std::size_t bandEnd = std::min(stride_, band + kBand);
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
  int distance_;
  int angles_;
  std::size_t stride_;
  std::vector<Counter> cells_;
};

template <typename Counter>
double SkewAngle(const TRaster& raster, int maxAngle) {
  const int steps = kStepsPerDegree * maxAngle;
  const int angles = 2 * steps + 1;
  std::vector<double> sines, cosines;
  for (int k = -steps; k <= steps; ++k) {
    const double theta = k / static_cast<double>(kStepsPerDegree) * kPi / 180.0;
    sines.push_back(std::sin(theta));
    cosines.push_back(std::cos(theta));
  }
  const double w = raster.Width(), h = raster.Height();
  const int distance = static_cast<int>(std::sqrt(w * w + h * h) + 0.5);
  THoughAccumulator<Counter> accumulator(distance, angles);
  TEdgeFinder finder(raster);
  std::vector<int> edges;
  bool anyEdge = false;
  for (int y = 0; y + 1 < raster.Height(); ++y) {
    finder.Find(y, edges);
    if (edges.empty()) continue;
    anyEdge = true;
    accumulator.Vote(y, edges, sines, cosines);
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
