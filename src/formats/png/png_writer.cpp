// The PNG writer: signature, IHDR, PLTE, bKGD, tRNS, pHYs, the image data as
// one zlib stream cut into IDAT chunks of 512000 bytes, IEND. Packed and
// palette rows go unfiltered; rows of whole-byte samples get the filter
// that suits each row, and the page the compressor that suits it
// (png_deflate.h).
#include <algorithm>
#include <memory>
#include <vector>

#include "formats/png/png_chunk.h"
#include "formats/png/png_deflate.h"
#include "formats/png/png_filters.h"
#include "formats/png/png_image.h"
#include "imaging/errors.h"

namespace pagewell {
namespace {

constexpr std::size_t kIdatChunkSize = 512000;

void PutU32BE(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value >> 24));
  out.push_back(static_cast<std::uint8_t>(value >> 16));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
  out.push_back(static_cast<std::uint8_t>(value));
}

void PutU16BE(std::vector<std::uint8_t>& out, unsigned value) {
  out.push_back(static_cast<std::uint8_t>(value >> 8));
  out.push_back(static_cast<std::uint8_t>(value));
}

// What the file will look like, decided once from the bitmap and the
// transparency record.
struct TPngLayout {
  std::uint8_t colorType = ctPalette;
  std::uint8_t bitDepth = 8;
  bool alphaPlane = false;
  std::size_t bytesPerPixel = 1;  // the Paeth filter's byte distance
  std::size_t rowBytes = 0;       // bytes of one row, without the filter byte
};

bool UsableAlphaPlane(const TRaster& bitmap, const TAlpha& alpha) {
  const TRaster& plane = alpha.AlphaPlane;
  return alpha.Mode == TAlphaMode::amAlphaPlane && plane.PixelFormat() == TPixelFormat::pf8bit &&
         plane.Width() == bitmap.Width() && plane.Height() == bitmap.Height();
}

TPngLayout LayoutFor(const TRaster& bitmap, const TAlpha& alpha) {
  TPngLayout layout;
  layout.alphaPlane = UsableAlphaPlane(bitmap, alpha);
  // A gray file cannot carry an alpha value per palette entry; such a bitmap
  // stays a palette file so that its tRNS table is kept.
  const bool gray = PassesPngGrayTest(bitmap) && alpha.Mode != TAlphaMode::amPaletteAlpha;
  if (gray) {
    layout.colorType = layout.alphaPlane ? ctGrayAlpha : ctGray;
  } else if (layout.alphaPlane) {
    layout.colorType = ctRGBAlpha;
  } else {
    layout.colorType = bitmap.PixelFormat() == TPixelFormat::pf24bit ? ctRGB : ctPalette;
  }
  const std::size_t width = static_cast<std::size_t>(bitmap.Width());
  switch (layout.colorType) {
    case ctRGB: layout.bytesPerPixel = 3; break;
    case ctGrayAlpha: layout.bytesPerPixel = 2; break;
    case ctRGBAlpha: layout.bytesPerPixel = 4; break;
    default: layout.bytesPerPixel = 1; break;
  }
  const bool packed = layout.colorType == ctGray || layout.colorType == ctPalette;
  layout.bitDepth = !packed ? 8 : bitmap.PixelFormat() == TPixelFormat::pf1bit ? 1
                                 : bitmap.PixelFormat() == TPixelFormat::pf4bit ? 4 : 8;
  layout.rowBytes = packed ? (width * layout.bitDepth + 7) / 8 : width * layout.bytesPerPixel;
  return layout;
}

std::vector<std::uint8_t> HeaderData(const TRaster& bitmap, const TPngLayout& layout) {
  std::vector<std::uint8_t> ihdr;
  PutU32BE(ihdr, static_cast<std::uint32_t>(bitmap.Width()));
  PutU32BE(ihdr, static_cast<std::uint32_t>(bitmap.Height()));
  ihdr.push_back(layout.bitDepth);
  ihdr.push_back(layout.colorType);
  ihdr.push_back(0);  // compression: deflate
  ihdr.push_back(0);  // filter method 0
  ihdr.push_back(0);  // never interlaced
  return ihdr;
}

std::vector<std::uint8_t> PaletteData(const TRaster& bitmap) {
  std::vector<std::uint8_t> plte;
  for (TColor c : bitmap.Palette()) plte.insert(plte.end(), {RedOf(c), GreenOf(c), BlueOf(c)});
  return plte;
}

// Background for the file's colour type; empty when it cannot be expressed.
std::vector<std::uint8_t> BackgroundData(const TRaster& bitmap, std::uint8_t colorType, TColor color) {
  std::vector<std::uint8_t> bkgd;
  color &= 0xFFFFFF;
  if (colorType == ctPalette) {
    const auto& palette = bitmap.Palette();
    const auto it = std::find(palette.begin(), palette.end(), color);
    if (it != palette.end()) bkgd.push_back(static_cast<std::uint8_t>(it - palette.begin()));
  } else if (colorType == ctGray || colorType == ctGrayAlpha) {
    PutU16BE(bkgd, RedOf(color));
  } else {
    PutU16BE(bkgd, RedOf(color)), PutU16BE(bkgd, GreenOf(color)), PutU16BE(bkgd, BlueOf(color));
  }
  return bkgd;
}

// tRNS in three cases only: palette with a key index or an alpha table,
// gray with a key level, RGB with a key colour. Empty otherwise.
std::vector<std::uint8_t> TransparencyData(const TRaster& bitmap, std::uint8_t colorType, const TAlpha& alpha) {
  std::vector<std::uint8_t> trns;
  if (colorType == ctPalette && alpha.Mode == TAlphaMode::amPaletteAlpha) {
    trns.assign(alpha.PaletteAlpha.begin(), alpha.PaletteAlpha.begin() + bitmap.Palette().size());
  } else if (colorType == ctPalette && alpha.Mode == TAlphaMode::amKeyIndex &&
             alpha.KeyIndex < bitmap.Palette().size()) {
    trns.assign(static_cast<std::size_t>(alpha.KeyIndex) + 1, 255);
    trns.back() = 0;
  } else if (colorType == ctGray && alpha.Mode == TAlphaMode::amKeyGray) {
    PutU16BE(trns, alpha.KeyRed());
  } else if (colorType == ctRGB && alpha.Mode == TAlphaMode::amKeyColor) {
    PutU16BE(trns, alpha.KeyRed()), PutU16BE(trns, alpha.KeyGreen()), PutU16BE(trns, alpha.KeyBlue());
  }
  return trns;
}

std::vector<std::uint8_t> PhysicalData(std::int32_t x, std::int32_t y) {
  std::vector<std::uint8_t> phys;
  PutU32BE(phys, static_cast<std::uint32_t>(x));
  PutU32BE(phys, static_cast<std::uint32_t>(y));
  phys.push_back(1);  // unit: metre
  return phys;
}

// Row y in the file's sample order, before filtering.
void BuildRow(const TRaster& bitmap, const TAlpha& alpha, const TPngLayout& layout, int y, std::uint8_t* bgr,
              std::uint8_t* out) {
  const std::uint8_t* source = bitmap.ScanLine(y);
  const int width = bitmap.Width();
  switch (layout.colorType) {
    case ctGray:
    case ctPalette: {
      std::copy(source, source + layout.rowBytes, out);
      // Clear the bits past the last pixel so that equal pictures give equal files.
      const unsigned usedBits = static_cast<unsigned>(width) * layout.bitDepth % 8;
      if (usedBits != 0) out[layout.rowBytes - 1] &= static_cast<std::uint8_t>(0xFF00 >> usedBits);
      break;
    }
    case ctRGB:
      for (int x = 0; x < width; ++x, source += 3, out += 3) out[0] = source[2], out[1] = source[1], out[2] = source[0];
      break;
    case ctGrayAlpha: {
      const std::uint8_t* a = alpha.AlphaPlane.ScanLine(y);
      const std::vector<TColor>& palette = bitmap.Palette();
      for (int x = 0; x < width; ++x, out += 2) out[0] = RedOf(palette[source[x]]), out[1] = a[x];
      break;
    }
    case ctRGBAlpha: {
      const std::uint8_t* a = alpha.AlphaPlane.ScanLine(y);
      bitmap.DecodeRowBGR(y, bgr);
      for (int x = 0; x < width; ++x, bgr += 3, out += 4) out[0] = bgr[2], out[1] = bgr[1], out[2] = bgr[0], out[3] = a[x];
      break;
    }
  }
}

// Every row as its filter-type byte and its (filtered) bytes. Rows of
// whole-byte samples get the filter that suits each (a scanner's noise and
// a photograph want other filters than flat paper); packed and palette
// rows, whose bytes are no sample values, go unfiltered.
bool RowsFiltered(const TPngLayout& layout) { return layout.colorType != ctPalette && layout.bitDepth == 8; }

std::vector<std::uint8_t> FilteredImageData(const TRaster& bitmap, const TAlpha& alpha, const TPngLayout& layout) {
  const std::size_t rowBytes = layout.rowBytes;
  const bool filtered = RowsFiltered(layout);
  std::vector<std::uint8_t> data((rowBytes + 1) * static_cast<std::size_t>(bitmap.Height()));
  std::vector<std::uint8_t> current(rowBytes), prior(rowBytes, 0);
  std::vector<std::uint8_t> bgr(static_cast<std::size_t>(bitmap.Width()) * 3);
  std::uint8_t* out = data.data();
  for (int y = 0; y < bitmap.Height(); ++y, out += rowBytes + 1) {
    if (!filtered) {
      out[0] = pfNone;
      BuildRow(bitmap, alpha, layout, y, bgr.data(), out + 1);
      continue;
    }
    BuildRow(bitmap, alpha, layout, y, bgr.data(), current.data());
    out[0] = FilterRowAdaptively(current.data(), prior.data(), rowBytes, layout.bytesPerPixel, out + 1);
    current.swap(prior);
  }
  return data;
}

}  // namespace

void ToxPNGImage::SaveToStream(TMemoryStream& stream) {
  if (Bitmap.Empty()) throw EInvalidGraphic("Cannot save an empty PNG image");
  const TPngLayout layout = LayoutFor(Bitmap, Alpha);
  ColorType = layout.colorType;
  BitDepth = layout.bitDepth;

  TMemoryStream file;
  file.Write(kPngSignature, sizeof kPngSignature);
  WritePngChunk(file, "IHDR", HeaderData(Bitmap, layout));
  if (ColorType == ctPalette) WritePngChunk(file, "PLTE", PaletteData(Bitmap));
  if (HasBackground) {
    const auto bkgd = BackgroundData(Bitmap, ColorType, Background);
    if (!bkgd.empty()) WritePngChunk(file, "bKGD", bkgd);
  }
  const auto trns = TransparencyData(Bitmap, ColorType, Alpha);
  if (!trns.empty()) WritePngChunk(file, "tRNS", trns);
  // A negative resolution is as unknown as 0: pHYs holds unsigned values.
  if (XPelsPerMeter > 0 && YPelsPerMeter > 0) WritePngChunk(file, "pHYs", PhysicalData(XPelsPerMeter, YPelsPerMeter));

  const std::vector<std::uint8_t> filtered = FilteredImageData(Bitmap, Alpha, layout);
  const std::vector<std::uint8_t> compressed =
      PngDeflate(filtered.data(), filtered.size(), ChoosePngDeflate(filtered, layout.rowBytes + 1, !RowsFiltered(layout)));
  for (std::size_t offset = 0; offset < compressed.size(); offset += kIdatChunkSize) {
    WritePngChunk(file, "IDAT", compressed.data() + offset, std::min(kIdatChunkSize, compressed.size() - offset));
  }
  WritePngChunk(file, "IEND", nullptr, 0);
  stream.Write(file.Data(), file.Size());
}

}  // namespace pagewell
