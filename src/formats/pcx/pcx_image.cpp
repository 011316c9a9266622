#include "formats/pcx/pcx_image.h"

#include <algorithm>
#include <cmath>

#include "imaging/errors.h"

namespace pagewell {
namespace {

constexpr double kPelsPerMeterPerDpi = 39.37007874;

std::int32_t DpiToPelsPerMeter(int dpi) {
  return static_cast<std::int32_t>(std::clamp(std::nearbyint(dpi * kPelsPerMeterPerDpi), -2147483648.0, 2147483647.0));
}

std::uint16_t PelsPerMeterToDpi(std::int32_t ppm) {
  return static_cast<std::uint16_t>(std::clamp(std::nearbyint(ppm / kPelsPerMeterPerDpi), 0.0, 65535.0));
}

std::uint16_t EvenAtLeast(std::size_t bytes) { return static_cast<std::uint16_t>((bytes + 1) & ~std::size_t{1}); }

// The planes of one line, each `bytesPerLine` long, the added bytes 0.
class TLineSplitter {
 public:
  TLineSplitter(const TRaster& bitmap, int planes, std::size_t bytesPerLine)
      : bitmap_(bitmap), bytesPerLine_(bytesPerLine), line_(planes * bytesPerLine) {}

  const std::vector<std::uint8_t>& Line(int y) {
    std::fill(line_.begin(), line_.end(), 0);
    const std::uint8_t* row = bitmap_.ScanLine(y);
    const int width = bitmap_.Width();
    switch (bitmap_.PixelFormat()) {
      case TPixelFormat::pf1bit: {
        std::copy(row, row + bitmap_.RowBytes(), line_.begin());
        const unsigned usedBits = static_cast<unsigned>(width) % 8;
        if (usedBits != 0) line_[bitmap_.RowBytes() - 1] &= static_cast<std::uint8_t>(0xFF00 >> usedBits);
        break;
      }
      case TPixelFormat::pf4bit:
        // Plane k holds bit k of every pixel's index.
        for (int x = 0; x < width; ++x) {
          const int index = (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
          const std::uint8_t mask = static_cast<std::uint8_t>(0x80 >> (x & 7));
          for (int k = 0; k < 4; ++k) {
            if (index & (1 << k)) line_[k * bytesPerLine_ + (x >> 3)] |= mask;
          }
        }
        break;
      case TPixelFormat::pf8bit:
        std::copy(row, row + width, line_.begin());
        break;
      default:  // 24 bits: all red bytes, then green, then blue
        for (int x = 0; x < width; ++x, row += 3) {
          line_[x] = row[2];
          line_[bytesPerLine_ + x] = row[1];
          line_[2 * bytesPerLine_ + x] = row[0];
        }
        break;
    }
    return line_;
  }

 private:
  const TRaster& bitmap_;
  std::size_t bytesPerLine_;
  std::vector<std::uint8_t> line_;
};

void WriteHeader(TMemoryStream& out, const TPCXHeader& h) {
  out.WriteByte(h.Manufacturer);
  out.WriteByte(h.Version);
  out.WriteByte(h.Encoding);
  out.WriteByte(h.BitsPerPixel);
  for (std::uint16_t v : {h.XMin, h.YMin, h.XMax, h.YMax, h.HDpi, h.VDpi}) out.WriteU16LE(v);
  out.Write(h.ColorMap.data(), h.ColorMap.size());
  out.WriteByte(0);  // reserved
  out.WriteByte(h.Planes);
  out.WriteU16LE(h.BytesPerLine);
  out.WriteU16LE(h.PaletteType);
  const std::uint8_t filler[58] = {};
  out.Write(filler, sizeof filler);
}

void FillHeaderColorMap(TPCXHeader& h, const std::vector<TColor>& colors) {
  for (std::size_t i = 0; i < 16 && i < colors.size(); ++i) {
    h.ColorMap[3 * i] = RedOf(colors[i]);
    h.ColorMap[3 * i + 1] = GreenOf(colors[i]);
    h.ColorMap[3 * i + 2] = BlueOf(colors[i]);
  }
}

}  // namespace

void EncodePCXLine(const std::uint8_t* bytes, std::size_t count, std::vector<std::uint8_t>& out) {
  std::size_t i = 0;
  while (i < count) {
    const std::uint8_t value = bytes[i];
    std::size_t run = 1;
    while (i + run < count && run < 63 && bytes[i + run] == value) ++run;
    if (run > 1 || value >= 0xC0) out.push_back(static_cast<std::uint8_t>(0xC0 + run));
    out.push_back(value);
    i += run;
  }
}

void TPCXImage::SetResolution(int xDpi, int yDpi) {
  XPelsPerMeter = DpiToPelsPerMeter(xDpi);
  YPelsPerMeter = DpiToPelsPerMeter(yDpi);
}

void TPCXImage::SaveToStream(TMemoryStream& stream) {
  if (Bitmap.Empty()) throw EInvalidGraphic("Cannot save an empty PCX image");
  if (Bitmap.Width() > 65536 || Bitmap.Height() > 65536) throw EInvalidGraphic("Image is too large for a PCX file");
  TRaster work = Bitmap;
  const TPixelFormat format = work.PixelFormat();
  if (!IsPaletteFormat(format) && format != TPixelFormat::pf24bit) work.SetPixelFormat(TPixelFormat::pf24bit);
  // The header of a 1-bit file says black, white: a bitmap whose palette is
  // the other way round is mapped onto it so the picture survives.
  if (format == TPixelFormat::pf1bit) work.SetPalette({clBlack, clWhite});

  Header = TPCXHeader();
  Palette.clear();
  const std::size_t width = static_cast<std::size_t>(work.Width());
  switch (work.PixelFormat()) {
    case TPixelFormat::pf1bit:
    case TPixelFormat::pf4bit:
      Header.BitsPerPixel = 1;
      Header.Planes = work.PixelFormat() == TPixelFormat::pf1bit ? 1 : 4;
      // Whole bytes: every pixel of the line is kept, and a line is never empty.
      Header.BytesPerLine = EvenAtLeast((width + 7) / 8);
      break;
    case TPixelFormat::pf8bit:
      Header.BitsPerPixel = 8;
      Header.Planes = 1;
      Header.BytesPerLine = EvenAtLeast(width);
      break;
    default:
      Header.BitsPerPixel = 8;
      Header.Planes = 3;
      Header.BytesPerLine = EvenAtLeast(width);
      break;
  }
  if (work.PixelFormat() == TPixelFormat::pf1bit) {
    FillHeaderColorMap(Header, {clBlack, clWhite});
  } else if (work.PixelFormat() == TPixelFormat::pf4bit) {
    FillHeaderColorMap(Header, work.Palette());
  } else if (work.PixelFormat() == TPixelFormat::pf8bit) {
    Palette = work.Palette();
    Palette.resize(256, clBlack);
  }
  Header.XMax = static_cast<std::uint16_t>(work.Width() - 1);
  Header.YMax = static_cast<std::uint16_t>(work.Height() - 1);
  Header.HDpi = PelsPerMeterToDpi(XPelsPerMeter);
  Header.VDpi = PelsPerMeterToDpi(YPelsPerMeter);

  TMemoryStream file;
  WriteHeader(file, Header);
  TLineSplitter splitter(work, Header.Planes, Header.BytesPerLine);
  std::vector<std::uint8_t> encoded;
  for (int y = 0; y < work.Height(); ++y) {
    const std::vector<std::uint8_t>& line = splitter.Line(y);
    encoded.clear();
    for (int plane = 0; plane < Header.Planes; ++plane) {
      EncodePCXLine(line.data() + plane * static_cast<std::size_t>(Header.BytesPerLine), Header.BytesPerLine, encoded);
    }
    file.Write(encoded.data(), encoded.size());
  }
  if (!Palette.empty()) {
    file.WriteByte(12);
    for (TColor c : Palette) file.WriteByte(RedOf(c)), file.WriteByte(GreenOf(c)), file.WriteByte(BlueOf(c));
  }
  stream.Write(file.Data(), file.Size());
}

}  // namespace pagewell
