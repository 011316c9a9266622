// Colour classification and conversion between colour modes of TluBitmap.
#include <algorithm>
#include <array>
#include <vector>

#include "imaging/default_palettes.h"
#include "imaging/lu_bitmap.h"
#include "imaging/palette_reduction.h"

namespace pagewell {
namespace {

bool AllGray(const std::vector<TColor>& palette) { return std::all_of(palette.begin(), palette.end(), IsGrayColor); }

std::vector<TColor> Gray16Palette() {
  // 16 × i for i = 0 to 14, then white: the brightest gray is 255, not 240.
  std::vector<TColor> palette;
  for (unsigned i = 0; i < 15; ++i) palette.push_back(RGBColor(16 * i, 16 * i, 16 * i));
  palette.push_back(clWhite);
  return palette;
}

// Calls visit(row, bgr) for every row with its pixels as blue, green, red,
// reading 24-bit rows in place and decoding the others.
template <typename Visit>
void ForEachRowBGR(const TRaster& image, Visit visit) {
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(image.Width()) * 3);
  for (int y = 0; y < image.Height(); ++y) {
    if (image.PixelFormat() == TPixelFormat::pf24bit) {
      visit(y, image.ScanLine(y));
    } else {
      image.DecodeRowBGR(y, buffer.data());
      visit(y, buffer.data());
    }
  }
}

}  // namespace

void TluBitmap::DetectColorMode() {
  if (PixelFormat() == TPixelFormat::pf32bit) SetPixelFormat(TPixelFormat::pf24bit);
  ColorMode = cmUnknown;
  const auto& palette = Palette();
  switch (PixelFormat()) {
    case TPixelFormat::pf1bit: {
      const bool blackWhite = (palette[0] == clBlack && palette[1] == clWhite);
      const bool whiteBlack = (palette[0] == clWhite && palette[1] == clBlack);
      ColorMode = blackWhite || whiteBlack ? cmBlackWhite : cmTwoColor;
      // Index 0 is always black afterwards: the bits are inverted.
      if (whiteBlack) SetPalette({clBlack, clWhite});
      break;
    }
    case TPixelFormat::pf4bit: ColorMode = AllGray(palette) ? cmGray16 : cmPalette16; break;
    case TPixelFormat::pf8bit: ColorMode = AllGray(palette) ? cmGray256 : cmPalette256; break;
    case TPixelFormat::pf24bit: ColorMode = cmTrueColor; break;
    default: break;  // 15 and 16 bits stay unclassified
  }
}

void TluBitmap::SetColorMode(TColorMode mode) {
  if (mode != cmUnknown) ConvertColorMode(mode, 2, 128);
}

void TluBitmap::ConvertColorMode(TColorMode mode, int method, int threshold) {
  if (mode == ColorMode || mode > cmUnknown || mode == cmUnknown) return;
  switch (mode) {
    case cmTrueColor: SetPixelFormat(TPixelFormat::pf24bit); break;
    case cmPalette256:
      if (ColorMode != cmGray256) ConvertToPalette(*this, 256, 8, TPixelFormat::pf8bit);
      break;
    case cmGray256: ConvertToGray256(); break;
    case cmPalette16:
      if (ColorMode == cmBlackWhite) {
        SetPixelFormat(TPixelFormat::pf4bit);
      } else if (ColorMode != cmGray16) {
        const TRaster copy = *this;
        SetPixelFormat(TPixelFormat::pf4bit);
        if (copy.PixelFormat() == TPixelFormat::pf8bit || copy.PixelFormat() == TPixelFormat::pf24bit) {
          ConvertToPalette(copy, 16, 4, TPixelFormat::pf4bit);
        } else if (copy.PixelFormat() == TPixelFormat::pf1bit) {
          ConvertOneBitToPalette16(copy);
        }
      }
      break;
    case cmGray16: ConvertToGray16(); break;
    case cmTwoColor:
    case cmBlackWhite: ConvertToTwoColors(mode, method, threshold); break;
    default: break;
  }
  ColorMode = mode;
  FlattenAlpha();
  TiffCompression = 0;
}

// Octree reduction to at most maxColors colours, each pixel getting its
// nearest entry. That already gives a pixel whose exact colour made it into
// the table that entry's first occurrence (distance 0, lowest index on ties,
// the black entries past the table coming after it), so the exact-colour
// correction (RemapToPalette) would change nothing here and is not run. The
// source may be this image itself: it is replaced only at the end.
void TluBitmap::ConvertToPalette(const TRaster& source, int maxColors, int colorBits, TPixelFormat format) {
  static_cast<TRaster&>(*this) = ReduceToPalette(source, maxColors, colorBits, format);
}

void TluBitmap::ConvertToGray256() {
  TRaster target(Width(), Height(), TPixelFormat::pf8bit);
  target.SetPaletteKeepingIndices(GrayRamp256());
  ForEachRowBGR(*this, [&](int y, const std::uint8_t* p) {
    std::uint8_t* out = target.ScanLine(y);
    for (int x = 0, width = Width(); x < width; ++x, p += 3) {
      out[x] = static_cast<std::uint8_t>((p[0] + p[1] + p[2] + 1) / 3);
    }
  });
  static_cast<TRaster&>(*this) = std::move(target);
}

void TluBitmap::ConvertToGray16() {
  TRaster target(Width(), Height(), TPixelFormat::pf4bit);
  target.SetPaletteKeepingIndices(Gray16Palette());
  target.Draw(*this, 0, 0);
  static_cast<TRaster&>(*this) = std::move(target);
}

// A two-colour page becomes 4 bits with its two exact colours: the index
// that pixel (0, 0) got holds the colour of pixel (0, 0), and the index of
// the first pixel of the other colour holds that colour.
void TluBitmap::ConvertOneBitToPalette16(const TRaster& copy) {
  const int firstBit = copy.PixelIndex(0, 0);
  const int firstIndex = PixelIndex(0, 0);
  std::vector<TColor> palette = Palette();
  palette[static_cast<std::size_t>(firstIndex)] = copy.PixelColor(0, 0);
  int otherIndex = -1;
  for (int y = 0; y < Height() && otherIndex < 0; ++y) {
    for (int x = 0; x < Width(); ++x) {
      if (copy.PixelIndex(x, y) == firstBit) continue;
      otherIndex = PixelIndex(x, y);
      // Two colours near one default entry would share an index and the
      // picture would vanish: give the second colour an entry of its own.
      if (otherIndex == firstIndex) otherIndex = firstIndex == 15 ? 0 : 15;
      palette[static_cast<std::size_t>(otherIndex)] = copy.PixelColor(x, y);
      break;
    }
  }
  SetPaletteKeepingIndices(palette);
  if (otherIndex < 0) return;
  for (int y = 0; y < Height(); ++y) {
    for (int x = 0; x < Width(); ++x) SetPixelIndex(x, y, copy.PixelIndex(x, y) == firstBit ? firstIndex : otherIndex);
  }
}

void TluBitmap::ConvertToTwoColors(TColorMode mode, int method, int threshold) {
  if (mode == cmTwoColor && ColorMode == cmBlackWhite) return;
  if (mode == cmBlackWhite && ColorMode == cmTwoColor) {
    SetPalette({clBlack, clWhite});  // each pixel goes to the nearer of the two
    return;
  }
  const int width = Width(), height = Height();
  int t = 127;
  if (method == 0) {
    t = threshold;
  } else if (method == 1 && !Empty()) {
    std::uint64_t sum = 0;
    ForEachRowBGR(*this, [&](int, const std::uint8_t* p) {
      for (int x = 0; x < width; ++x, p += 3) sum += p[0] + p[1] + p[2];
    });
    const std::uint64_t n = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    t = static_cast<int>((sum / 3 + n / 2) / n);
  }
  const int limit = 3 * t;  // index 0 when R + G + B <= 3T
  TRaster target(width, height, TPixelFormat::pf1bit);
  std::array<std::uint64_t, 2> count{}, red{}, green{}, blue{};
  const bool needMeans = mode == cmTwoColor;
  ForEachRowBGR(*this, [&](int y, const std::uint8_t* p) {
    std::uint8_t* out = target.ScanLine(y);
    std::uint8_t byte = 0;
    for (int x = 0; x < width; ++x, p += 3) {
      const int bit = p[0] + p[1] + p[2] > limit ? 1 : 0;
      byte = static_cast<std::uint8_t>(byte << 1 | bit);
      if ((x & 7) == 7) out[x >> 3] = byte, byte = 0;
      if (needMeans) ++count[bit], red[bit] += p[2], green[bit] += p[1], blue[bit] += p[0];
    }
    if (width & 7) out[width >> 3] = static_cast<std::uint8_t>(byte << (8 - (width & 7)));
  });
  std::vector<TColor> palette = {clBlack, clWhite};
  if (needMeans) {
    for (std::size_t k = 0; k < 2; ++k) {
      if (count[k] == 0) continue;
      const std::uint64_t n = count[k], half = n / 2;
      palette[k] = RGBColor(static_cast<unsigned>((red[k] + half) / n), static_cast<unsigned>((green[k] + half) / n),
                            static_cast<unsigned>((blue[k] + half) / n));
    }
  }
  target.SetPaletteKeepingIndices(palette);
  static_cast<TRaster&>(*this) = std::move(target);
}

}  // namespace pagewell
