// Despeckle: removes small specks that a uniform border encloses.
//
// A 5 × 5 window slides over the page, one column at a time and rows top to
// bottom. Wherever the window's 16 border pixels all hold one value v, the
// inner 3 × 3 block is set to v if at most `strength` of its pixels differ
// from v. Windows see the changes made by earlier ones.
//
// The top and bottom rows of the window are tracked with a run count k of
// columns where both hold the same value; at k = 5 the two side columns are
// checked. Most of a page is plain background, so runs of columns that hold
// v in all five rows are counted as well: a window made only of such columns
// cannot change anything and is skipped, eight columns at a time (64 at 1
// bit) where the rows' bytes show a whole block of them.
#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/lu_bitmap.h"
#include "imaging/packed_pixels.h"

namespace pagewell {
namespace {

constexpr int kBlock = 8;  // pixels; always a whole number of bytes

template <typename Pixels>
class TDespeckleBand {
 public:
  TDespeckleBand(TRaster& raster, int top, int strength) : strength_(strength), width_(raster.Width()) {
    for (int i = 0; i < 5; ++i) rows_[i] = raster.ScanLine(top + i);
  }

  void Run() {
    const int last = width_ - 2;  // the scan stops before the last column
    for (int x = 0; x <= last;) {
      if ((x % kBlock) == 0 && run_ >= 4) {
        // Every window ending in a plain block holds only v: nothing to change.
        const int plain = PlainColumnsFrom(x, last);
        if (plain > 0) {
          k_ = 5;
          run_ += plain;
          x += plain;
          continue;
        }
      }
      Step(x++);
    }
  }

 private:
  std::uint32_t Get(int row, int x) const { return Pixels::Get(rows_[row], x); }

  void Step(int x) {
    const std::uint32_t top = Get(0, x), bottom = Get(4, x);
    if (top == bottom) {
      k_ = (k_ > 0 && top == value_) ? std::min(k_ + 1, 5) : 1;
      if (top != value_) run_ = 0;
      value_ = top;
    } else {
      k_ = 0;
    }
    const bool plainColumn = top == bottom && Get(1, x) == top && Get(2, x) == top && Get(3, x) == top;
    run_ = plainColumn ? run_ + 1 : 0;
    if (k_ == 5 && run_ < 5) CheckWindow(x);
  }

  // Columns x - 4 to x of the top and bottom rows hold value_.
  void CheckWindow(int x) {
    const std::uint32_t v = value_;
    for (int row = 1; row <= 3; ++row) {
      if (Get(row, x) != v || Get(row, x - 4) != v) return;
    }
    int differing = 0;
    for (int row = 1; row <= 3; ++row) {
      for (int column = x - 3; column <= x - 1; ++column) differing += Get(row, column) != v;
    }
    if (differing == 0 || differing > strength_) return;
    for (int row = 1; row <= 3; ++row) {
      for (int column = x - 3; column <= x - 1; ++column) Pixels::Set(rows_[row], column, v);
    }
  }

  // The columns from x on (x a multiple of kBlock) in which all five rows
  // hold value_, in whole blocks: kWideBlock of them, kBlock or none. Wide
  // blocks cross plain background faster where a block is as small as a
  // byte (1 bit); the blocks keep finding the gaps between specks and ink.
  int PlainColumnsFrom(int x, int last) {
    if (patternValue_ != value_ || !patternValid_) {
      for (int i = 0; i < kWideBlock; ++i) Pixels::Set(pattern_, i, value_);
      patternValue_ = value_;
      patternValid_ = true;
    }
    if (x % kWideBlock == 0 && x + kWideBlock - 1 <= last && Plain<kWideBlock>(x)) return kWideBlock;
    return x + kBlock - 1 <= last && Plain<kBlock>(x) ? kBlock : 0;
  }

  template <int Columns>
  bool Plain(int x) const {
    constexpr std::size_t kBytes = Columns * Pixels::kBits / 8;
    const std::size_t offset = static_cast<std::size_t>(x) * Pixels::kBits / 8;
    for (int row = 0; row < 5; ++row) {
      // A fixed size, so that the compiler compares in place of a call.
      if (std::memcmp(rows_[row] + offset, pattern_, kBytes) != 0) return false;
    }
    return true;
  }

  // Eight bytes of a 1-bit row; no wider than kBlock in the other formats.
  static constexpr int kWideBlock = Pixels::kBits == 1 ? 64 : kBlock;

  std::uint8_t* rows_[5];
  const int strength_;
  const int width_;
  int k_ = 0;
  int run_ = 0;  // columns up to the current one that hold value_ in all five rows
  std::uint32_t value_ = 0;
  std::uint8_t pattern_[kWideBlock * Pixels::kBits / 8] = {};
  std::uint32_t patternValue_ = 0;
  bool patternValid_ = false;
};

}  // namespace

void TluBitmap::Despeckle(int strength) {
  strength = std::clamp(strength, 1, 9);
  if (Height() >= 5) {
    VisitPackedPixels(PixelFormat(), [&](auto pixels) {
      using Pixels = decltype(pixels);
      for (int y = 0; y + 4 < Height(); ++y) TDespeckleBand<Pixels>(*this, y, strength).Run();
    });
  }
  FlattenAlpha();
}

}  // namespace pagewell
