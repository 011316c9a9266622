// Exact rotation by 90, 180 and 270 degrees.
//
// A quarter turn reads the source column by column, which walks across
// memory. The work is therefore done in square tiles small enough that the
// source rows of a tile stay in the first-level cache while the tile's
// target rows are written; 1-bit rasters move blocks of 8 × 8 pixels at a
// time with a bit-matrix transpose.
#include "imaging/rotate_orthogonal.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "imaging/flip.h"
#include "imaging/packed_pixels.h"

namespace pagewell {
namespace {

// Which way the quarter turn goes, as a mapping from target to source
// coordinates. Counter-clockwise: target row y is source column W - 1 - y and
// target column x is source row x; clockwise: source column y, source row
// H - 1 - x.
struct TQuarterTurn {
  bool counterClockwise;
  int sourceWidth;
  int sourceHeight;
  int SourceColumn(int targetRow) const { return counterClockwise ? sourceWidth - 1 - targetRow : targetRow; }
  int SourceRow(int targetColumn) const { return counterClockwise ? targetColumn : sourceHeight - 1 - targetColumn; }
};

constexpr int kTile = 64;

// Asks for a source line ahead of its use. A tile reads a short piece of each
// of many source rows, an access the processor's own prefetching does not
// foresee; fetching the next tile's pieces while the current one is moved
// hides much of the memory latency. Where the compiler has no such hint
// this does nothing.
inline void Prefetch(const std::uint8_t* p) {
#if defined(__GNUC__)
  __builtin_prefetch(p);
#else
  (void)p;
#endif
}

// The `bytes` bytes from `column` on of the given source rows.
void PrefetchPieces(const std::uint8_t* const* rows, int count, std::size_t column, std::size_t bytes) {
  constexpr std::size_t kLine = 64;
  for (int j = 0; j < count; ++j) {
    for (std::size_t offset = 0; offset < bytes; offset += kLine) Prefetch(rows[j] + column + offset);
    Prefetch(rows[j] + column + bytes - 1);
  }
}

// Row pointers: the source row shown in each target column, and the target
// row showing each source column.
std::vector<const std::uint8_t*> SourceRowsByTargetColumn(const TRaster& source, const TQuarterTurn& turn) {
  std::vector<const std::uint8_t*> rows(static_cast<std::size_t>(source.Height()));
  for (int x = 0; x < source.Height(); ++x) rows[static_cast<std::size_t>(x)] = source.ScanLine(turn.SourceRow(x));
  return rows;
}

std::vector<std::uint8_t*> TargetRowsBySourceColumn(TRaster& target, const TQuarterTurn& turn) {
  std::vector<std::uint8_t*> rows(static_cast<std::size_t>(target.Height()));
  for (int y = 0; y < target.Height(); ++y) rows[static_cast<std::size_t>(turn.SourceColumn(y))] = target.ScanLine(y);
  return rows;
}

template <int Bits>
void RotateQuarterTiled(const TRaster& source, TRaster& target, const TQuarterTurn& turn) {
  using Pixels = TPackedPixels<Bits>;
  const int width = target.Width(), height = target.Height();
  const auto sourceRows = SourceRowsByTargetColumn(source, turn);
  for (int top = 0; top < height; top += kTile) {
    const int bottom = std::min(height, top + kTile);
    for (int left = 0; left < width; left += kTile) {
      const int right = std::min(width, left + kTile);
      for (int y = top; y < bottom; ++y) {
        std::uint8_t* row = target.ScanLine(y);
        const int column = turn.SourceColumn(y);
        for (int x = left; x < right; ++x) Pixels::Set(row, x, Pixels::Get(sourceRows[static_cast<std::size_t>(x)], column));
      }
    }
  }
}

// Transposes an 8 × 8 byte matrix held as eight words, row j in word j and
// column k in byte k (the machines we build for are little-endian): each
// stage swaps the off-diagonal halves of 2 × 2 blocks of 1, 2 and 4 bytes.
inline void SwapBlocks(std::uint64_t& a, std::uint64_t& b, int shift, std::uint64_t mask) {
  const std::uint64_t t = ((a >> shift) ^ b) & mask;
  b ^= t;
  a ^= t << shift;
}

inline void TransposeBytes8x8(std::uint64_t m[8]) {
  constexpr std::uint64_t kBytes = 0x00FF00FF00FF00FFull, kPairs = 0x0000FFFF0000FFFFull, kQuads = 0x00000000FFFFFFFFull;
  SwapBlocks(m[0], m[1], 8, kBytes), SwapBlocks(m[2], m[3], 8, kBytes);
  SwapBlocks(m[4], m[5], 8, kBytes), SwapBlocks(m[6], m[7], 8, kBytes);
  SwapBlocks(m[0], m[2], 16, kPairs), SwapBlocks(m[1], m[3], 16, kPairs);
  SwapBlocks(m[4], m[6], 16, kPairs), SwapBlocks(m[5], m[7], 16, kPairs);
  SwapBlocks(m[0], m[4], 32, kQuads), SwapBlocks(m[1], m[5], 32, kQuads);
  SwapBlocks(m[2], m[6], 32, kQuads), SwapBlocks(m[3], m[7], 32, kQuads);
}

// Eight rows at a constant distance `step` (negative when they run upwards)
// from the first. The eight word moves are written out: as loops they stay
// loops at -O2 and the block then lives in memory instead of registers.
inline void LoadBlock(const std::uint8_t* p, std::ptrdiff_t step, std::uint64_t m[8]) {
  std::memcpy(&m[0], p, 8), std::memcpy(&m[1], p + step, 8);
  std::memcpy(&m[2], p + 2 * step, 8), std::memcpy(&m[3], p + 3 * step, 8);
  std::memcpy(&m[4], p + 4 * step, 8), std::memcpy(&m[5], p + 5 * step, 8);
  std::memcpy(&m[6], p + 6 * step, 8), std::memcpy(&m[7], p + 7 * step, 8);
}

inline void StoreBlock(const std::uint64_t m[8], std::uint8_t* p, std::ptrdiff_t step) {
  std::memcpy(p, &m[0], 8), std::memcpy(p + step, &m[1], 8);
  std::memcpy(p + 2 * step, &m[2], 8), std::memcpy(p + 3 * step, &m[3], 8);
  std::memcpy(p + 4 * step, &m[4], 8), std::memcpy(p + 5 * step, &m[5], 8);
  std::memcpy(p + 6 * step, &m[6], 8), std::memcpy(p + 7 * step, &m[7], 8);
}

// 8 bits: blocks of 8 × 8 pixels are read as eight words from eight source
// rows, transposed and written as eight words into eight target rows; the
// strips at the right and bottom that do not fill a block go pixel by pixel.
// Tiles are twice as wide as high: the pieces of the next tile's source rows
// are fetched ahead while one tile is moved.
void RotateQuarter8Bit(const TRaster& source, TRaster& target, const TQuarterTurn& turn) {
  constexpr int kTileWidth = 2 * kTile;  // target columns, that is source rows
  const int width = target.Width(), height = target.Height();
  const int blockWidth = width / 8 * 8, blockHeight = height / 8 * 8;
  const auto sourceRows = SourceRowsByTargetColumn(source, turn);
  // Target column x + j shows source row SourceRow(x) + j × sourceStep; word
  // i of a transposed block goes to target row y + 7 - i counter-clockwise,
  // y + i clockwise.
  const auto sourceStride = static_cast<std::ptrdiff_t>(source.RowStride());
  const auto targetStride = static_cast<std::ptrdiff_t>(target.RowStride());
  const std::ptrdiff_t sourceStep = turn.counterClockwise ? sourceStride : -sourceStride;
  const std::ptrdiff_t targetStep = turn.counterClockwise ? -targetStride : targetStride;
  // Source columns are visited in increasing order, which the processor's
  // own prefetching follows: counter-clockwise that is target rows upwards.
  const int tiles = (blockHeight + kTile - 1) / kTile;
  for (int t = 0; t < tiles; ++t) {
    const int top = (turn.counterClockwise ? tiles - 1 - t : t) * kTile;
    const int bottom = std::min(blockHeight, top + kTile);
    // Target rows top to bottom - 1 are source columns firstColumn on.
    const int firstColumn = turn.counterClockwise ? turn.SourceColumn(bottom - 1) : top;
    for (int left = 0; left < blockWidth; left += kTileWidth) {
      const int right = std::min(blockWidth, left + kTileWidth);
      const int nextRight = std::min(blockWidth, right + kTileWidth);
      PrefetchPieces(&sourceRows[static_cast<std::size_t>(right)], nextRight - right, static_cast<std::size_t>(firstColumn),
                     static_cast<std::size_t>(bottom - top));
      for (int b = 0; b < (bottom - top) / 8; ++b) {
        const int y = turn.counterClockwise ? bottom - 8 * (b + 1) : top + 8 * b;
        const int first = turn.counterClockwise ? turn.SourceColumn(y + 7) : y;
        std::uint8_t* out = target.ScanLine(turn.counterClockwise ? y + 7 : y);
        for (int x = left; x < right; x += 8) {
          std::uint64_t m[8];
          LoadBlock(sourceRows[static_cast<std::size_t>(x)] + first, sourceStep, m);
          TransposeBytes8x8(m);
          StoreBlock(m, out + x, targetStep);
        }
      }
    }
  }
  auto moveOne = [&](int x, int y) { target.ScanLine(y)[x] = sourceRows[static_cast<std::size_t>(x)][turn.SourceColumn(y)]; };
  for (int y = 0; y < height; ++y) {
    for (int x = y < blockHeight ? blockWidth : 0; x < width; ++x) moveOne(x, y);
  }
}

// 24 bits: pixels move as 4-byte words, the fourth byte landing on the next
// target pixel, which is written right after; the last pixel of a row and
// the source's last column go byte by byte so nothing beyond a row is read
// or written.
void RotateQuarter24Bit(const TRaster& source, TRaster& target, const TQuarterTurn& turn) {
  const int width = target.Width(), height = target.Height();
  const auto sourceRows = SourceRowsByTargetColumn(source, turn);
  const std::uint8_t* const* from = sourceRows.data();
  // Source columns in increasing order, as for 8 bits.
  const int tiles = (height + kTile - 1) / kTile;
  for (int t = 0; t < tiles; ++t) {
    const int top = (turn.counterClockwise ? tiles - 1 - t : t) * kTile;
    const int bottom = std::min(height, top + kTile);
    const int firstColumn = turn.counterClockwise ? turn.SourceColumn(bottom - 1) : top;
    for (int left = 0; left < width; left += kTile) {
      const int right = std::min(width, left + kTile);
      const int nextRight = std::min(width, right + kTile);
      PrefetchPieces(from + std::min(right, width - 1), nextRight - right, 3 * static_cast<std::size_t>(firstColumn),
                     3 * static_cast<std::size_t>(bottom - top));
      for (int i = 0; i < bottom - top; ++i) {
        const int y = turn.counterClockwise ? bottom - 1 - i : top + i;
        std::uint8_t* row = target.ScanLine(y);
        const int column = turn.SourceColumn(y);
        const std::size_t offset = 3 * static_cast<std::size_t>(column);
        const bool wordsFit = column + 1 < source.Width();
        const int wordEnd = wordsFit ? std::min(right, width - 1) : left;
        int x = left;
        for (; x < wordEnd; ++x) std::memcpy(row + 3 * x, from[x] + offset, 4);
        for (; x < right; ++x) std::memcpy(row + 3 * x, from[x] + offset, 3);
      }
    }
  }
}

// Transposes an 8 × 8 bit matrix held with row i in byte 7 - i (row 0 most
// significant) and column j in bit 7 - j of its byte.
inline std::uint64_t TransposeBits8x8(std::uint64_t m) {
  std::uint64_t t = (m ^ (m >> 7)) & 0x00AA00AA00AA00AAull;
  m ^= t ^ (t << 7);
  t = (m ^ (m >> 14)) & 0x0000CCCC0000CCCCull;
  m ^= t ^ (t << 14);
  t = (m ^ (m >> 28)) & 0x00000000F0F0F0F0ull;
  m ^= t ^ (t << 28);
  return m;
}

// 1 bit: eight target pixels of a byte column come from eight source rows;
// each source byte of those rows gives, after the transpose, one byte for
// each of eight target rows. Target columns beyond the last read a row of
// zeros, which keeps the unused bits of each target row 0.
void RotateQuarter1Bit(const TRaster& source, TRaster& target, const TQuarterTurn& turn) {
  const int targetWidth = target.Width(), sourceWidth = source.Width();
  const int wholeBytes = sourceWidth / 8, sourceBytes = static_cast<int>(source.RowBytes());
  const auto targetRows = TargetRowsBySourceColumn(target, turn);
  std::uint8_t* const* out = targetRows.data();
  const std::vector<std::uint8_t> zeros(static_cast<std::size_t>(sourceBytes), 0);
  const std::uint8_t* rows[8];
  for (int block = 0; block * 8 < targetWidth; ++block) {
    for (int i = 0; i < 8; ++i) {
      const int x = block * 8 + i;
      rows[i] = x < targetWidth ? source.ScanLine(turn.SourceRow(x)) : zeros.data();
    }
    auto transposed = [&](int j) {
      std::uint64_t m = 0;
      for (int i = 0; i < 8; ++i) m = (m << 8) | rows[i][j];
      return TransposeBits8x8(m);
    };
    for (int j = 0; j < wholeBytes; ++j) {
      const std::uint64_t m = transposed(j);
      std::uint8_t* const* column = out + 8 * j;
      for (int k = 0; k < 8; ++k) column[k][block] = static_cast<std::uint8_t>(m >> (56 - 8 * k));
    }
    if (wholeBytes < sourceBytes) {
      const std::uint64_t m = transposed(wholeBytes);
      for (int c = 8 * wholeBytes, k = 0; c < sourceWidth; ++c, ++k) out[c][block] = static_cast<std::uint8_t>(m >> (56 - 8 * k));
    }
  }
}

TRaster RotatedQuarter(const TRaster& source, bool counterClockwise) {
  if (source.Empty() || !IsEditableFormat(source.PixelFormat())) return TRaster();
  // Every pixel byte of the target is written below.
  TRaster target = TRaster::WithUnsetPixels(source.Height(), source.Width(), source.PixelFormat());
  target.SetPaletteKeepingIndices(source.Palette());
  const TQuarterTurn turn{counterClockwise, source.Width(), source.Height()};
  switch (source.PixelFormat()) {
    case TPixelFormat::pf1bit: RotateQuarter1Bit(source, target, turn); break;
    case TPixelFormat::pf4bit: RotateQuarterTiled<4>(source, target, turn); break;
    case TPixelFormat::pf8bit: RotateQuarter8Bit(source, target, turn); break;
    default: RotateQuarter24Bit(source, target, turn); break;
  }
  return target;
}

}  // namespace

TRaster RotatedCounterClockwise(const TRaster& source) { return RotatedQuarter(source, true); }
TRaster RotatedClockwise(const TRaster& source) { return RotatedQuarter(source, false); }

void RotateHalfTurn(TRaster& raster) {
  if (raster.Empty() || !IsEditableFormat(raster.PixelFormat())) return;
  const std::size_t bytes = raster.RowBytes();
  std::vector<std::uint8_t> saved(bytes);
  const int width = raster.Width();
  const TPixelFormat format = raster.PixelFormat();
  for (int top = 0, bottom = raster.Height() - 1; top <= bottom; ++top, --bottom) {
    ReverseRowPixels(raster.ScanLine(top), saved.data(), width, format);
    if (top != bottom) ReverseRowPixels(raster.ScanLine(bottom), raster.ScanLine(top), width, format);
    std::memcpy(raster.ScanLine(bottom), saved.data(), bytes);
  }
}

}  // namespace pagewell
