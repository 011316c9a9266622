// TTIFImage::Assign: a bitmap becomes the page's colour map and strip.
#include <algorithm>

#include "formats/tiff/ccitt_group4_encoder.h"
#include "formats/tiff/packbits.h"
#include "formats/tiff/tif_image.h"

namespace pagewell {
namespace {

bool IsBlackOrWhite(TColor c) { return c == clBlack || c == clWhite; }

bool IsBlackAndWhitePalette(const std::vector<TColor>& palette) {
  return palette.size() >= 2 && IsBlackOrWhite(palette[0]) && IsBlackOrWhite(palette[1]) && palette[0] != palette[1];
}

bool IsAllGray(const std::vector<TColor>& palette) {
  return !palette.empty() && std::all_of(palette.begin(), palette.end(), IsGrayColor);
}

TTIFKind KindOf(const TRaster& bitmap) {
  switch (bitmap.PixelFormat()) {
    case TPixelFormat::pf1bit:
      return IsBlackAndWhitePalette(bitmap.Palette()) ? TTIFKind::BlackWhite : TTIFKind::Palette;
    case TPixelFormat::pf4bit:
    case TPixelFormat::pf8bit: return IsAllGray(bitmap.Palette()) ? TTIFKind::Gray : TTIFKind::Palette;
    default: return TTIFKind::RGB;
  }
}

TColor PaletteEntry(const TRaster& bitmap, int index) {
  const auto& palette = bitmap.Palette();
  return index < static_cast<int>(palette.size()) ? palette[index] : clBlack;
}

}  // namespace

void TTIFImage::Assign(const TRaster& bitmap) {
  if (bitmap.PixelFormat() != TPixelFormat::pf1bit && bitmap.PixelFormat() != TPixelFormat::pf4bit &&
      bitmap.PixelFormat() != TPixelFormat::pf8bit && bitmap.PixelFormat() != TPixelFormat::pf24bit) {
    TRaster copy = bitmap;
    copy.SetPixelFormat(TPixelFormat::pf24bit);
    Assign(copy);
    return;
  }
  Kind = KindOf(bitmap);
  // Group 4 codes bilevel data only; any other page written with it would be
  // a file no reader can decode, so such a page is stored uncompressed.
  if (Compression == tiff::compCCITTGroup4 && Kind != TTIFKind::BlackWhite) Compression = tiff::compNone;
  ImageWidth = static_cast<std::uint32_t>(bitmap.Width());
  ImageLength = static_cast<std::uint32_t>(bitmap.Height());
  RowsPerStrip = ImageLength;
  colorMap_.clear();
  strip_.clear();
  switch (Kind) {
    case TTIFKind::BlackWhite: EncodeBlackWhite(bitmap); break;
    case TTIFKind::Gray: EncodeGray(bitmap); break;
    case TTIFKind::Palette: EncodePalette(bitmap); break;
    case TTIFKind::RGB: EncodeRGB(bitmap); break;
  }
}

void TTIFImage::AppendRow(const std::uint8_t* row, std::size_t count) {
  if (Compression == tiff::compPackBits) {
    PackBitsEncode(row, count, strip_);
  } else {
    strip_.insert(strip_.end(), row, row + count);
  }
}

void TTIFImage::EncodeBlackWhite(const TRaster& bitmap) {
  SamplesPerPixel = 1;
  BitsPerSample = {1};
  if (Compression == tiff::compCCITTGroup4) {
    Photometric = tiff::phWhiteIsZero;
    strip_ = EncodeGroup4(bitmap);
    return;
  }
  // BlackIsZero: bit 0 is black, which is index 0 of a black, white palette.
  // A white, black palette has its bits inverted so the page does not come
  // out as a negative.
  Photometric = tiff::phBlackIsZero;
  const bool invert = bitmap.Palette()[0] == clWhite;
  const std::size_t count = (bitmap.Width() + 7) / 8;
  if (count == 0) return;
  const int tailBits = bitmap.Width() % 8;
  const std::uint8_t lastMask = tailBits ? static_cast<std::uint8_t>(0xFF << (8 - tailBits)) : 0xFF;
  std::vector<std::uint8_t> row(count);
  for (int y = 0; y < bitmap.Height(); ++y) {
    const std::uint8_t* bits = bitmap.ScanLine(y);
    for (std::size_t i = 0; i < count; ++i) row[i] = invert ? static_cast<std::uint8_t>(~bits[i]) : bits[i];
    row[count - 1] &= lastMask;  // bits past the width are not picture
    AppendRow(row.data(), count);
  }
}

void TTIFImage::EncodeGray(const TRaster& bitmap) {
  Photometric = tiff::phBlackIsZero;
  SamplesPerPixel = 1;
  const int width = bitmap.Width();
  std::vector<std::uint8_t> grayOf(256, 0);
  for (int i = 0; i < PaletteEntryCount(bitmap.PixelFormat()); ++i) grayOf[i] = RedOf(PaletteEntry(bitmap, i));
  if (bitmap.PixelFormat() == TPixelFormat::pf8bit) {
    BitsPerSample = {8};
    std::vector<std::uint8_t> row(width);
    for (int y = 0; y < bitmap.Height(); ++y) {
      const std::uint8_t* indices = bitmap.ScanLine(y);
      for (int x = 0; x < width; ++x) row[x] = grayOf[indices[x]];
      AppendRow(row.data(), row.size());
    }
    return;
  }
  BitsPerSample = {4};
  std::vector<std::uint8_t> row((width + 1) / 2);
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < width; x += 2) {
      const int left = grayOf[bitmap.PixelIndex(x, y)];
      const int right = x + 1 < width ? grayOf[bitmap.PixelIndex(x + 1, y)] : 0;
      row[x / 2] = static_cast<std::uint8_t>((left & 0xF0) + (right >> 4));
    }
    AppendRow(row.data(), row.size());
  }
}

void TTIFImage::EncodePalette(const TRaster& bitmap) {
  Photometric = tiff::phPalette;
  SamplesPerPixel = 1;
  const bool eightBit = bitmap.PixelFormat() == TPixelFormat::pf8bit;
  const int entries = eightBit ? 256 : 16;
  BitsPerSample = {static_cast<std::uint16_t>(eightBit ? 8 : 4)};

  // All reds, then all greens, then all blues; 8-bit components × 257.
  colorMap_.assign(3 * entries, 0);
  const int used = std::min(entries, PaletteEntryCount(bitmap.PixelFormat()));
  for (int i = 0; i < used; ++i) {
    const TColor c = PaletteEntry(bitmap, i);
    colorMap_[i] = static_cast<std::uint16_t>(RedOf(c) * 257);
    colorMap_[entries + i] = static_cast<std::uint16_t>(GreenOf(c) * 257);
    colorMap_[2 * entries + i] = static_cast<std::uint16_t>(BlueOf(c) * 257);
  }

  const int width = bitmap.Width();
  if (bitmap.PixelFormat() != TPixelFormat::pf1bit) {
    for (int y = 0; y < bitmap.Height(); ++y) AppendRow(bitmap.ScanLine(y), bitmap.RowBytes());
    return;
  }
  // Two colours become 4-bit indices: each pair of pixels one byte.
  std::vector<std::uint8_t> row((width + 1) / 2);
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < width; x += 2) {
      const int left = bitmap.PixelIndex(x, y);
      const int right = x + 1 < width ? bitmap.PixelIndex(x + 1, y) : 0;
      row[x / 2] = static_cast<std::uint8_t>(left * 16 + right);
    }
    AppendRow(row.data(), row.size());
  }
}

void TTIFImage::EncodeRGB(const TRaster& bitmap) {
  Photometric = tiff::phRGB;
  SamplesPerPixel = 3;
  BitsPerSample = {8, 8, 8};
  const int width = bitmap.Width();
  std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 3);
  for (int y = 0; y < bitmap.Height(); ++y) {
    const std::uint8_t* bgr = bitmap.ScanLine(y);
    for (int x = 0; x < width; ++x) {
      row[3 * x] = bgr[3 * x + 2];
      row[3 * x + 1] = bgr[3 * x + 1];
      row[3 * x + 2] = bgr[3 * x];
    }
    AppendRow(row.data(), row.size());
  }
}

}  // namespace pagewell
