// Exact rotation by 90, 180 and 270 degrees.
//
// A quarter turn reads the source column by column, which walks across
// memory. The work is therefore done in tiles and blocks small enough that
// the source rows they read stay in the first-level cache while their
// target rows are written. The blocks are transposed in vector registers
// (SSE2, or AVX2 where the processor has it); 1-bit rasters are transposed
// by bytes first and then by bits within them, with AVX-512 and GFNI where
// the processor has them.
#include "imaging/rotate_orthogonal.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "imaging/cpu_features.h"
#include "imaging/flip.h"
#include "imaging/packed_pixels.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if PAGEWELL_AVX2_LOOPS
#include <immintrin.h>
#endif

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

// The row pointers of both sides of a quarter turn: the source row shown in
// each target column, and the target row showing each source column. Both
// mappings differ between the two directions of the turn; once they are in
// these tables, the moves below are the same for both.
struct TTurnRows {
  std::vector<const std::uint8_t*> source;  // by target column
  std::vector<std::uint8_t*> target;        // by source column
};

TTurnRows TurnRows(const TRaster& source, TRaster& target, const TQuarterTurn& turn) {
  return TTurnRows{SourceRowsByTargetColumn(source, turn), TargetRowsBySourceColumn(target, turn)};
}

// 8 and 24 bits go in strips of source columns (target rows). A strip is
// moved in blocks of a few source rows: the block's pieces of those rows are
// read while its target rows are written, each target row a whole block
// wide at a time. The pieces of the rows two blocks further down are
// fetched ahead: the rows lie a page apart or more, which the processor's
// own prefetching does not follow, and without the hint every piece would
// wait for memory.
//
// Measured on 300 dpi pages: strips of 64 columns (a cache line of each
// source row) suit 8 bits, 32 columns (96 bytes) 24 bits; strips taken in
// the order of their target rows, top to bottom, are a third faster than
// the other way round; and the columns inside a strip must be read left to
// right (reading them right to left was four times slower), which lets the
// processor fetch the next piece of each source row by itself.
constexpr int kBlocksAhead = 2;

// The blocks a quarter turn moves: `columns` source columns (target rows)
// of `rows` source rows (target columns) each.
struct TBlockShape {
  int columns;
  int rows;
  int bytesPerPixel;
  int stripColumns;
};

// Calls move(sourceRows, c, x) for blocks that together cover source
// columns [0, columns) and target columns [0, targetColumns): sourceRows
// are the source rows shown from target column x on, and the block's first
// source column is c. Where a size is not a whole number of blocks, the
// last block is moved back to end at the edge and overlaps the one before
// it, writing a few pixels twice with the same values; a pixel-wise pass
// over the rest would cost more. Both sizes must be at least one block.
// Always inlined: in the AVX2 versions this lets the block moves inline in
// turn, which they can only do inside a function compiled for AVX2.
template <typename MoveBlock>
[[gnu::always_inline]] inline void MoveInBlocks(const TTurnRows& rows, const TQuarterTurn& turn, const TBlockShape& shape, int columns,
                  int targetColumns, MoveBlock move) {
  const int strips = (columns + shape.stripColumns - 1) / shape.stripColumns;
  const auto pixelBytes = static_cast<std::size_t>(shape.bytesPerPixel);
  for (int strip = 0; strip < strips; ++strip) {
    const int first = (turn.counterClockwise ? strips - 1 - strip : strip) * shape.stripColumns;
    const int end = std::min(columns, first + shape.stripColumns);
    const std::size_t offset = pixelBytes * static_cast<std::size_t>(first);
    const std::size_t bytes = pixelBytes * static_cast<std::size_t>(end - first);
    for (int x = 0; x < targetColumns; x += shape.rows) {
      const int at = std::min(x, targetColumns - shape.rows);
      const int ahead = at + kBlocksAhead * shape.rows;
      if (ahead < targetColumns) {
        PrefetchPieces(&rows.source[static_cast<std::size_t>(ahead)], std::min(shape.rows, targetColumns - ahead), offset, bytes);
      }
      for (int c = first; c < end; c += shape.columns) {
        move(&rows.source[static_cast<std::size_t>(at)], std::min(c, columns - shape.columns), at);
      }
    }
  }
}

// The pixels the blocks leave: target columns from `targetColumns` on, and
// every pixel of the source columns from `columns` on.
void MoveRemainingPixels(const TTurnRows& rows, int columns, int targetColumns, int sourceWidth, int targetWidth,
                         int bytesPerPixel) {
  const auto size = static_cast<std::size_t>(bytesPerPixel);
  for (int c = 0; c < sourceWidth; ++c) {
    std::uint8_t* out = rows.target[static_cast<std::size_t>(c)];
    const std::size_t offset = size * static_cast<std::size_t>(c);
    for (int x = c < columns ? targetColumns : 0; x < targetWidth; ++x) {
      std::memcpy(out + size * static_cast<std::size_t>(x), rows.source[static_cast<std::size_t>(x)] + offset, size);
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

// Eight bytes from `column` on of each of eight rows, row j in word j.
inline void LoadRows(const std::uint8_t* const* rows, std::size_t column, std::uint64_t m[8]) {
  for (int j = 0; j < 8; ++j) std::memcpy(&m[j], rows[j] + column, 8);
}

// 8 bits, blocks of 16 × 16 pixels: sixteen bytes from each of sixteen
// source rows are transposed, and target row i of the block receives
// source column column + i, sixteen pixels at x. Only whole blocks of
// source columns are moved this way.
constexpr int kByteBlock = 16;

#if defined(__SSE2__)
// Four rounds of interleaving row i with row i + 8 (a perfect shuffle of
// the rows) transpose the block. The rounds are written out, each from one
// array into the other: as loops they stay loops at -O2.
inline void ShuffleRows(const __m128i* in, __m128i* out) {
  out[0] = _mm_unpacklo_epi8(in[0], in[8]), out[1] = _mm_unpackhi_epi8(in[0], in[8]);
  out[2] = _mm_unpacklo_epi8(in[1], in[9]), out[3] = _mm_unpackhi_epi8(in[1], in[9]);
  out[4] = _mm_unpacklo_epi8(in[2], in[10]), out[5] = _mm_unpackhi_epi8(in[2], in[10]);
  out[6] = _mm_unpacklo_epi8(in[3], in[11]), out[7] = _mm_unpackhi_epi8(in[3], in[11]);
  out[8] = _mm_unpacklo_epi8(in[4], in[12]), out[9] = _mm_unpackhi_epi8(in[4], in[12]);
  out[10] = _mm_unpacklo_epi8(in[5], in[13]), out[11] = _mm_unpackhi_epi8(in[5], in[13]);
  out[12] = _mm_unpacklo_epi8(in[6], in[14]), out[13] = _mm_unpackhi_epi8(in[6], in[14]);
  out[14] = _mm_unpacklo_epi8(in[7], in[15]), out[15] = _mm_unpackhi_epi8(in[7], in[15]);
}

inline void MoveByteBlock(const std::uint8_t* const* rows, std::size_t column, std::uint8_t* const* out, std::size_t x) {
  __m128i a[kByteBlock], b[kByteBlock];
  for (int i = 0; i < kByteBlock; ++i) a[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[i] + column));
  ShuffleRows(a, b), ShuffleRows(b, a), ShuffleRows(a, b), ShuffleRows(b, a);
  for (int i = 0; i < kByteBlock; ++i) _mm_storeu_si128(reinterpret_cast<__m128i*>(out[i] + x), a[i]);
}
#else
// Without SSE2 the block is four 8 × 8 transposes in 64-bit words.
inline void MoveByteBlock(const std::uint8_t* const* rows, std::size_t column, std::uint8_t* const* out, std::size_t x) {
  for (int top = 0; top < kByteBlock; top += 8) {
    for (int left = 0; left < kByteBlock; left += 8) {
      std::uint64_t m[8];
      LoadRows(rows + top, column + static_cast<std::size_t>(left), m);
      TransposeBytes8x8(m);
      for (int i = 0; i < 8; ++i) std::memcpy(out[left + i] + x + top, &m[i], 8);
    }
  }
}
#endif

#if PAGEWELL_AVX2_LOOPS
// AVX2: the same transpose on two blocks at once, one in each 128-bit half
// of the registers. Register i holds source row i in its lower half and row
// i + 16 in its upper half; after the shuffles register i holds source
// column column + i of all 32 rows, row j in byte j. The loops are unrolled
// by request: as loops the registers would live in memory.
PAGEWELL_TARGET_AVX2 inline void ShuffleRows256(const __m256i* in, __m256i* out) {
#pragma GCC unroll 8
  for (int i = 0; i < 8; ++i) {
    out[2 * i] = _mm256_unpacklo_epi8(in[i], in[i + 8]);
    out[2 * i + 1] = _mm256_unpackhi_epi8(in[i], in[i + 8]);
  }
}

PAGEWELL_TARGET_AVX2 inline __m256i LoadTwoRows(const std::uint8_t* lower, const std::uint8_t* upper) {
  const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lower));
  return _mm256_inserti128_si256(_mm256_castsi128_si256(low), _mm_loadu_si128(reinterpret_cast<const __m128i*>(upper)), 1);
}

// Sixteen bytes from `column` on of 32 rows, the rows taken in the order
// `order` gives (row order[j] ends up in byte j).
PAGEWELL_TARGET_AVX2 inline void TransposeBytes32x16(const std::uint8_t* const* rows, const std::uint8_t* order,
                                                     std::size_t column, __m256i a[16]) {
  __m256i b[16];
#pragma GCC unroll 16
  for (int i = 0; i < 16; ++i) a[i] = LoadTwoRows(rows[order[i]] + column, rows[order[i + 16]] + column);
  ShuffleRows256(a, b), ShuffleRows256(b, a), ShuffleRows256(a, b), ShuffleRows256(b, a);
}

constexpr std::uint8_t kRowsInOrder[32] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
                                           16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31};

PAGEWELL_TARGET_AVX2 void RotateQuarter8BitAvx2(const TTurnRows& rows, const TQuarterTurn& turn, int sourceWidth, int targetWidth) {
  const TBlockShape shape{kByteBlock, 32, 1, 4 * kByteBlock};
  MoveInBlocks(rows, turn, shape, sourceWidth, targetWidth, [&](const std::uint8_t* const* from, int c, int x) PAGEWELL_TARGET_AVX2 {
    __m256i a[16];
    TransposeBytes32x16(from, kRowsInOrder, static_cast<std::size_t>(c), a);
    std::uint8_t* const* out = &rows.target[static_cast<std::size_t>(c)];
#pragma GCC unroll 16
    for (int i = 0; i < 16; ++i) _mm256_storeu_si256(reinterpret_cast<__m256i*>(out[i] + x), a[i]);
  });
}
#endif

void RotateQuarter8Bit(const TRaster& source, TRaster& target, const TQuarterTurn& turn) {
  const TTurnRows rows = TurnRows(source, target, turn);
  const int sourceWidth = source.Width(), targetWidth = target.Width();
#if PAGEWELL_AVX2_LOOPS
  if (ProcessorHasAvx2() && sourceWidth >= kByteBlock && targetWidth >= 32) {
    RotateQuarter8BitAvx2(rows, turn, sourceWidth, targetWidth);
    return;
  }
#endif
  if (sourceWidth < kByteBlock || targetWidth < kByteBlock) {
    MoveRemainingPixels(rows, 0, 0, sourceWidth, targetWidth, 1);
    return;
  }
  const TBlockShape shape{kByteBlock, kByteBlock, 1, 4 * kByteBlock};
  MoveInBlocks(rows, turn, shape, sourceWidth, targetWidth, [&](const std::uint8_t* const* from, int c, int x) {
    MoveByteBlock(from, static_cast<std::size_t>(c), &rows.target[static_cast<std::size_t>(c)], static_cast<std::size_t>(x));
  });
}

// 24 bits: eight pixels of one source column, from eight source rows, are
// put together into the 24 bytes they fill in the target row. Each pixel is
// read as a 4-byte word whose fourth byte (the next pixel's first) is
// dropped; that is why the source's last column is left to the pixel-wise
// remainder, where the word could reach past the row.
inline std::uint32_t LoadWord(const std::uint8_t* p) {
  std::uint32_t w;
  std::memcpy(&w, p, 4);
  return w;
}

inline void StoreWord(std::uint8_t* p, std::uint64_t w) { std::memcpy(p, &w, 8); }

inline void MovePixelRun24(const std::uint8_t* const* rows, std::size_t offset, std::uint8_t* out) {
  constexpr std::uint64_t kPixel = 0xFFFFFF;
  const std::uint64_t a = LoadWord(rows[0] + offset) & kPixel, b = LoadWord(rows[1] + offset) & kPixel;
  const std::uint64_t c = LoadWord(rows[2] + offset) & kPixel, d = LoadWord(rows[3] + offset) & kPixel;
  const std::uint64_t e = LoadWord(rows[4] + offset) & kPixel, f = LoadWord(rows[5] + offset) & kPixel;
  const std::uint64_t g = LoadWord(rows[6] + offset) & kPixel, h = LoadWord(rows[7] + offset);
  StoreWord(out, a | b << 24 | c << 48);
  StoreWord(out + 8, c >> 16 | d << 8 | e << 32 | f << 56);
  StoreWord(out + 16, f >> 8 | g << 16 | h << 40);
}

#if PAGEWELL_AVX2_LOOPS
// AVX2, blocks of four source columns of eight source rows: the pixels are
// widened to 4-byte words, transposed as 4 × 4 words in each 128-bit half
// (rows 0 to 3 in the lower half, 4 to 7 in the upper), and narrowed to
// 3 bytes again, 24 target bytes per target row. Each half is stored as 16
// bytes, of which the last 4 are overwritten by the next store; the last
// two target columns are therefore left to the pixel-wise pass, as are the
// last two source columns, whose 16-byte loads would reach past the row.
PAGEWELL_TARGET_AVX2 inline void MovePixelBlock24(const std::uint8_t* const* rows, std::size_t offset,
                                                  std::uint8_t* const* out, std::size_t targetOffset) {
  const __m256i widen = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1,  //
                                         0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
  const __m256i narrow = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1,  //
                                          0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
  __m256i v[4];
#pragma GCC unroll 4
  for (int i = 0; i < 4; ++i) v[i] = _mm256_shuffle_epi8(LoadTwoRows(rows[i] + offset, rows[i + 4] + offset), widen);
  const __m256i t0 = _mm256_unpacklo_epi32(v[0], v[1]), t1 = _mm256_unpackhi_epi32(v[0], v[1]);
  const __m256i t2 = _mm256_unpacklo_epi32(v[2], v[3]), t3 = _mm256_unpackhi_epi32(v[2], v[3]);
  const __m256i columns[4] = {_mm256_unpacklo_epi64(t0, t2), _mm256_unpackhi_epi64(t0, t2), _mm256_unpacklo_epi64(t1, t3),
                              _mm256_unpackhi_epi64(t1, t3)};
#pragma GCC unroll 4
  for (int j = 0; j < 4; ++j) {
    const __m256i packed = _mm256_shuffle_epi8(columns[j], narrow);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out[j] + targetOffset), _mm256_castsi256_si128(packed));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out[j] + targetOffset + 12), _mm256_extracti128_si256(packed, 1));
  }
}

PAGEWELL_TARGET_AVX2 void RotateQuarter24BitAvx2(const TTurnRows& rows, const TQuarterTurn& turn, int columns, int targetColumns) {
  // Two blocks of eight source rows at a time: 48 bytes of each target row
  // written in one visit measured some 10% faster than 24 (and 96 slower).
  const TBlockShape shape{4, 16, 3, 32};
  MoveInBlocks(rows, turn, shape, columns, targetColumns, [&](const std::uint8_t* const* from, int c, int x) PAGEWELL_TARGET_AVX2 {
    std::uint8_t* const* out = &rows.target[static_cast<std::size_t>(c)];
    MovePixelBlock24(from, 3 * static_cast<std::size_t>(c), out, 3 * static_cast<std::size_t>(x));
    MovePixelBlock24(from + 8, 3 * static_cast<std::size_t>(c), out, 3 * static_cast<std::size_t>(x + 8));
  });
}
#endif

void RotateQuarter24Bit(const TRaster& source, TRaster& target, const TQuarterTurn& turn) {
  constexpr int kRun = 8, kColumns = 32;
  const TTurnRows rows = TurnRows(source, target, turn);
  const int sourceWidth = source.Width(), targetWidth = target.Width();
  // Neither kind of block reads the last two source columns.
  const int columns = sourceWidth - 2;
#if PAGEWELL_AVX2_LOOPS
  if (ProcessorHasAvx2() && columns >= 4 && targetWidth - 2 >= 16) {
    RotateQuarter24BitAvx2(rows, turn, columns, targetWidth - 2);
    MoveRemainingPixels(rows, columns, targetWidth - 2, sourceWidth, targetWidth, 3);
    return;
  }
#endif
  if (columns < kColumns || targetWidth < kRun) {
    MoveRemainingPixels(rows, 0, 0, sourceWidth, targetWidth, 3);
    return;
  }
  const TBlockShape shape{kColumns, kRun, 3, kColumns};
  MoveInBlocks(rows, turn, shape, columns, targetWidth, [&](const std::uint8_t* const* from, int c, int x) {
    // A local copy of the row pointers: the pixel stores could otherwise
    // change the table as far as the compiler knows, and every pointer
    // would be read again for every column.
    const std::uint8_t* run[kRun];
    std::copy(from, from + kRun, run);
    for (int j = c; j < c + kColumns; ++j) {
      MovePixelRun24(run, 3 * static_cast<std::size_t>(j), rows.target[static_cast<std::size_t>(j)] + 3 * static_cast<std::size_t>(x));
    }
  });
  MoveRemainingPixels(rows, columns, targetWidth, sourceWidth, targetWidth, 3);
}

// Transposes an 8 × 8 bit matrix held with row i in byte 7 - i (row 0 most
// significant) and column j in bit 7 - j of its byte: the transpose of
// Hacker's Delight, swapping bits, then 2 × 2 and 4 × 4 blocks across the
// diagonal.
inline std::uint64_t TransposeBits8x8(std::uint64_t m) {
  std::uint64_t t = (m ^ (m >> 7)) & 0x00AA00AA00AA00AAull;
  m ^= t ^ (t << 7);
  t = (m ^ (m >> 14)) & 0x0000CCCC0000CCCCull;
  m ^= t ^ (t << 14);
  t = (m ^ (m >> 28)) & 0x00000000F0F0F0F0ull;
  m ^= t ^ (t << 28);
  return m;
}

// 1 bit, in tiles of eight target bytes (64 target columns, from 64 source
// rows). Each target byte is the bit transpose of one source byte from each
// of eight source rows, and the bytes are moved around with byte transposes
// rather than one at a time: eight bytes of each of eight source rows, read
// as words, give after a byte transpose the eight source bytes of each
// transpose; and the eight transposed words of one source byte (one per
// eight source rows) give after a byte transpose every target row of the
// tile its eight bytes as one word. A tile reads 64 source rows that stay in
// the first-level cache from one source byte to the next. Source rows past
// the target's width are a row of zeros, which keeps the unused bits of
// each target row 0.
constexpr int kTileBytes = 8;

// The eight source bytes from j on of the eight rows, each as it is to be
// transposed: row i in byte 7 - i (row 0 most significant).
inline void GatherBytes(const std::uint8_t* const* eight, std::size_t j, std::uint64_t gathered[8]) {
  LoadRows(eight, j, gathered);
  TransposeBytes8x8(gathered);  // word i: byte j + i of the rows, row r in byte r
  for (int i = 0; i < 8; ++i) gathered[i] = __builtin_bswap64(gathered[i]);
}

// One source byte j, gathered byte by byte: for the last bytes of a row,
// where eight could not be read.
inline std::uint64_t GatherByte(const std::uint8_t* const* eight, std::size_t j) {
  std::uint64_t gathered = 0;
  for (int i = 0; i < 8; ++i) gathered = (gathered << 8) | eight[i][j];
  return gathered;
}

// m[b]: the transposed byte of source rows 8b to 8b + 7, target row k of
// the tile in byte 7 - k. Writes the target bytes from `tile` on of the
// rows showing source columns 8j to 8j + 7.
inline void StoreTile(std::uint64_t m[kTileBytes], const std::vector<std::uint8_t*>& targetRows, int j, int tile,
                      int bytes, int sourceWidth) {
  TransposeBytes8x8(m);  // word 7 - k: row k's bytes in target order
  const int columns = std::min(8, sourceWidth - 8 * j);
  for (int k = 0; k < columns; ++k) {
    std::memcpy(targetRows[static_cast<std::size_t>(8 * j + k)] + tile, &m[7 - k], static_cast<std::size_t>(bytes));
  }
}

// The tiles of the portable version.
void MoveBitTiles(const std::vector<const std::uint8_t*>& sourceRows, const std::vector<std::uint8_t*>& targetRows,
                  int sourceBytes, int targetBytes, int sourceWidth) {
  const int wordBytes = sourceBytes / 8 * 8;
  for (int tile = 0; tile < targetBytes; tile += kTileBytes) {
    const int bytes = std::min(kTileBytes, targetBytes - tile);
    const std::uint8_t* const* rows = &sourceRows[8 * static_cast<std::size_t>(tile)];
    for (int j = 0; j < wordBytes; j += 8) {
      std::uint64_t m[8][kTileBytes];  // m[i][b]: source byte j + i of rows 8b on, transposed
      for (int b = 0; b < kTileBytes; ++b) {
        std::uint64_t gathered[8];
        GatherBytes(rows + 8 * b, static_cast<std::size_t>(j), gathered);
        for (int i = 0; i < 8; ++i) m[i][b] = TransposeBits8x8(gathered[i]);
      }
      for (int i = 0; i < 8; ++i) StoreTile(m[i], targetRows, j + i, tile, bytes, sourceWidth);
    }
    for (int j = wordBytes; j < sourceBytes; ++j) {
      std::uint64_t m[kTileBytes];
      for (int b = 0; b < kTileBytes; ++b) m[b] = TransposeBits8x8(GatherByte(rows + 8 * b, static_cast<std::size_t>(j)));
      StoreTile(m, targetRows, j, tile, bytes, sourceWidth);
    }
  }
}

#if PAGEWELL_AVX2_LOOPS
// AVX2: sixteen source bytes of 32 source rows are transposed as at 8
// bits, giving one register per source byte with a byte from each row. The
// top bits of a register's bytes (vpmovmskb) are then the source byte's
// first column in those 32 rows: 32 target pixels of one target row, and
// adding each byte to itself brings up the next column. The rows are taken
// in the order that puts every pixel where the target row keeps it, the
// leftmost of each byte in its top bit: byte k holds the row of target
// pixel 8 × (k div 8) + 7 - k mod 8.
constexpr std::uint8_t kRowsInBitOrder[32] = {7,  6,  5,  4,  3,  2,  1,  0,  15, 14, 13, 12, 11, 10, 9,  8,
                                              23, 22, 21, 20, 19, 18, 17, 16, 31, 30, 29, 28, 27, 26, 25, 24};

PAGEWELL_TARGET_AVX2 inline void StoreColumnBits(__m256i column, std::uint8_t* const* targetRows, std::size_t targetByte, int count) {
  for (int k = 0; k < count; ++k) {
    const auto bits = static_cast<std::uint32_t>(_mm256_movemask_epi8(column));
    std::memcpy(targetRows[k] + targetByte, &bits, 4);
    column = _mm256_add_epi8(column, column);
  }
}

PAGEWELL_TARGET_AVX2 inline void StoreColumnBits8(__m256i column, std::uint8_t* const* targetRows, std::size_t targetByte) {
#pragma GCC unroll 8
  for (int k = 0; k < 8; ++k) {
    const auto bits = static_cast<std::uint32_t>(_mm256_movemask_epi8(column));
    std::memcpy(targetRows[k] + targetByte, &bits, 4);
    column = _mm256_add_epi8(column, column);
  }
}

// Two registers of 32 rows each give 64 target pixels, stored as one word.
PAGEWELL_TARGET_AVX2 inline void StoreColumnBits8Wide(__m256i upper, __m256i lower, std::uint8_t* const* targetRows,
                                                      std::size_t targetByte) {
#pragma GCC unroll 8
  for (int k = 0; k < 8; ++k) {
    const std::uint64_t bits = static_cast<std::uint32_t>(_mm256_movemask_epi8(upper)) |
                               static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(lower))) << 32;
    std::memcpy(targetRows[k] + targetByte, &bits, 8);
    upper = _mm256_add_epi8(upper, upper);
    lower = _mm256_add_epi8(lower, lower);
  }
}

// Tiles of 64 target columns (8 target bytes) while the row has room for
// them, then of 32; the last sixteen source bytes of a row are read again
// where the row is not a whole number of them. The rows must be at least
// sixteen bytes long.
PAGEWELL_TARGET_AVX2 void MoveBitTilesAvx2(const std::vector<const std::uint8_t*>& sourceRows,
                                           const std::vector<std::uint8_t*>& targetRows, int sourceBytes, int targetBytes,
                                           std::size_t targetStride, int sourceWidth) {
  constexpr int kBytes = 16;
  const int wholeBytes = sourceWidth / 8;
  int tile = 0;
  for (; tile < targetBytes && static_cast<std::size_t>(tile) + 8 <= targetStride; tile += 8) {
    const std::uint8_t* const* rows = &sourceRows[8 * static_cast<std::size_t>(tile)];
    for (int first = 0; first < sourceBytes; first += kBytes) {
      const int j = std::min(first, sourceBytes - kBytes);
      __m256i a[kBytes], c[kBytes];
      TransposeBytes32x16(rows, kRowsInBitOrder, static_cast<std::size_t>(j), a);
      TransposeBytes32x16(rows + 32, kRowsInBitOrder, static_cast<std::size_t>(j), c);
      for (int b = 0; b < kBytes; ++b) {
        std::uint8_t* const* out = &targetRows[8 * static_cast<std::size_t>(j + b)];
        if (j + b < wholeBytes) {
          StoreColumnBits8Wide(a[b], c[b], out, static_cast<std::size_t>(tile));
        } else {
          StoreColumnBits(a[b], out, static_cast<std::size_t>(tile), sourceWidth - 8 * (j + b));
          StoreColumnBits(c[b], out, static_cast<std::size_t>(tile) + 4, sourceWidth - 8 * (j + b));
        }
      }
    }
  }
  for (; tile < targetBytes; tile += 4) {
    const std::uint8_t* const* rows = &sourceRows[8 * static_cast<std::size_t>(tile)];
    for (int first = 0; first < sourceBytes; first += kBytes) {
      const int j = std::min(first, sourceBytes - kBytes);
      __m256i a[kBytes];
      TransposeBytes32x16(rows, kRowsInBitOrder, static_cast<std::size_t>(j), a);
      for (int b = 0; b < kBytes; ++b) {
        std::uint8_t* const* out = &targetRows[8 * static_cast<std::size_t>(j + b)];
        if (j + b < wholeBytes) {
          StoreColumnBits8(a[b], out, static_cast<std::size_t>(tile));
        } else {
          StoreColumnBits(a[b], out, static_cast<std::size_t>(tile), sourceWidth - 8 * (j + b));
        }
      }
    }
  }
}

// AVX-512 with byte permutes (VBMI) and GFNI, in tiles of sixteen source
// bytes of 64 source rows. A tile is cut into 8 × 8-bit blocks, each one
// byte column of eight source rows. A byte permute gathers each block into
// one 64-bit word; gf2p8affineqb transposes the bits of the eight words of a
// register at once, giving eight target rows one byte each; and three
// rounds of two-register byte permutes bring together the bytes of each
// target row from the tile's eight row groups into one word. This does
// without the per-bit-plane extraction of the AVX2 version, which costs
// about twice as much.
constexpr int kBitTileBytes = 16;  // source bytes per tile

// GCC 12's AVX-512 insert and extract intrinsics fill their unused operand
// with a self-initialised variable, which its own uninitialised-use checks
// then report wherever they are inlined.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

// The permute tables, as byte indices into the 128 bytes of two registers.
struct TBitTilePermutes {
  std::uint8_t blocks[2][64];    // half: rows of sixteen bytes -> blocks of the first or last eight bytes
  std::uint8_t merge[3][2][64];  // round, half: 2^round row groups per register -> twice as many
};

// Gathering the blocks: the two registers hold rows k = 0..7 at bytes 16k to
// 16k + 15; block c of the first or second half (byte c or 8 + c of each
// row) becomes word c, with row k in byte k.
// Merging: in round r, each register holds for n = 8 >> r byte columns c,
// eight target rows q and m = 1 << r row groups g the byte (c, q, g) at
// (c × 8 + q) × m + g. The first half takes the first n / 2 columns of two
// such registers, the second half the others; the second register's groups
// follow the first's.
constexpr TBitTilePermutes MakeBitTilePermutes() {
  TBitTilePermutes p{};
  for (int half = 0; half < 2; ++half) {
    for (int c = 0; c < 8; ++c) {
      for (int k = 0; k < 8; ++k) p.blocks[half][8 * c + k] = static_cast<std::uint8_t>(16 * k + 8 * half + c);
    }
  }
  for (int round = 0; round < 3; ++round) {
    const int n = 8 >> round, m = 1 << round;
    for (int half = 0; half < 2; ++half) {
      for (int c = 0; c < n / 2; ++c) {
        for (int q = 0; q < 8; ++q) {
          for (int h = 0; h < 2; ++h) {
            for (int g = 0; g < m; ++g) {
              const int from = 64 * h + ((half * n / 2 + c) * 8 + q) * m + g;
              p.merge[round][half][(c * 8 + q) * 2 * m + h * m + g] = static_cast<std::uint8_t>(from);
            }
          }
        }
      }
    }
  }
  return p;
}

constexpr TBitTilePermutes kBitTilePermutes = MakeBitTilePermutes();

// Rows at a fixed distance from each other, indexed like a table of row
// pointers: the rows of a page, in either direction. Their addresses are
// computed rather than read from a table.
template <typename Byte>
struct TRowRun {
  Byte* first;
  std::ptrdiff_t step;
  Byte* operator[](int k) const { return first + k * step; }
  TRowRun operator+(int k) const { return TRowRun{first + k * step, step}; }
};

// The rows of a tile that reaches past the source's last row: those past it
// are a row of zeros, which keeps the unused bits of the target rows 0.
struct TPaddedRows {
  const std::uint8_t* rows[128];
  const std::uint8_t* const* operator+(int k) const { return rows + k; }
};

PAGEWELL_TARGET_AVX512 inline __m512i LoadPermute(const std::uint8_t* table) { return _mm512_loadu_si512(table); }

// Sixteen bytes from j on of four rows, row k in bytes 16k to 16k + 15.
template <typename Rows>
PAGEWELL_TARGET_AVX512 inline __m512i LoadFourRows(const Rows& rows, std::size_t j) {
  const auto row = [&](int k) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[k] + j)); };
  const __m256i upper = _mm256_inserti128_si256(_mm256_castsi128_si256(row(0)), row(1), 1);
  const __m256i lower = _mm256_inserti128_si256(_mm256_castsi128_si256(row(2)), row(3), 1);
  return _mm512_inserti64x4(_mm512_castsi256_si512(upper), lower, 1);
}

// Transposes the bits of every word: byte k, bit 7 - q (row k, column q)
// goes to byte q, bit 7 - k. The affine transform computes bit i of its
// result byte as the parity of that byte and byte 7 - i of the word; with
// byte q set to the column's bit alone, that is bit 7 - q of word byte 7 - i.
PAGEWELL_TARGET_AVX512 inline __m512i TransposeWordBits(__m512i words) {
  return _mm512_gf2p8affine_epi64_epi8(_mm512_set1_epi64(0x0102040810204080ll), words, 0);
}

// One round of merging, applied to the eight registers of a tile half. They
// are held column range by column range, and within a range by row groups;
// each pair of neighbouring group ranges gives one register of the range's
// first half of the columns and one of its second half.
template <int Round>
PAGEWELL_TARGET_AVX512 inline void MergeRowGroups(__m512i regs[8]) {
  const __m512i first = LoadPermute(kBitTilePermutes.merge[Round][0]);
  const __m512i second = LoadPermute(kBitTilePermutes.merge[Round][1]);
  constexpr int groupRanges = 8 >> Round, columnRanges = 1 << Round, pairs = groupRanges / 2;
  __m512i merged[8];
#pragma GCC unroll 8
  for (int range = 0; range < columnRanges; ++range) {
#pragma GCC unroll 8
    for (int p = 0; p < pairs; ++p) {
      const __m512i a = regs[range * groupRanges + 2 * p], b = regs[range * groupRanges + 2 * p + 1];
      merged[2 * range * pairs + p] = _mm512_permutex2var_epi8(a, first, b);
      merged[(2 * range + 1) * pairs + p] = _mm512_permutex2var_epi8(a, second, b);
    }
  }
#pragma GCC unroll 8
  for (int i = 0; i < 8; ++i) regs[i] = merged[i];
}

// Writes word q of `words` to target row q for the first `count` rows,
// `bytes` bytes from targetByte on: at the last source byte of a row and
// the last tiles.
template <typename Rows>
PAGEWELL_TARGET_AVX512 inline void StoreSomeRowWords(__m512i words, const Rows& out, std::size_t targetByte,
                                                     int count, int bytes) {
  std::uint8_t spilled[64];
  _mm512_storeu_si512(spilled, words);
  for (int q = 0; q < count; ++q) std::memcpy(out[q] + targetByte, spilled + 8 * q, static_cast<std::size_t>(bytes));
}

// Turns sixteen source bytes from j on of 64 source rows into eight bytes of
// the 128 target rows they show: words[half][c] holds the eight target rows
// of source byte j + 8 × half + c, one word each.
template <typename Rows>
PAGEWELL_TARGET_AVX512 inline void TransposeBitTile(const Rows& rows, std::size_t j, __m512i first[8],
                                                    __m512i last[8]) {
  const __m512i firstBlocks = LoadPermute(kBitTilePermutes.blocks[0]);
  const __m512i lastBlocks = LoadPermute(kBitTilePermutes.blocks[1]);
#pragma GCC unroll 8
  for (int g = 0; g < 8; ++g) {
    const __m512i upper = LoadFourRows(rows + 8 * g, j), lower = LoadFourRows(rows + 8 * g + 4, j);
    first[g] = TransposeWordBits(_mm512_permutex2var_epi8(upper, firstBlocks, lower));
    last[g] = TransposeWordBits(_mm512_permutex2var_epi8(upper, lastBlocks, lower));
  }
}

// The three rounds: from words of one row group to words of all eight.
PAGEWELL_TARGET_AVX512 inline void MergeAllRowGroups(__m512i words[8]) {
  MergeRowGroups<0>(words);
  MergeRowGroups<1>(words);
  MergeRowGroups<2>(words);
}

// Target rows q = 0..7 of `first` and `second` side by side: 16 bytes each.
template <typename Rows>
PAGEWELL_TARGET_AVX512 inline void StoreRowPairs(__m512i first, __m512i second, const Rows& out,
                                                 std::size_t targetByte) {
  const __m512i even = _mm512_unpacklo_epi64(first, second), odd = _mm512_unpackhi_epi64(first, second);
  const auto store = [&](int q, __m128i two) { _mm_storeu_si128(reinterpret_cast<__m128i*>(out[q] + targetByte), two); };
  store(0, _mm512_castsi512_si128(even));
  store(1, _mm512_castsi512_si128(odd));
  store(2, _mm512_extracti32x4_epi32(even, 1));
  store(3, _mm512_extracti32x4_epi32(odd, 1));
  store(4, _mm512_extracti32x4_epi32(even, 2));
  store(5, _mm512_extracti32x4_epi32(odd, 2));
  store(6, _mm512_extracti32x4_epi32(even, 3));
  store(7, _mm512_extracti32x4_epi32(odd, 3));
}

// Stores the words of one tile half: `upper` from the first 64 source rows,
// `lower` from the next 64, for the target rows of source bytes from
// `first` on. Only the last source byte of a row may show fewer than eight
// target rows, and only there are they written one by one; WholeBytes says
// that the tile does not reach that byte.
template <bool WholeBytes, typename Rows>
PAGEWELL_TARGET_AVX512 inline void StoreWideHalf(const __m512i upper[8], const __m512i lower[8], const Rows& out,
                                                 std::size_t targetByte, int first, int sourceWidth) {
#pragma GCC unroll 8
  for (int c = 0; c < 8; ++c) {
    if (WholeBytes || 8 * (first + c + 1) <= sourceWidth) {
      StoreRowPairs(upper[c], lower[c], out + 8 * c, targetByte);
    } else {
      const int count = std::min(8, sourceWidth - 8 * (first + c));
      StoreSomeRowWords(upper[c], out + 8 * c, targetByte, count, 8);
      StoreSomeRowWords(lower[c], out + 8 * c, targetByte + 8, count, 8);
    }
  }
}

// Source bytes j to j + 15 of the 128 source rows from `rows` on, into
// sixteen bytes from targetByte on of the 128 target rows from `out` on.
// The order of the steps keeps the number of registers in use low enough
// for the compiler to hold nearly all of them.
template <bool WholeBytes, typename SourceRows, typename TargetRows>
PAGEWELL_TARGET_AVX512 inline void MoveWideBitTile(const SourceRows& rows, const TargetRows& out, int j,
                                                   std::size_t targetByte, int sourceWidth) {
  __m512i upper[2][8], lower[2][8];
  TransposeBitTile(rows, static_cast<std::size_t>(j), upper[0], upper[1]);
  MergeAllRowGroups(upper[0]);
  MergeAllRowGroups(upper[1]);
  TransposeBitTile(rows + 64, static_cast<std::size_t>(j), lower[0], lower[1]);
  MergeAllRowGroups(lower[0]);
  StoreWideHalf<WholeBytes>(upper[0], lower[0], out, targetByte, j, sourceWidth);
  MergeAllRowGroups(lower[1]);
  StoreWideHalf<WholeBytes>(upper[1], lower[1], out + 64, targetByte, j + 8, sourceWidth);
}

// The same for 64 source rows and `bytes` (at most eight) target bytes.
template <typename SourceRows, typename TargetRows>
PAGEWELL_TARGET_AVX512 inline void MoveNarrowBitTile(const SourceRows& rows, const TargetRows& out, int j,
                                                     std::size_t targetByte, int bytes, int sourceWidth) {
  __m512i words[2][8];
  TransposeBitTile(rows, static_cast<std::size_t>(j), words[0], words[1]);
  for (int half = 0; half < 2; ++half) {
    MergeAllRowGroups(words[half]);
    for (int c = 0; c < 8; ++c) {
      const int count = std::min(8, sourceWidth - 8 * (j + 8 * half + c));
      StoreSomeRowWords(words[half][c], out + 64 * half + 8 * c, targetByte, count, bytes);
    }
  }
}

// The work goes down bands of source bytes, tile by tile: the band's target
// rows stay in the first-level cache from one tile to the next. Tiles of
// 128 source rows give each target row sixteen bytes at a time, half as
// many stores as tiles of 64; the last tiles, where the row has less room,
// are of 64 rows. The last sixteen source bytes of a row are read again
// where the row is not a whole number of them, and the rows must be at
// least sixteen bytes long.
PAGEWELL_TARGET_AVX512 void RotateQuarter1BitAvx512(const TRaster& source, TRaster& target, const TQuarterTurn& turn) {
  constexpr int kBandBytes = 32;
  const int sourceWidth = source.Width(), sourceHeight = source.Height();
  const auto sourceBytes = static_cast<int>(source.RowBytes()), targetBytes = static_cast<int>(target.RowBytes());
  const auto sourceStep = static_cast<std::ptrdiff_t>(source.RowStride()) * (turn.counterClockwise ? 1 : -1);
  const auto targetStep = static_cast<std::ptrdiff_t>(target.RowStride()) * (turn.counterClockwise ? -1 : 1);
  // Source rows by target column, target rows by source column.
  const TRowRun<const std::uint8_t> sourceRows{source.ScanLine(turn.SourceRow(0)), sourceStep};
  const TRowRun<std::uint8_t> targetRows{target.ScanLine(turn.counterClockwise ? sourceWidth - 1 : 0), targetStep};
  const std::vector<std::uint8_t> zeros(static_cast<std::size_t>(sourceBytes), 0);
  const auto paddedRows = [&](int firstRow) {
    TPaddedRows padded;
    for (int k = 0; k < 128; ++k) padded.rows[k] = firstRow + k < sourceHeight ? sourceRows[firstRow + k] : zeros.data();
    return padded;
  };
  const auto targetStride = static_cast<int>(target.RowStride());
  const int wholeBytes = sourceWidth / 8;
  for (int band = 0; band < sourceBytes; band += kBandBytes) {
    const int bandEnd = std::min(sourceBytes, band + kBandBytes);
    const auto eachStep = [&](auto move) {
      for (int next = band; next < bandEnd; next += kBitTileBytes) {
        const int j = std::min(next, sourceBytes - kBitTileBytes);
        move(j, targetRows + 8 * j);
      }
    };
    const auto moveWide = [&](const auto& rows, int tile) PAGEWELL_TARGET_AVX512 {
      eachStep([&](int j, const TRowRun<std::uint8_t>& out) PAGEWELL_TARGET_AVX512 {
        if (j + kBitTileBytes <= wholeBytes) {
          MoveWideBitTile<true>(rows, out, j, static_cast<std::size_t>(tile), sourceWidth);
        } else {
          MoveWideBitTile<false>(rows, out, j, static_cast<std::size_t>(tile), sourceWidth);
        }
      });
    };
    int tile = 0;
    for (; tile + 16 <= targetStride && 8 * tile + 128 <= sourceHeight; tile += 16) moveWide(sourceRows + 8 * tile, tile);
    for (; tile + 16 <= targetStride; tile += 16) moveWide(paddedRows(8 * tile), tile);
    for (; tile < targetBytes; tile += 8) {
      const TPaddedRows rows = paddedRows(8 * tile);
      const int bytes = std::min(8, targetStride - tile);
      eachStep([&](int j, const TRowRun<std::uint8_t>& out) PAGEWELL_TARGET_AVX512 {
        MoveNarrowBitTile(rows.rows, out, j, static_cast<std::size_t>(tile), bytes, sourceWidth);
      });
    }
  }
}
#pragma GCC diagnostic pop
#endif

void RotateQuarter1Bit(const TRaster& source, TRaster& target, const TQuarterTurn& turn) {
#if PAGEWELL_AVX2_LOOPS
  if (ProcessorHasAvx512() && source.RowBytes() >= 16) {
    RotateQuarter1BitAvx512(source, target, turn);
    return;
  }
#endif
  const int sourceWidth = source.Width();
  const auto sourceBytes = static_cast<int>(source.RowBytes()), targetBytes = static_cast<int>(target.RowBytes());
  const std::vector<std::uint8_t> zeros(static_cast<std::size_t>(sourceBytes), 0);
  auto sourceRows = SourceRowsByTargetColumn(source, turn);
  sourceRows.resize(static_cast<std::size_t>(8 * kTileBytes) * static_cast<std::size_t>((targetBytes + kTileBytes - 1) / kTileBytes), zeros.data());
  const auto targetRows = TargetRowsBySourceColumn(target, turn);
#if PAGEWELL_AVX2_LOOPS
  if (ProcessorHasAvx2() && sourceBytes >= 16) {
    MoveBitTilesAvx2(sourceRows, targetRows, sourceBytes, targetBytes, target.RowStride(), sourceWidth);
    return;
  }
#endif
  MoveBitTiles(sourceRows, targetRows, sourceBytes, targetBytes, sourceWidth);
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
