// Flip: mirrors the page left-right or upside down.
#include "imaging/flip.h"

#include <array>
#include <cstring>
#include <vector>

#include "imaging/alpha_plane.h"
#include "imaging/cpu_features.h"
#include "imaging/lu_bitmap.h"
#include "imaging/packed_pixels.h"

#if PAGEWELL_AVX2_LOOPS
#include <immintrin.h>
#endif

namespace pagewell {
namespace {

constexpr std::array<std::uint8_t, 256> MakeBitReversal() {
  std::array<std::uint8_t, 256> table{};
  for (int i = 0; i < 256; ++i) {
    int reversed = 0;
    for (int bit = 0; bit < 8; ++bit) reversed |= ((i >> bit) & 1) << (7 - bit);
    table[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(reversed);
  }
  return table;
}

constexpr std::array<std::uint8_t, 256> MakeNibbleSwap() {
  std::array<std::uint8_t, 256> table{};
  for (int i = 0; i < 256; ++i) table[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((i << 4) | (i >> 4));
  return table;
}

constexpr std::array<std::uint8_t, 256> kBitReversal = MakeBitReversal();
constexpr std::array<std::uint8_t, 256> kNibbleSwap = MakeNibbleSwap();

// Packed rows: reversing the bytes and the pixels inside each byte leaves
// the unused bits of the last byte in front, so the result is shifted left
// by that many bits.
void ReversePackedRow(const std::uint8_t* source, std::uint8_t* target, int width, int bits,
                      const std::array<std::uint8_t, 256>& reverseByte) {
  const int bytes = (width * bits + 7) / 8;
  const int unused = bytes * 8 - width * bits;
  if (unused == 0) {
    for (int i = 0; i < bytes; ++i) target[i] = reverseByte[source[bytes - 1 - i]];
    return;
  }
  for (int i = 0; i < bytes; ++i) {
    const unsigned high = reverseByte[source[bytes - 1 - i]];
    const unsigned low = i + 1 < bytes ? reverseByte[source[bytes - 2 - i]] : 0u;
    target[i] = static_cast<std::uint8_t>((high << unused) | (low >> (8 - unused)));
  }
}

#if PAGEWELL_AVX2_LOOPS
// AVX2 versions of the row reversals below, 32 bytes at a time. Each
// returns how far it got (pixels, or bytes at 1 bit); the portable loop
// does the rest. Registers hold their bytes in two 128-bit halves, so a
// byte reversal is a shuffle within the halves and a swap of the halves.
PAGEWELL_TARGET_AVX2 inline __m256i ReverseBytes(__m256i v) {
  const __m256i reverse = _mm256_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0,  //
                                           15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
  return _mm256_permute4x64_epi64(_mm256_shuffle_epi8(v, reverse), 0x4E);
}

PAGEWELL_TARGET_AVX2 inline __m256i Load32(const std::uint8_t* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// The bits of each byte reversed by looking up both nibbles.
PAGEWELL_TARGET_AVX2 inline __m256i ReverseBitsByNibbles(__m256i v) {
  const __m256i lowNibbleUp = _mm256_setr_epi8(0x00, 0x80, 0x40, 0xC0, 0x20, 0xA0, 0x60, 0xE0, 0x10, 0x90, 0x50, 0xD0, 0x30, 0xB0, 0x70, 0xF0,  //
                                               0x00, 0x80, 0x40, 0xC0, 0x20, 0xA0, 0x60, 0xE0, 0x10, 0x90, 0x50, 0xD0, 0x30, 0xB0, 0x70, 0xF0);
  const __m256i highNibbleDown = _mm256_setr_epi8(0x0, 0x8, 0x4, 0xC, 0x2, 0xA, 0x6, 0xE, 0x1, 0x9, 0x5, 0xD, 0x3, 0xB, 0x7, 0xF,  //
                                                  0x0, 0x8, 0x4, 0xC, 0x2, 0xA, 0x6, 0xE, 0x1, 0x9, 0x5, 0xD, 0x3, 0xB, 0x7, 0xF);
  const __m256i nibble = _mm256_set1_epi8(0x0F);
  const __m256i low = _mm256_and_si256(v, nibble), high = _mm256_and_si256(_mm256_srli_epi16(v, 4), nibble);
  return _mm256_or_si256(_mm256_shuffle_epi8(lowNibbleUp, low), _mm256_shuffle_epi8(highNibbleDown, high));
}

// The same in one instruction: an affine map over GF(2) whose matrix is the
// anti-diagonal maps bit i of each byte to bit 7 - i.
PAGEWELL_TARGET_AVX2_GFNI inline __m256i ReverseBitsByGfni(__m256i v) {
  return _mm256_gf2p8affine_epi64_epi8(v, _mm256_set1_epi64x(static_cast<long long>(0x8040201008040201ull)), 0);
}

// Target byte i is reversed source byte bytes - 1 - i, shifted left by the
// unused bits and topped up from the reversed byte after it. Shifting the
// bits before reversing them comes to the same and needs a single
// reversal: target byte i is the reversal of source byte k = bytes - 1 - i
// shifted right by the unused bits, topped up from source byte k - 1 (0
// for the first). This gives the 32 bytes, still to be reversed, that end
// at `end`.
PAGEWELL_TARGET_AVX2 inline __m256i ShiftedBlock(const std::uint8_t* end, int unused) {
  const __m256i block = Load32(end - 32);
  if (unused == 0) return block;
  const __m128i down = _mm_cvtsi32_si128(unused), up = _mm_cvtsi32_si128(8 - unused);
  const __m256i keepDown = _mm256_set1_epi8(static_cast<char>(0xFF >> unused));
  const __m256i keepUp = _mm256_set1_epi8(static_cast<char>(0xFF << (8 - unused)));
  return _mm256_or_si256(_mm256_and_si256(_mm256_srl_epi16(block, down), keepDown),
                         _mm256_and_si256(_mm256_sll_epi16(Load32(end - 33), up), keepUp));
}

// Calls reverseBlock(i) for blocks of Block target bytes from i on that cover
// the row, but for its last byte where there are unused bits (its source
// byte has no byte before it), and answers how many bytes are done. The
// last block is read again ending at the row's end, writing a few bytes
// twice with the same values. Always inlined, so that the block, compiled
// for the caller's instructions, is inlined in turn.
template <int Block = 32, typename ReverseBlock>
[[gnu::always_inline]] inline int Reverse1BitBlocks(int bytes, int unused, ReverseBlock reverseBlock) {
  const int reach = unused > 0 ? Block + 1 : Block;  // source bytes read for one block of target bytes
  if (bytes < reach) return 0;
  for (int i = 0; i + reach <= bytes; i += Block) reverseBlock(i);
  reverseBlock(bytes - reach);
  return bytes - (reach - Block);
}

PAGEWELL_TARGET_AVX2 int Reverse1BitBytesAvx2(const std::uint8_t* source, std::uint8_t* target, int bytes, int unused) {
  return Reverse1BitBlocks(bytes, unused, [=](int i) PAGEWELL_TARGET_AVX2 {
    const __m256i reversed = ReverseBytes(ReverseBitsByNibbles(ShiftedBlock(source + bytes - i, unused)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(target + i), reversed);
  });
}

PAGEWELL_TARGET_AVX2_GFNI int Reverse1BitBytesGfni(const std::uint8_t* source, std::uint8_t* target, int bytes, int unused) {
  return Reverse1BitBlocks(bytes, unused, [=](int i) PAGEWELL_TARGET_AVX2_GFNI {
    const __m256i reversed = ReverseBytes(ReverseBitsByGfni(ShiftedBlock(source + bytes - i, unused)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(target + i), reversed);
  });
}

// AVX-512 with byte permutes: 64 bytes at a time, the shift as above, the
// bit reversal by GFNI and the byte reversal by a single permute.
// GCC 12's permute intrinsic fills an unused operand with a self-initialised
// variable, which its own uninitialised-use check then reports.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
PAGEWELL_TARGET_AVX512 inline __m512i Load64(const std::uint8_t* p) { return _mm512_loadu_si512(p); }

PAGEWELL_TARGET_AVX512 inline __m512i ShiftedBlock64(const std::uint8_t* end, int unused) {
  const __m512i block = Load64(end - 64);
  if (unused == 0) return block;
  const __m128i down = _mm_cvtsi32_si128(unused), up = _mm_cvtsi32_si128(8 - unused);
  const __m512i keepDown = _mm512_set1_epi8(static_cast<char>(0xFF >> unused));
  return _mm512_ternarylogic_epi64(keepDown, _mm512_srl_epi16(block, down), _mm512_sll_epi16(Load64(end - 65), up),
                                   0xCA);  // keepDown ? shifted down : shifted up
}

PAGEWELL_TARGET_AVX512 int Reverse1BitBytesAvx512(const std::uint8_t* source, std::uint8_t* target, int bytes, int unused) {
  const __m512i reverse = _mm512_set_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22,
                                          23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43,
                                          44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63);
  const __m512i bitReversal = _mm512_set1_epi64(static_cast<long long>(0x8040201008040201ull));
  return Reverse1BitBlocks<64>(bytes, unused, [=](int i) PAGEWELL_TARGET_AVX512 {
    const __m512i bitsReversed = _mm512_gf2p8affine_epi64_epi8(ShiftedBlock64(source + bytes - i, unused), bitReversal, 0);
    _mm512_storeu_si512(target + i, _mm512_permutexvar_epi8(reverse, bitsReversed));
  });
}
#pragma GCC diagnostic pop

PAGEWELL_TARGET_AVX2 int Reverse8BitPixelsAvx2(const std::uint8_t* source, std::uint8_t* target, int width) {
  if (width < 32) return 0;
  for (int x = 0; x + 32 <= width; x += 32) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(target + x), ReverseBytes(Load32(source + width - x - 32)));
  }
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(target + width - 32), ReverseBytes(Load32(source)));
  return width;
}

// Eight pixels at a time: each half of the register takes the 16 source
// bytes that end with its four pixels and moves them, reversed, to its
// first 12 bytes. The halves are stored 12 bytes apart as 16 bytes each;
// the 4 bytes too many are overwritten by the next store, and no store
// reaches the last two pixels, which are left to the caller. The last
// block is moved back to end there, as at 1 and 8 bits.
PAGEWELL_TARGET_AVX2 inline void Reverse24BitBlock(const std::uint8_t* source, std::uint8_t* target, int width, int x) {
  const __m256i reverse = _mm256_setr_epi8(13, 14, 15, 10, 11, 12, 7, 8, 9, 4, 5, 6, -1, -1, -1, -1,  //
                                           13, 14, 15, 10, 11, 12, 7, 8, 9, 4, 5, 6, -1, -1, -1, -1);
  const std::uint8_t* end = source + 3 * static_cast<std::size_t>(width - x);
  const __m128i last = _mm_loadu_si128(reinterpret_cast<const __m128i*>(end - 16));
  const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(end - 28));
  const __m256i moved = _mm256_shuffle_epi8(_mm256_inserti128_si256(_mm256_castsi128_si256(last), before, 1), reverse);
  std::uint8_t* out = target + 3 * static_cast<std::size_t>(x);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(moved));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 12), _mm256_extracti128_si256(moved, 1));
}

PAGEWELL_TARGET_AVX2 int Reverse24BitPixelsAvx2(const std::uint8_t* source, std::uint8_t* target, int width) {
  constexpr int kReach = 10;  // pixels a block reads from and writes to
  if (width < kReach) return 0;
  for (int x = 0; x + kReach <= width; x += 8) Reverse24BitBlock(source, target, width, x);
  Reverse24BitBlock(source, target, width, width - kReach);
  return width - 2;
}
#endif

// 1 bit, 64 pixels at a time: eight source bytes from the end of the row,
// read as a little-endian word, have their bits reversed within each byte;
// the word then holds the eight target bytes in big-endian order, is shifted
// left by the unused bits (taking the top bits of the next reversed byte)
// and is stored with its bytes swapped back. The last few bytes go one by
// one.
inline std::uint64_t ReverseBitsOfEachByte(std::uint64_t w) {
  w = ((w >> 1) & 0x5555555555555555ull) | ((w & 0x5555555555555555ull) << 1);
  w = ((w >> 2) & 0x3333333333333333ull) | ((w & 0x3333333333333333ull) << 2);
  return ((w >> 4) & 0x0F0F0F0F0F0F0F0Full) | ((w & 0x0F0F0F0F0F0F0F0Full) << 4);
}

void Reverse1BitRow(const std::uint8_t* source, std::uint8_t* target, int width) {
  const int bytes = (width + 7) / 8;
  const int unused = bytes * 8 - width;
  int i = 0;
#if PAGEWELL_AVX2_LOOPS
  switch (LoopLevel()) {
    case TLoopLevel::Avx512: i = Reverse1BitBytesAvx512(source, target, bytes, unused); break;
    case TLoopLevel::Avx2Gfni: i = Reverse1BitBytesGfni(source, target, bytes, unused); break;
    case TLoopLevel::Avx2: i = Reverse1BitBytesAvx2(source, target, bytes, unused); break;
    default: break;
  }
#endif
  for (; i + 8 <= bytes; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, source + bytes - 8 - i, 8);
    std::uint64_t reversed = ReverseBitsOfEachByte(word);
    if (unused > 0) {
      const unsigned next = i + 8 < bytes ? kBitReversal[source[bytes - 9 - i]] : 0u;
      reversed = (reversed << unused) | (next >> (8 - unused));
    }
    reversed = __builtin_bswap64(reversed);
    std::memcpy(target + i, &reversed, 8);
  }
  for (; i < bytes; ++i) {
    const unsigned high = kBitReversal[source[bytes - 1 - i]];
    const unsigned low = i + 1 < bytes ? kBitReversal[source[bytes - 2 - i]] : 0u;
    target[i] = static_cast<std::uint8_t>(unused == 0 ? high : (high << unused) | (low >> (8 - unused)));
  }
}

// Eight pixels at a time: a word read from the end of the source row, its
// bytes swapped (the machines we build for are little-endian).
void Reverse8BitRow(const std::uint8_t* source, std::uint8_t* target, int width) {
  int x = 0;
#if PAGEWELL_AVX2_LOOPS
  if (ProcessorHasAvx2()) x = Reverse8BitPixelsAvx2(source, target, width);
#endif
  for (; x + 8 <= width; x += 8) {
    std::uint64_t word;
    std::memcpy(&word, source + width - x - 8, 8);
    word = __builtin_bswap64(word);
    std::memcpy(target + x, &word, 8);
  }
  for (; x < width; ++x) target[x] = source[width - 1 - x];
}

// A pixel at a time as a 4-byte word: read together with the byte before it
// (the previous pixel's last), which the shift drops, and written together
// with the byte after it, which the next pixel overwrites. The source's
// first pixel, which has no byte before it, and the target's last, which
// has none after it, are one and the same and go byte by byte.
void Reverse24BitRow(const std::uint8_t* source, std::uint8_t* target, int width) {
  int x = 0;
#if PAGEWELL_AVX2_LOOPS
  if (ProcessorHasAvx2()) x = Reverse24BitPixelsAvx2(source, target, width);
#endif
  const std::uint8_t* s = source + 3 * (width - 1 - x);
  std::uint8_t* t = target + 3 * x;
  for (; x + 1 < width; ++x, s -= 3, t += 3) {
    std::uint32_t word;
    std::memcpy(&word, s - 1, 4);
    word >>= 8;
    std::memcpy(t, &word, 4);
  }
  std::memcpy(t, source, 3);
}

}  // namespace

void ReverseRowPixels(const std::uint8_t* source, std::uint8_t* target, int width, TPixelFormat format) {
  switch (format) {
    case TPixelFormat::pf1bit: Reverse1BitRow(source, target, width); break;
    case TPixelFormat::pf4bit: ReversePackedRow(source, target, width, 4, kNibbleSwap); break;
    case TPixelFormat::pf8bit: Reverse8BitRow(source, target, width); break;
    case TPixelFormat::pf24bit: Reverse24BitRow(source, target, width); break;
    default: break;
  }
}

void FlipLeftRight(TRaster& raster) {
  if (raster.Empty() || !IsEditableFormat(raster.PixelFormat())) return;
  std::vector<std::uint8_t> mirrored(raster.RowBytes());
  for (int y = 0; y < raster.Height(); ++y) {
    ReverseRowPixels(raster.ScanLine(y), mirrored.data(), raster.Width(), raster.PixelFormat());
    std::memcpy(raster.ScanLine(y), mirrored.data(), mirrored.size());
  }
}

void FlipTopBottom(TRaster& raster) {
  if (raster.Empty() || !IsEditableFormat(raster.PixelFormat())) return;
  std::vector<std::uint8_t> saved(raster.RowBytes());
  for (int top = 0, bottom = raster.Height() - 1; top < bottom; ++top, --bottom) {
    std::memcpy(saved.data(), raster.ScanLine(top), saved.size());
    std::memcpy(raster.ScanLine(top), raster.ScanLine(bottom), saved.size());
    std::memcpy(raster.ScanLine(bottom), saved.data(), saved.size());
  }
}

void TluBitmap::Flip(int direction) {
  if (direction != 0 && direction != 1) return;
  const bool withAlpha = HasPageSizedAlphaPlane(*this);
  if (direction == 0) {
    FlipLeftRight(*this);
    if (withAlpha) FlipLeftRight(Alpha.AlphaPlane);
  } else {
    FlipTopBottom(*this);
    if (withAlpha) FlipTopBottom(Alpha.AlphaPlane);
  }
  ClearSelection();
}

}  // namespace pagewell
