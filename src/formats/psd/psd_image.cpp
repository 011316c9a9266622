// The PSD writer, all numbers big-endian: header, colour mode data, image
// resources, an empty layer and mask section, then raw pixel data.
#include "formats/psd/psd_image.h"

#include <algorithm>
#include <vector>

#include "formats/metadata/bim_segment.h"

namespace pagewell {
namespace {

const char* const kFileNotSaved = "PSD file not saved";

bool IsBlackWhitePalette(const std::vector<TColor>& palette) {
  return palette.size() == 2 && ((palette[0] == clBlack && palette[1] == clWhite) ||
                                 (palette[0] == clWhite && palette[1] == clBlack));
}

TPSDColorMode ColorModeOf(const TRaster& bitmap) {
  switch (bitmap.PixelFormat()) {
    case TPixelFormat::pf24bit:
      return pcmRGB;
    case TPixelFormat::pf1bit:
      return IsBlackWhitePalette(bitmap.Palette()) ? pcmBitmap : pcmIndexed;
    case TPixelFormat::pf4bit:
    case TPixelFormat::pf8bit:
      return std::all_of(bitmap.Palette().begin(), bitmap.Palette().end(), IsGrayColor) ? pcmGrayscale : pcmIndexed;
    default:
      throw EFileNotSaved(kFileNotSaved);
  }
}

void WriteHeader(TMemoryStream& out, const TRaster& bitmap, TPSDColorMode mode) {
  out.WriteString("8BPS");
  out.WriteU16BE(1);  // version
  const std::uint8_t reserved[6] = {};
  out.Write(reserved, sizeof reserved);
  out.WriteU16BE(mode == pcmRGB ? 3 : 1);  // channels
  out.WriteU32BE(static_cast<std::uint32_t>(bitmap.Height()));
  out.WriteU32BE(static_cast<std::uint32_t>(bitmap.Width()));
  out.WriteU16BE(mode == pcmBitmap ? 1 : 8);  // bits per channel
  out.WriteU16BE(mode);
}

void WriteColorModeData(TMemoryStream& out, const TRaster& bitmap, TPSDColorMode mode) {
  if (mode != pcmIndexed) {
    out.WriteU32BE(0);
    return;
  }
  out.WriteU32BE(768);
  std::vector<std::uint8_t> table(768, 0);  // 256 reds, 256 greens, 256 blues
  const std::vector<TColor>& palette = bitmap.Palette();
  for (std::size_t i = 0; i < palette.size() && i < 256; ++i) {
    table[i] = RedOf(palette[i]);
    table[256 + i] = GreenOf(palette[i]);
    table[512 + i] = BlueOf(palette[i]);
  }
  out.Write(table.data(), table.size());
}

// ResolutionInfo (resource 0x03ED): 16.16 fixed-point pixels per inch, unit
// inches, for both directions.
std::vector<std::uint8_t> ResolutionResource(int xDpi, int yDpi) {
  TMemoryStream r;
  r.WriteString("8BIM");
  r.WriteU16BE(0x03ED);
  r.WriteByte(10);
  r.WriteString("Resolution");
  r.WriteByte(0);  // pads the name to an even length
  r.WriteU32BE(16);
  for (int dpi : {xDpi, yDpi}) {
    r.WriteU32BE(static_cast<std::uint32_t>(dpi) << 16);
    r.WriteU16BE(1);  // resolution in pixels per inch
    r.WriteU16BE(2);  // size shown in centimetres
  }
  return r.Bytes();
}

bool WritableResolution(int dpi) { return dpi >= 1 && dpi <= 65535; }

// Changed file information goes first, as its Photoshop resources; then
// the resolution.
void WriteImageResources(TMemoryStream& out, const TPSDImage& image) {
  std::vector<std::uint8_t> section;
  if (image.FileInfo.Changed) section = SavePhotoshopResources(image.FileInfo.ToResources());
  if (WritableResolution(image.XDpi) && WritableResolution(image.YDpi)) {
    const auto resolution = ResolutionResource(image.XDpi, image.YDpi);
    section.insert(section.end(), resolution.begin(), resolution.end());
  }
  out.WriteU32BE(static_cast<std::uint32_t>(section.size()));
  out.Write(section.data(), section.size());
}

// Bitmap mode: 1 = black. The raster's bit 1 is palette entry 1, so the bits
// are inverted when entry 0 is the black one.
void WriteBitmapRows(TMemoryStream& out, const TRaster& bitmap) {
  const bool invert = bitmap.Palette()[0] == clBlack;
  const std::size_t rowBytes = bitmap.RowBytes();
  const unsigned usedBits = static_cast<unsigned>(bitmap.Width()) % 8;
  const std::uint8_t lastMask = usedBits ? static_cast<std::uint8_t>(0xFF00 >> usedBits) : 0xFF;
  std::vector<std::uint8_t> row(rowBytes);
  for (int y = 0; y < bitmap.Height(); ++y) {
    const std::uint8_t* source = bitmap.ScanLine(y);
    for (std::size_t i = 0; i < rowBytes; ++i) row[i] = invert ? static_cast<std::uint8_t>(~source[i]) : source[i];
    row[rowBytes - 1] &= lastMask;
    out.Write(row.data(), rowBytes);
  }
}

// Grayscale and indexed: one byte per pixel. A gray pixel is written as its
// gray level, which for the identity ramp is its index; an indexed pixel as
// its index.
void WriteBytePerPixelRows(TMemoryStream& out, const TRaster& bitmap, TPSDColorMode mode) {
  const std::vector<TColor>& palette = bitmap.Palette();
  std::vector<std::uint8_t> row(static_cast<std::size_t>(bitmap.Width()));
  for (int y = 0; y < bitmap.Height(); ++y) {
    const std::uint8_t* source = bitmap.ScanLine(y);
    for (int x = 0; x < bitmap.Width(); ++x) {
      const int index = bitmap.PixelFormat() == TPixelFormat::pf8bit ? source[x]
                        : bitmap.PixelFormat() == TPixelFormat::pf4bit
                            ? ((x & 1) ? (source[x >> 1] & 0x0F) : (source[x >> 1] >> 4))
                            : ((source[x >> 3] >> (7 - (x & 7))) & 1);
      row[static_cast<std::size_t>(x)] =
          mode == pcmGrayscale ? RedOf(palette[static_cast<std::size_t>(index)]) : static_cast<std::uint8_t>(index);
    }
    out.Write(row.data(), row.size());
  }
}

// RGB: all red bytes of the image, then all green, then all blue.
void WritePlanarRGB(TMemoryStream& out, const TRaster& bitmap) {
  const std::size_t width = static_cast<std::size_t>(bitmap.Width());
  std::vector<std::uint8_t> row(width);
  for (int channel = 2; channel >= 0; --channel) {
    for (int y = 0; y < bitmap.Height(); ++y) {
      const std::uint8_t* source = bitmap.ScanLine(y) + channel;
      for (std::size_t x = 0; x < width; ++x) row[x] = source[3 * x];
      out.Write(row.data(), width);
    }
  }
}

}  // namespace

void TPSDImage::SaveToStream(TMemoryStream& stream) {
  if (Bitmap.Empty()) throw EFileNotSaved(kFileNotSaved);
  ColorMode = ColorModeOf(Bitmap);
  TMemoryStream file;
  WriteHeader(file, Bitmap, ColorMode);
  WriteColorModeData(file, Bitmap, ColorMode);
  WriteImageResources(file, *this);
  file.WriteU32BE(0);  // layer and mask information
  file.WriteU16BE(0);  // raw image data
  switch (ColorMode) {
    case pcmBitmap: WriteBitmapRows(file, Bitmap); break;
    case pcmGrayscale:
    case pcmIndexed: WriteBytePerPixelRows(file, Bitmap, ColorMode); break;
    case pcmRGB: WritePlanarRGB(file, Bitmap); break;
  }
  stream.Write(file.Data(), file.Size());
}

}  // namespace pagewell
