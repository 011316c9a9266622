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

template <int Bits>
void RotateQuarterTiled(const TRaster& source, TRaster& target, const TQuarterTurn& turn) {
  using Pixels = TPackedPixels<Bits>;
  const int width = target.Width(), height = target.Height();
  std::vector<const std::uint8_t*> sourceRows(static_cast<std::size_t>(width));
  for (int x = 0; x < width; ++x) sourceRows[static_cast<std::size_t>(x)] = source.ScanLine(turn.SourceRow(x));
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
// each of eight target rows.
void RotateQuarter1Bit(const TRaster& source, TRaster& target, const TQuarterTurn& turn) {
  const int targetWidth = target.Width();
  const int sourceBytes = static_cast<int>(source.RowBytes());
  std::vector<std::uint8_t> zeros(static_cast<std::size_t>(sourceBytes), 0);
  const std::uint8_t* rows[8];
  for (int block = 0; block * 8 < targetWidth; ++block) {
    for (int i = 0; i < 8; ++i) {
      const int x = block * 8 + i;
      rows[i] = x < targetWidth ? source.ScanLine(turn.SourceRow(x)) : zeros.data();
    }
    for (int j = 0; j < sourceBytes; ++j) {
      std::uint64_t m = 0;
      for (int i = 0; i < 8; ++i) m = (m << 8) | rows[i][j];
      m = TransposeBits8x8(m);
      for (int k = 0; k < 8; ++k) {
        const int sourceColumn = j * 8 + k;
        if (sourceColumn >= source.Width()) break;
        const int y = turn.counterClockwise ? source.Width() - 1 - sourceColumn : sourceColumn;
        target.ScanLine(y)[block] = static_cast<std::uint8_t>(m >> (56 - 8 * k));
      }
    }
  }
}

TRaster RotatedQuarter(const TRaster& source, bool counterClockwise) {
  if (source.Empty() || !IsEditableFormat(source.PixelFormat())) return TRaster();
  TRaster target(source.Height(), source.Width(), source.PixelFormat());
  target.SetPaletteKeepingIndices(source.Palette());
  const TQuarterTurn turn{counterClockwise, source.Width(), source.Height()};
  switch (source.PixelFormat()) {
    case TPixelFormat::pf1bit: RotateQuarter1Bit(source, target, turn); break;
    case TPixelFormat::pf4bit: RotateQuarterTiled<4>(source, target, turn); break;
    case TPixelFormat::pf8bit: RotateQuarterTiled<8>(source, target, turn); break;
    default: RotateQuarterTiled<24>(source, target, turn); break;
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
