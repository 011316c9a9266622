// DetectSkewAngle: finds how far the text lines of a page are turned, with a
// Hough transform over horizontal edges.
//
// Every dark-to-light edge between two rows votes, for each candidate angle
// θ (5 per degree within the search range), for the line
// ρ = trunc(y cos θ + x sin θ) through it. The 20 strongest (ρ, θ) cells are
// the page's most prominent lines; the middle eight of their angles, in
// sorted order, give the skew.
//
// Edges come in horizontal runs (the lower side of a stroke), and within a
// row ρ only moves one way as x grows: the multiplication and the addition
// are correctly rounded, so both keep the order of their arguments, and so
// does trunc. A run therefore votes for a stretch of neighbouring cells, and
// one that is short enough for its angle votes for at most two: a number of
// its pixels for the cell of its first pixel and the rest for the next
// cell. Counting a run in two steps instead of one per pixel is what makes
// the transform fast; the counts stay exactly those of voting pixel by pixel.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "imaging/cpu_features.h"
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if PAGEWELL_AVX2_LOOPS
#include <immintrin.h>
#endif

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

// Edge pixels x, x + step, ..., x + (length - 1) step of one row. The step
// is 2 at 4 bits, where only even columns are tested, and 1 otherwise.
struct TRun {
  int x, length;
};

// Collects the runs of columns where row y + 1 is markedly lighter than row
// y, leftmost first. At 8 and 24 bits, spans of pixels equal in both rows
// (most of a page) are passed over a few words at a time: equal pixels are
// no edge.
class TEdgeFinder {
  static constexpr int kSpan = 16;

 public:
  explicit TEdgeFinder(const TRaster& raster) : raster_(raster), brightness_(PaletteBrightness(raster)) {}

  int Step() const { return raster_.PixelFormat() == TPixelFormat::pf4bit ? 2 : 1; }

  void Find(int y, std::vector<TRun>& runs) const {
    runs.clear();
    const std::uint8_t* upper = raster_.ScanLine(y);
    const std::uint8_t* lower = raster_.ScanLine(y + 1);
    const int width = raster_.Width();
    switch (raster_.PixelFormat()) {
      case TPixelFormat::pf1bit: FindIn1BitRows(upper, lower, width, runs); break;
      case TPixelFormat::pf4bit:
        // Only even columns are tested; either pixel of the byte may pass.
        for (int x = 0; x < width; x += 2) {
          const std::uint8_t a = upper[x >> 1], b = lower[x >> 1];
          if (Lighter(b >> 4, a >> 4) || Lighter(b & 15, a & 15)) Add(runs, x, 1, 2);
        }
        break;
      case TPixelFormat::pf8bit:
        for (int x = 0; x < width; x += kSpan) {
          const int end = std::min(width, x + kSpan);
          if (end - x == kSpan && std::memcmp(upper + x, lower + x, kSpan) == 0) continue;
          for (int i = x; i < end; ++i) {
            if (Lighter(lower[i], upper[i])) Add(runs, i, 1, 1);
          }
        }
        break;
      default:
        for (int x = 0; x < width; x += kSpan) {
          const int end = std::min(width, x + kSpan);
          if (end - x == kSpan && std::memcmp(upper + 3 * x, lower + 3 * x, 3 * kSpan) == 0) continue;
          for (int i = x; i < end; ++i) {
            const std::uint8_t *a = upper + 3 * i, *b = lower + 3 * i;
            if ((b[0] + b[1] + b[2]) - (a[0] + a[1] + a[2]) > kEdgeContrast) Add(runs, i, 1, 1);
          }
        }
        break;
    }
  }

 private:
  // Appends pixels x ... x + (length - 1) step, joining them to the last run
  // when they continue it.
  static void Add(std::vector<TRun>& runs, int x, int length, int step) {
    if (!runs.empty() && runs.back().x + runs.back().length * step == x) {
      runs.back().length += length;
    } else {
      runs.push_back(TRun{x, length});
    }
  }

  // Index 0 is black: an edge is a 0 bit above a 1 bit. The rows are read
  // eight bytes at a time, as most words of a page hold no edge at all; the
  // runs of a word are taken by their leading bit, leftmost first, and their
  // length is the number of leading ones from there on.
  static void FindIn1BitRows(const std::uint8_t* upper, const std::uint8_t* lower, int width, std::vector<TRun>& runs) {
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
        const std::uint64_t rest = ~(bits << lead);  // the run's pixels now lead as zeros
        const int length = rest == 0 ? 64 - lead : __builtin_clzll(rest);
        const int x = 8 * j + lead;
        if (x < width) Add(runs, x, std::min(length, width - x), 1);
        bits &= lead + length == 64 ? 0 : ~std::uint64_t{0} >> (lead + length);
      }
    }
    for (; j < bytes; ++j) {
      const unsigned bits = static_cast<unsigned>(~upper[j] & lower[j]) & 0xFFu;
      for (int bit = 0; bits != 0 && bit < 8; ++bit) {
        if ((bits & (0x80u >> bit)) && j * 8 + bit < width) Add(runs, j * 8 + bit, 1, 1);
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

// Runs, or pieces of runs, as separate arrays so that the arithmetic over
// all pieces of a band is done two pieces at a time in vector registers.
struct TPieces {
  std::vector<double> y, x, lengths;
  std::vector<int> counts;  // the lengths as whole numbers

  void Clear() { Resize(0); }
  void Resize(std::size_t size) { y.resize(size), x.resize(size), lengths.resize(size), counts.resize(size); }
  void Add(int row, int column, int length) {
    y.push_back(row), x.push_back(column), lengths.push_back(length), counts.push_back(length);
  }
  void Set(std::size_t i, int row, int column, int length) {
    y[i] = row, x[i] = column, lengths[i] = length, counts[i] = length;
  }
};

// The first `size` pieces of a TPieces.
struct TPieceSpan {
  const double *y, *x, *lengths;
  const int* counts;
  std::size_t size;

  TPieceSpan(const TPieces& pieces, std::size_t n)
      : y(pieces.y.data()), x(pieces.x.data()), lengths(pieces.lengths.data()), counts(pieces.counts.data()), size(n) {}
};

// The edges of a band of consecutive rows.
//
// Runs of one or two pixels cost less voted for pixel by pixel: they are
// kept as single pixels with their rows, in a list padded to an even length
// so that ρ values can be computed in pairs.
//
// Longer runs are kept in order of length. An angle takes those no longer
// than its longest piece as they are, and the longer ones cut into pieces,
// made once per band for each piece length.
class TEdgeBand {
 public:
  explicit TEdgeBand(int step) : step_(step) {}

  void Clear() {
    pixelRows_.clear(), pixelColumns_.clear(), longRuns_.clear();
    ++generation_;
  }
  void Add(int y, const std::vector<TRun>& runs) {
    if (pixelRows_.empty() && longRuns_.empty()) top_ = y;
    for (const TRun& run : runs) {
      if (run.length > kLongestPixelRun) {
        longRuns_.push_back(TBandRun{y, run.x, run.length});
        continue;
      }
      for (int i = 0; i < run.length; ++i) pixelRows_.push_back(y), pixelColumns_.push_back(run.x + i * step_);
    }
  }
  bool Empty() const { return pixelRows_.empty() && longRuns_.empty(); }

  // Call once the band is complete.
  void Finish() {
    pixelCount_ = pixelRows_.size();
    if (pixelCount_ % 2) pixelRows_.push_back(top_), pixelColumns_.push_back(0);  // computed, never counted
    std::stable_sort(longRuns_.begin(), longRuns_.end(), [](const TBandRun& a, const TBandRun& b) { return a.length < b.length; });
    runs_.Clear();
    for (const TBandRun& run : longRuns_) runs_.Add(run.y, run.x, run.length);
    lengthsFrom_.assign(longRuns_.size() + 1, 0);
    for (std::size_t i = longRuns_.size(); i-- > 0;) {
      lengthsFrom_[i] = lengthsFrom_[i + 1] + static_cast<std::size_t>(longRuns_[i].length);
    }
  }

  int Top() const { return top_; }
  std::size_t PixelCount() const { return pixelCount_; }
  const double* PixelRows() const { return pixelRows_.data(); }
  const double* PixelColumns() const { return pixelColumns_.data(); }

  // The runs of at most `longest` pixels (all of them for 0), and the longer
  // ones cut into pieces of `longest`. Angles with the same longest piece
  // share one cut, made once per band; `cutIndex` numbers the distinct
  // lengths from 0.
  struct TRunsForAngle {
    TPieceSpan whole, pieces;
  };
  TRunsForAngle RunsFor(int longest, std::size_t cutIndex) {
    if (cuts_.size() <= cutIndex) cuts_.resize(cutIndex + 1);
    TCut& cut = cuts_[cutIndex];
    if (cut.generation != generation_) {
      cut.generation = generation_;
      cut.wholeRuns = longest == 0 ? longRuns_.size() : WholeRuns(longest);
      // Sized first and then filled: this runs for every band and piece
      // length, and growing the arrays piece by piece cost more than the
      // pieces save.
      // A run of n pixels makes at most n / longest + 1 pieces.
      const std::size_t cutRuns = longRuns_.size() - cut.wholeRuns;
      cut.pieces.Resize(cutRuns == 0 ? 0 : cutRuns + 1 + lengthsFrom_[cut.wholeRuns] / static_cast<std::size_t>(longest));
      std::size_t piece = 0;
      for (std::size_t i = cut.wholeRuns; i < longRuns_.size(); ++i) {
        const TBandRun& run = longRuns_[i];
        for (int done = 0; done < run.length; done += longest) {
          cut.pieces.Set(piece++, run.y, run.x + done * step_, std::min(longest, run.length - done));
        }
      }
      cut.pieces.Resize(piece);
    }
    return TRunsForAngle{TPieceSpan(runs_, cut.wholeRuns), TPieceSpan(cut.pieces, cut.pieces.counts.size())};
  }

 private:
  static constexpr int kLongestPixelRun = 2;
  struct TBandRun {
    int y, x, length;
  };
  struct TCut {
    unsigned generation = 0;
    std::size_t wholeRuns = 0;  // the runs no longer than the piece length
    TPieces pieces;
  };

  std::size_t WholeRuns(int longest) const {
    const auto end = std::upper_bound(longRuns_.begin(), longRuns_.end(), longest,
                                      [](int length, const TBandRun& run) { return length < run.length; });
    return static_cast<std::size_t>(end - longRuns_.begin());
  }

  int step_;
  int top_ = 0;
  std::vector<double> pixelRows_, pixelColumns_;
  std::size_t pixelCount_ = 0;
  std::vector<TBandRun> longRuns_;
  std::vector<std::size_t> lengthsFrom_;  // the pixels of the long runs from each on
  TPieces runs_;
  unsigned generation_ = 0;
  std::vector<TCut> cuts_;  // by cut index
};

// The accumulator is stored angle by angle, each angle's column of ρ cells
// contiguous and only as long as the page's ρ values at that angle reach,
// plus one cell at either end that only ever receives votes of 0. A band of
// rows votes angle by angle: the band's votes for one angle fall into a
// short stretch of one column, which stays in the first level cache while
// they are counted.
//
// Single pixels vote as they are: the ρ values of a row for one angle are
// computed first, in pairs the compiler puts into vector registers, and the
// counters are then increased in eight interleaved streams from eight parts
// of the row (neighbouring pixels of a line mostly vote for the same cell,
// and increases of one counter one right after the other would each wait
// for the one before).
//
// Pieces of runs are taken through the arithmetic together for one angle:
// the cell of each piece's first pixel and how many of its pixels stay in
// it (the rest are in the next cell). The counters are increased after
// that, two per piece, in four interleaved streams.
template <typename Counter>
class THoughAccumulator {
 public:
  THoughAccumulator(const std::vector<double>& sines, const std::vector<double>& cosines, int width, int height, int step)
      : angles_(static_cast<int>(sines.size())), width_(width), step_(step), sines_(sines), cosines_(cosines) {
    // ρ grows with y (cos θ > 0) and moves one way with x, so its extremes
    // over the page are at the corners of the rows that have edges. They are
    // computed the same way the votes are.
    const int lastRow = height - 2, lastColumn = width - 1;
    std::size_t size = 0;
    std::vector<int> pieceLengths;  // the distinct ones, by cut index
    for (int k = 0; k < angles_; ++k) {
      const double sine = sines[static_cast<std::size_t>(k)], cosine = cosines[static_cast<std::size_t>(k)];
      int low = 0, high = 0;
      for (int y : {0, lastRow}) {
        for (int x : {0, lastColumn}) {
          const int rho = Rho(y, x, sine, cosine);
          low = std::min(low, rho), high = std::max(high, rho);
        }
      }
      TColumn column;
      column.low = low, column.high = high;
      column.origin = static_cast<std::ptrdiff_t>(size) + 1 - low;
      size += static_cast<std::size_t>(high - low) + 3;
      lowest_ = std::min(lowest_, low), highest_ = std::max(highest_, high);
      column.longestPiece = LongestPiece(sine, step);
      column.cutIndex = static_cast<std::size_t>(
          std::find(pieceLengths.begin(), pieceLengths.end(), column.longestPiece) - pieceLengths.begin());
      if (column.cutIndex == pieceLengths.size()) pieceLengths.push_back(column.longestPiece);
      column.inverse = 1 / (sine * step);
      columns_.push_back(column);
    }
    cells_.resize(size);
    std::memset(cells_.data(), 0, size * sizeof(Counter));  // assign() fills counter by counter
    // A piece's first pixel may be off by a rounding error from where the
    // pixels before it on the row would put it, and so may every pixel after
    // it; each of those errors is below 2^-52 (|ρ| + width), and the
    // division by sin θ (at least sin 0.2°, beyond 2^-9) enlarges them. A
    // count that close to a whole number could be either; the band is then
    // voted for pixel by pixel at that angle instead.
    tolerance_ = (std::max(width, height) + 4.0) * std::ldexp(1.0, -40);
  }

  // The angles ±θ go together where their sines differ only in sign (as
  // they should): their ρ share the row part y cos θ and, but for the
  // sign, x sin θ, and each pixel and piece is read once for both.
  void Vote(TEdgeBand& band) {
    for (auto& rhos : rhos_) rhos.resize(std::max(rhos.size(), band.PixelCount() + 4));
    for (int k = 0; k < angles_; ++k) {
      const int mirror = angles_ - 1 - k;
      if (mirror < k && Mirrored(mirror)) continue;  // voted with its mirror
      if (mirror > k && Mirrored(k)) {
        VoteMirrored(band, k, mirror);
      } else {
        VoteOne(band, k);
      }
    }
  }

  // One pass in (ρ, angle) order: a cell stronger than the weakest of the
  // table replaces the first entry holding that minimum. The minimum only
  // grows during the pass, so a band of ρ values none of whose cells
  // exceeds it at the start of the band changes nothing and is passed
  // over; once the page's strong lines are in the table that is nearly
  // every band. The strongest cell of each band is found first, reading
  // every column straight down once.
  std::array<TCell, kStrongestCells> Strongest() const {
    constexpr int kBand = 32;
    const int bands = (highest_ - lowest_) / kBand + 1;
    // Eight running maxima per band, folded into one at the end.
    std::vector<Counter> lanes(static_cast<std::size_t>(bands) * kLanes, 0);
    for (const TColumn& column : columns_) {
      const Counter* cells = cells_.data() + column.origin;
      for (int rho = column.low; rho <= column.high;) {
        const int band = (rho - lowest_) / kBand;
        const int end = std::min(column.high + 1, lowest_ + (band + 1) * kBand);
        FoldInto(&lanes[static_cast<std::size_t>(band) * kLanes], cells + rho, end - rho);
        rho = end;
      }
    }
    std::vector<Counter> bandStrongest(static_cast<std::size_t>(bands));
    for (std::size_t band = 0; band < bandStrongest.size(); ++band) {
      bandStrongest[band] = *std::max_element(&lanes[band * kLanes], &lanes[band * kLanes] + kLanes);
    }
    std::array<TCell, kStrongestCells> table{};
    unsigned minimum = 0;
    for (int band = 0; band < bands; ++band) {
      if (bandStrongest[static_cast<std::size_t>(band)] <= minimum) continue;
      const int end = std::min(highest_ + 1, lowest_ + (band + 1) * kBand);
      for (int rho = lowest_ + band * kBand; rho < end; ++rho) {
        for (int k = 0; k < angles_; ++k) {
          const TColumn& column = columns_[static_cast<std::size_t>(k)];
          if (rho < column.low || rho > column.high) continue;
          const unsigned count = cells_[static_cast<std::size_t>(column.origin + rho)];
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
  // Folds `count` counters into eight running maxima, counter i into lane
  // i mod 8. 16-bit counters go eight at a time; SSE2 has no unsigned
  // 16-bit maximum, but max(a, b) = (a - b, or 0 if that is negative) + b.
  static constexpr int kLanes = 8;
  static void FoldInto(Counter* lanes, const Counter* cells, int count) {
    int i = 0;
#if defined(__SSE2__)
    if constexpr (sizeof(Counter) == 2) {
      __m128i strongest = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lanes));
      for (; i + kLanes <= count; i += kLanes) {
        const __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cells + i));
        strongest = _mm_add_epi16(_mm_subs_epu16(eight, strongest), strongest);
      }
      _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes), strongest);
    }
#endif
    for (; i < count; ++i) lanes[i % kLanes] = std::max(lanes[i % kLanes], cells[i]);
  }

  struct TColumn {
    int low, high;          // of ρ
    std::ptrdiff_t origin;  // index of the cell ρ = 0
    int longestPiece;       // 0: whole runs
    std::size_t cutIndex;   // shared by the angles with the same longest piece
    double inverse;         // 1 / (sin θ · step)
  };

  // One angle's share in splitting pieces: its sine, 1 / (sin θ · step),
  // the offset of its far ends (see SplitAway) and where its cells and
  // counts go.
  struct TSide {
    double sine, inverse, offset;
    int* first;
    int* staying;
  };

  bool Mirrored(int k) const {
    const auto a = static_cast<std::size_t>(k), b = static_cast<std::size_t>(angles_ - 1 - k);
    return sines_[a] < 0 && sines_[b] == -sines_[a] && cosines_[b] == cosines_[a];
  }

  Counter* CellsOf(int k) { return cells_.data() + columns_[static_cast<std::size_t>(k)].origin; }  // at ρ = 0

  void VoteOne(TEdgeBand& band, int k) {
    const TColumn& column = columns_[static_cast<std::size_t>(k)];
    const double sine = sines_[static_cast<std::size_t>(k)], cosine = cosines_[static_cast<std::size_t>(k)];
    Counter* cells = CellsOf(k);
    RhosOfPixels<1>(band.PixelRows(), band.PixelColumns(), band.PixelCount(), sine, cosine);
    CountPixels(cells, rhos_[0].data(), band.PixelCount());
    const auto runs = band.RunsFor(column.longestPiece, column.cutIndex);
    if (sine == 0) {
      // ρ = y along the whole row.
      for (std::size_t i = 0; i < runs.whole.size; ++i) {
        Counter& cell = cells[static_cast<int>(runs.whole.y[i] * cosine + runs.whole.x[i] * sine)];
        cell = static_cast<Counter>(cell + runs.whole.counts[i]);
      }
      return;
    }
    VoteRuns(runs, k);
  }

  // k: the falling angle -θ, mirror: the growing one θ.
  void VoteMirrored(TEdgeBand& band, int k, int mirror) {
    const TColumn& falling = columns_[static_cast<std::size_t>(k)];
    const TColumn& growing = columns_[static_cast<std::size_t>(mirror)];
    const double sine = sines_[static_cast<std::size_t>(mirror)], cosine = cosines_[static_cast<std::size_t>(mirror)];
    RhosOfPixels<2>(band.PixelRows(), band.PixelColumns(), band.PixelCount(), sine, cosine);
    CountPixels(CellsOf(mirror), rhos_[0].data(), band.PixelCount());
    CountPixels(CellsOf(k), rhos_[1].data(), band.PixelCount());
    const auto runs = band.RunsFor(growing.longestPiece, growing.cutIndex);  // the same for both
    Reserve(runs.whole.size + runs.pieces.size);
    TSide sides[2] = {{sine, growing.inverse, growing.inverse + 0.5, first_[0].data(), staying_[0].data()},
                      {-sine, falling.inverse, 0.5, first_[1].data(), staying_[1].data()}};
    bool exact[2] = {true, true};
    SplitAway<2>(runs.whole, 0, cosine, sides, exact);
    SplitAway<2>(runs.pieces, runs.whole.size, cosine, sides, exact);
    CountRuns<1>(runs, exact[0], sides[0], CellsOf(mirror), cosine);
    CountRuns<-1>(runs, exact[1], sides[1], CellsOf(k), cosine);
  }

  // The runs of a band at one angle (sin θ ≠ 0).
  void VoteRuns(const typename TEdgeBand::TRunsForAngle& runs, int k) {
    const TColumn& column = columns_[static_cast<std::size_t>(k)];
    const double sine = sines_[static_cast<std::size_t>(k)], cosine = cosines_[static_cast<std::size_t>(k)];
    Counter* cells = CellsOf(k);
    Reserve(runs.whole.size + runs.pieces.size);
    TSide side{sine, column.inverse, sine > 0 ? column.inverse + 0.5 : 0.5, first_[0].data(), staying_[0].data()};
    bool exact = true;
    SplitAway<1>(runs.whole, 0, cosine, &side, &exact);
    SplitAway<1>(runs.pieces, runs.whole.size, cosine, &side, &exact);
    if (sine > 0) {
      CountRuns<1>(runs, exact, side, cells, cosine);
    } else {
      CountRuns<-1>(runs, exact, side, cells, cosine);
    }
  }

  template <int kDirection>
  void CountRuns(const typename TEdgeBand::TRunsForAngle& runs, bool exact, const TSide& side, Counter* cells,
                 double cosine) const {
    if (!exact) {
      VotePixels(runs.whole, side.sine, cosine, cells);
      VotePixels(runs.pieces, side.sine, cosine, cells);
      return;
    }
    CountPieces<kDirection>(runs.whole, side.first, side.staying, cells);
    CountPieces<kDirection>(runs.pieces, side.first + runs.whole.size, side.staying + runs.whole.size, cells);
  }

  static int Rho(int y, int x, double sine, double cosine) {
    const double rowPart = y * cosine;
    return static_cast<int>(rowPart + x * sine);
  }

  // The longest pieces that move at most one cell: (length - 1) · step ·
  // |sin θ| below 1 by far more than any rounding error.
  static int LongestPiece(double sine, int step) {
    if (sine == 0) return 0;
    const double perPixel = std::fabs(sine) * step;
    return static_cast<int>(std::min(65536.0, std::floor((1 - 1.0 / 1024) / perPixel))) + 1;
  }

  // The ρ of the band's single pixels at N angles sharing the cosine: at
  // sin θ into rhos_[0], and for N = 2 at -sin θ into rhos_[1].
  template <int N>
  void RhosOfPixels(const double* y, const double* x, std::size_t count, double sine, double cosine) {
    std::size_t i = 0;
#if PAGEWELL_AVX2_LOOPS
    if (avx2_) i = RhosOfPixelsAvx2<N>(y, x, count, sine, cosine);
#endif
    for (; i < count; ++i) {
      const double rowPart = y[i] * cosine, across = x[i] * sine;
      rhos_[0][i] = static_cast<int>(rowPart + across);
      if (N == 2) rhos_[1][i] = static_cast<int>(rowPart - across);
    }
  }

#if PAGEWELL_AVX2_LOOPS
  // Four at a time; answers how many are done.
  template <int N>
  PAGEWELL_TARGET_AVX2 std::size_t RhosOfPixelsAvx2(const double* y, const double* x, std::size_t count, double sine,
                                                   double cosine) {
    const __m256d cosines = _mm256_set1_pd(cosine), sines = _mm256_set1_pd(sine);
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
      const __m256d rowPart = _mm256_mul_pd(_mm256_loadu_pd(y + i), cosines);
      const __m256d across = _mm256_mul_pd(_mm256_loadu_pd(x + i), sines);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(rhos_[0].data() + i), _mm256_cvttpd_epi32(_mm256_add_pd(rowPart, across)));
      if (N == 2) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(rhos_[1].data() + i), _mm256_cvttpd_epi32(_mm256_sub_pd(rowPart, across)));
      }
    }
    return i;
  }
#endif

  static void CountPixels(Counter* column, const int* rho, std::size_t count) {
    const std::size_t q = count / 8;
    for (std::size_t i = 0; i < q; ++i) {
      ++column[rho[i]], ++column[rho[i + q]], ++column[rho[i + 2 * q]], ++column[rho[i + 3 * q]];
      ++column[rho[i + 4 * q]], ++column[rho[i + 5 * q]], ++column[rho[i + 6 * q]], ++column[rho[i + 7 * q]];
    }
    for (std::size_t i = 8 * q; i < count; ++i) ++column[rho[i]];
  }

  void Reserve(std::size_t count) {
    for (int side = 0; side < 2; ++side) {
      if (first_[side].size() < count) first_[side].resize(count), staying_[side].resize(count);
    }
  }

#if defined(__SSE2__)
  // trunc(u) - 1 where trunc(u) ≤ 0, trunc(u) elsewhere, for four values.
  static __m128i FallingEnd(__m128i rho) {
    const __m128i positive = _mm_cmpgt_epi32(rho, _mm_setzero_si128());  // -1 where rho > 0
    return _mm_sub_epi32(_mm_sub_epi32(rho, _mm_set1_epi32(1)), positive);
  }
#endif

  // For each piece, the cell of its first pixel and how many pixels (1 up
  // to all) stay in it; the others are in the next cell, the way ρ moves.
  // Pixel i of the piece lies at u + i · s (s = sin θ · step), up to
  // rounding, and stays in the cell trunc(u) until it passes the cell's far
  // end t: the pixels before (t - u) / s stay.
  //
  // For growing ρ (u is never negative then) the far end is trunc(u) + 1,
  // so that (t - u) / s + 1/2 = (trunc(u) - u) / s + offset with offset =
  // 1/s + 1/2. For falling ρ it is trunc(u) where u ≥ 1, and trunc(u) - 1
  // below that, where trunc goes towards 0 and the cell (-1, 1) of ρ = 0 is
  // twice as wide as the others; offset = 1/2. That quotient plus 1/2,
  // rounded to the nearest whole number, is the count;
  // added to 2^52 it is rounded by the addition itself, and the whole number
  // is then the low bits of the sum. Clears a side's `exact` when one of its
  // counts is too close to a tie (a quotient too close to a whole number)
  // to be sure of.
  //
  // N = 2 splits for the angles θ and -θ together (sides[1].sine =
  // -sides[0].sine): u = y cos θ + x sin θ and y cos θ - x sin θ.
  template <int N>
  void SplitAway(const TPieceSpan& pieces, std::size_t firstPiece, double cosine, const TSide* sides, bool* exact) const {
    const std::size_t count = pieces.size;
    const double *y = pieces.y, *x = pieces.x, *lengths = pieces.lengths;
    const double magic = 4503599627370496.0;  // 2^52
    const double sine = sides[0].sine;
    std::size_t i = 0;
    double farthest[N] = {};  // from the nearest whole number
#if PAGEWELL_AVX2_LOOPS
    if (avx2_) i = SplitAwayAvx2<N>(pieces, firstPiece, cosine, sides, farthest);
#endif
#if defined(__SSE2__)
    const __m128d cosines = _mm_set1_pd(cosine), sines = _mm_set1_pd(sine), magics = _mm_set1_pd(magic);
    const __m128d signs = _mm_set1_pd(-0.0);
    __m128d farthests[N];
    for (int a = 0; a < N; ++a) farthests[a] = _mm_set1_pd(farthest[a]);
    for (; i + 2 <= count; i += 2) {
      const __m128d rowPart = _mm_mul_pd(_mm_loadu_pd(y + i), cosines);
      const __m128d across = _mm_mul_pd(_mm_loadu_pd(x + i), sines);
      const __m128d length = _mm_loadu_pd(lengths + i);
      for (int a = 0; a < N; ++a) {
        const __m128d u = a == 0 ? _mm_add_pd(rowPart, across) : _mm_sub_pd(rowPart, across);
        const __m128i rho = _mm_cvttpd_epi32(u);
        const __m128i end = sides[a].sine < 0 ? FallingEnd(rho) : rho;
        __m128d before = _mm_add_pd(_mm_mul_pd(_mm_sub_pd(_mm_cvtepi32_pd(end), u), _mm_set1_pd(sides[a].inverse)),
                                    _mm_set1_pd(sides[a].offset));
        before = _mm_min_pd(before, length);
        const __m128d rounded = _mm_add_pd(before, magics);
        const __m128d off = _mm_andnot_pd(signs, _mm_sub_pd(_mm_sub_pd(rounded, magics), before));
        farthests[a] = _mm_max_pd(farthests[a], off);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(sides[a].first + firstPiece + i), rho);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(sides[a].staying + firstPiece + i),
                         _mm_shuffle_epi32(_mm_castpd_si128(rounded), 0x08));
      }
    }
    for (int a = 0; a < N; ++a) {
      farthest[a] = std::max(_mm_cvtsd_f64(farthests[a]), _mm_cvtsd_f64(_mm_unpackhi_pd(farthests[a], farthests[a])));
    }
#endif
    for (; i < count; ++i) {
      const double rowPart = y[i] * cosine, across = x[i] * sine;
      for (int a = 0; a < N; ++a) {
        const double u = a == 0 ? rowPart + across : rowPart - across;
        const int rho = static_cast<int>(u);
        const int end = sides[a].sine < 0 ? rho - (rho <= 0) : rho;
        const double before = std::min((end - u) * sides[a].inverse + sides[a].offset, lengths[i]);
        const double rounded = before + magic;
        farthest[a] = std::max(farthest[a], std::fabs(rounded - magic - before));
        sides[a].first[firstPiece + i] = rho;
        sides[a].staying[firstPiece + i] = static_cast<int>(rounded - magic);
      }
    }
    for (int a = 0; a < N; ++a) exact[a] = exact[a] && farthest[a] < 0.5 - tolerance_;
  }

#if PAGEWELL_AVX2_LOOPS
  // The same four pieces at a time; answers how many are done and leaves
  // each side's largest distance from a whole number in `farthest`.
  template <int N>
  PAGEWELL_TARGET_AVX2 static std::size_t SplitAwayAvx2(const TPieceSpan& pieces, std::size_t firstPiece, double cosine,
                                                       const TSide* sides, double* farthest) {
    const double *y = pieces.y, *x = pieces.x, *lengths = pieces.lengths;
    const __m256d cosines = _mm256_set1_pd(cosine), sines = _mm256_set1_pd(sides[0].sine);
    const __m256d magics = _mm256_set1_pd(4503599627370496.0), signs = _mm256_set1_pd(-0.0);
    const __m256i lowHalves = _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6);
    __m256d inverses[N], offsets[N], farthests[N];
    for (int a = 0; a < N; ++a) {
      inverses[a] = _mm256_set1_pd(sides[a].inverse), offsets[a] = _mm256_set1_pd(sides[a].offset);
      farthests[a] = _mm256_setzero_pd();
    }
    std::size_t i = 0;
    for (; i + 4 <= pieces.size; i += 4) {
      const __m256d rowPart = _mm256_mul_pd(_mm256_loadu_pd(y + i), cosines);
      const __m256d across = _mm256_mul_pd(_mm256_loadu_pd(x + i), sines);
      const __m256d length = _mm256_loadu_pd(lengths + i);
      for (int a = 0; a < N; ++a) {
        const __m256d u = a == 0 ? _mm256_add_pd(rowPart, across) : _mm256_sub_pd(rowPart, across);
        const __m128i rho = _mm256_cvttpd_epi32(u);
        const __m128i end = sides[a].sine < 0 ? FallingEnd(rho) : rho;
        __m256d before = _mm256_add_pd(_mm256_mul_pd(_mm256_sub_pd(_mm256_cvtepi32_pd(end), u), inverses[a]), offsets[a]);
        before = _mm256_min_pd(before, length);
        const __m256d rounded = _mm256_add_pd(before, magics);
        const __m256d off = _mm256_sub_pd(_mm256_sub_pd(rounded, magics), before);
        farthests[a] = _mm256_max_pd(farthests[a], _mm256_andnot_pd(signs, off));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(sides[a].first + firstPiece + i), rho);
        const __m256i whole = _mm256_permutevar8x32_epi32(_mm256_castpd_si256(rounded), lowHalves);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(sides[a].staying + firstPiece + i), _mm256_castsi256_si128(whole));
      }
    }
    for (int a = 0; a < N; ++a) {
      const __m128d halves = _mm_max_pd(_mm256_castpd256_pd128(farthests[a]), _mm256_extractf128_pd(farthests[a], 1));
      farthest[a] = std::max(_mm_cvtsd_f64(halves), _mm_cvtsd_f64(_mm_unpackhi_pd(halves, halves)));
    }
    return i;
  }
#endif

  template <int kDirection>
  static void CountPieces(const TPieceSpan& pieces, const int* first, const int* staying, Counter* cells) {
    const std::size_t count = pieces.size;
    const int* length = pieces.counts;
    auto add = [&](std::size_t i) {
      Counter& here = cells[first[i]];
      here = static_cast<Counter>(here + staying[i]);
      Counter& next = cells[first[i] + kDirection];
      next = static_cast<Counter>(next + (length[i] - staying[i]));
    };
    const std::size_t q = count / 4;
    for (std::size_t i = 0; i < q; ++i) add(i), add(i + q), add(i + 2 * q), add(i + 3 * q);
    for (std::size_t i = 4 * q; i < count; ++i) add(i);
  }

  void VotePixels(const TPieceSpan& pieces, double sine, double cosine, Counter* cells) const {
    for (std::size_t i = 0; i < pieces.size; ++i) VotePiecePixels(pieces, i, sine, cosine, cells);
  }

  void VotePiecePixels(const TPieceSpan& pieces, std::size_t i, double sine, double cosine, Counter* cells) const {
    const int y = static_cast<int>(pieces.y[i]), x = static_cast<int>(pieces.x[i]);
    for (int j = 0; j < pieces.counts[i]; ++j) ++cells[Rho(y, x + j * step_, sine, cosine)];
  }

  int angles_;
  int width_;
  int step_;
  const std::vector<double>& sines_;
  const std::vector<double>& cosines_;
  std::vector<TColumn> columns_;
  int lowest_ = 0, highest_ = 0;
  double tolerance_ = 0;
  bool avx2_ = ProcessorHasAvx2();
  std::vector<int> rhos_[2];                // of a band's single pixels, for one or two angles
  std::vector<int> first_[2], staying_[2];  // of a band's pieces, for one or two angles
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
  TEdgeFinder finder(raster);
  THoughAccumulator<Counter> accumulator(sines, cosines, raster.Width(), raster.Height(), finder.Step());
  std::vector<TRun> runs;
  TEdgeBand band(finder.Step());
  bool anyEdge = false;
  // Every band and angle costs a fixed amount besides its votes (cutting
  // runs, starting the loops); bands of 128 rows measured a tenth faster
  // than bands of 32 on a 300 dpi page, and their stretch of each column
  // (128 + width · |sin θ| cells) still fits the first-level cache.
  constexpr int kBandRows = 128;
  for (int top = 0; top + 1 < raster.Height(); top += kBandRows) {
    band.Clear();
    for (int y = top; y < top + kBandRows && y + 1 < raster.Height(); ++y) {
      finder.Find(y, runs);
      band.Add(y, runs);
    }
    if (band.Empty()) continue;
    anyEdge = true;
    band.Finish();
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
