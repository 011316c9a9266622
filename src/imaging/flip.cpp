// Flip: mirrors the page left-right or upside down.
#include "imaging/flip.h"

#include <array>
#include <cstring>
#include <vector>

#include "imaging/alpha_plane.h"
#include "imaging/lu_bitmap.h"
#include "imaging/packed_pixels.h"

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
  const std::uint8_t* s = source + 3 * (width - 1);
  for (int x = 0; x + 1 < width; ++x, s -= 3, target += 3) {
    std::uint32_t word;
    std::memcpy(&word, s - 1, 4);
    word >>= 8;
    std::memcpy(target, &word, 4);
  }
  std::memcpy(target, source, 3);
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
