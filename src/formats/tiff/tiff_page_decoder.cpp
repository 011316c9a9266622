#include "formats/tiff/tiff_page_decoder.h"

#include <algorithm>
#include <cstring>

#include "formats/tiff/tiff_errors.h"
#include "formats/tiff/tiff_strip_decoder.h"
#include "formats/tiff/tiff_tags.h"
#include "imaging/default_palettes.h"

namespace pagewell {
namespace {

[[noreturn]] void Fail(const char* message) { throw EInvalidGraphic(message); }

enum class TPixelKind { Bilevel, Gray, RGB, Palette, CMYK };

// Which decoding the page needs, or the error that says why there is none.
TPixelKind Classify(const TTiffPageLayout& page) {
  const int bits = page.bitsPerSample[0];
  const int samples = page.samplesPerPixel;
  switch (page.photometric) {
    case tiff::phWhiteIsZero:
    case tiff::phBlackIsZero:
      if (bits == 1) {
        if (samples != 1) Fail(tiffmsg::kBilevel);
        return TPixelKind::Bilevel;
      }
      if (bits != 4 && bits != 8) Fail(tiffmsg::kColourDepth);
      if (samples != 1 && samples != 2) Fail(tiffmsg::kGrayscale);
      return TPixelKind::Gray;
    case tiff::phRGB:
      if (samples < 3 || !(bits == 8 || (bits == 16 && page.compression == tiff::compNone))) Fail(tiffmsg::kRGB);
      return TPixelKind::RGB;
    case tiff::phPalette:
      if (samples != 1 || (bits != 1 && bits != 4 && bits != 8) || page.colorMap.size() < 3u << bits) {
        Fail(tiffmsg::kPalette);
      }
      return TPixelKind::Palette;
    case tiff::phSeparated:
      if (samples < 4 || bits != 8 || page.inkSet != 1 || page.numberOfInks != 4) Fail(tiffmsg::kSeparated);
      return TPixelKind::CMYK;
    case tiff::phYCbCr: Fail(tiffmsg::kYCbCr);
    default: Fail(tiffmsg::kPhotometricValue);
  }
}

// Layouts the decoder does not read: separate planes, samples of unequal
// depth, predictors other than horizontal differencing of 8-bit samples.
void CheckSampleLayout(const TTiffPageLayout& page, TPixelKind kind) {
  const bool allEqual = std::all_of(page.bitsPerSample.begin(), page.bitsPerSample.end(),
                                    [&](std::uint16_t b) { return b == page.bitsPerSample[0]; });
  if (!allEqual || (page.samplesPerPixel > 1 && page.planarConfiguration != 1)) Fail(tiffmsg::kUnknownFormat);
  if (page.predictor == 1 || kind == TPixelKind::Bilevel) return;
  if (page.predictor != 2 || page.bitsPerSample[0] != 8) Fail(tiffmsg::kUnknownFormat);
}

// Compressed data can describe far more pixels than it has bytes, but not
// without bound: a page may decode to at most 64 MiB plus 2048 bytes for
// every byte of the file (a blank 600 dpi colour page in LZW fits), and never
// to more than 1 GiB.
void CheckSize(std::uint64_t bytes, std::size_t fileSize) {
  const std::uint64_t limit = std::min<std::uint64_t>(1ull << 30, (64ull << 20) + 2048ull * fileSize);
  if (bytes > limit) Fail(tiffmsg::kTooLarge);
}

TPixelFormat RasterFormat(TPixelKind kind, int bits) {
  switch (kind) {
    case TPixelKind::Bilevel: return TPixelFormat::pf1bit;
    case TPixelKind::Gray: return bits == 4 ? TPixelFormat::pf4bit : TPixelFormat::pf8bit;
    case TPixelKind::Palette:
      return bits == 1 ? TPixelFormat::pf1bit : bits == 4 ? TPixelFormat::pf4bit : TPixelFormat::pf8bit;
    default: return TPixelFormat::pf24bit;
  }
}

std::vector<TColor> GrayRamp(int levels) {
  std::vector<TColor> palette(levels);
  const int step = 255 / (levels - 1);
  for (int i = 0; i < levels; ++i) palette[i] = RGBColor(i * step, i * step, i * step);
  return palette;
}

// Colour map values below 256 everywhere are 8-bit components as they
// stand; otherwise each is value / 257 rounded half up.
std::vector<TColor> PaletteFromColorMap(const std::vector<std::uint16_t>& map, int bits) {
  const std::size_t n = std::size_t{1} << bits;
  const bool eightBit = std::all_of(map.begin(), map.begin() + 3 * n, [](std::uint16_t v) { return v < 256; });
  auto component = [&](std::size_t i) { return eightBit ? map[i] : (2u * map[i] + 257) / 514; };
  std::vector<TColor> palette(n);
  for (std::size_t i = 0; i < n; ++i) palette[i] = RGBColor(component(i), component(n + i), component(2 * n + i));
  return palette;
}

std::vector<TColor> PaletteFor(const TTiffPageLayout& page, TPixelKind kind) {
  switch (kind) {
    case TPixelKind::Bilevel: return {clBlack, clWhite};
    case TPixelKind::Gray: return GrayRamp(page.bitsPerSample[0] == 4 ? 16 : 256);
    case TPixelKind::Palette: return PaletteFromColorMap(page.colorMap, page.bitsPerSample[0]);
    default: return {};
  }
}

// CMYK to RGB: R = 255 - min(255, round(C × (255 - K) / 255 + K)).
std::uint8_t InkToLight(unsigned ink, unsigned black) {
  const unsigned covered = (2 * ink * (255 - black) + 255) / 510 + black;
  return static_cast<std::uint8_t>(255 - std::min(255u, covered));
}

// Writes the decoded rows of one strip into the raster from row `top` on.
class TRowWriter {
 public:
  TRowWriter(const TTiffPageLayout& page, TPixelKind kind, std::size_t rowBytes)
      : page_(page), kind_(kind), rowBytes_(rowBytes) {}

  void Write(const std::uint8_t* rows, int count, int top, TRaster& raster) const {
    for (int y = 0; y < count; ++y) {
      const std::uint8_t* in = rows + static_cast<std::size_t>(y) * rowBytes_;
      std::uint8_t* out = raster.ScanLine(top + y);
      switch (kind_) {
        case TPixelKind::Bilevel: WriteBilevel(in, out, raster.RowBytes()); break;
        case TPixelKind::Gray: WriteGray(in, out); break;
        case TPixelKind::Palette: std::memcpy(out, in, raster.RowBytes()); break;
        case TPixelKind::RGB: WriteRGB(in, out); break;
        case TPixelKind::CMYK: WriteCMYK(in, out); break;
      }
    }
  }

 private:
  // Index 0 is black: BlackIsZero bits are indices as they stand,
  // WhiteIsZero bits are inverted.
  void WriteBilevel(const std::uint8_t* in, std::uint8_t* out, std::size_t count) const {
    if (page_.photometric == tiff::phBlackIsZero) {
      std::memcpy(out, in, count);
    } else {
      for (std::size_t i = 0; i < count; ++i) out[i] = static_cast<std::uint8_t>(~in[i]);
    }
  }

  void WriteGray(const std::uint8_t* in, std::uint8_t* out) const {
    const std::size_t samples = page_.samplesPerPixel;
    const bool invert = page_.photometric == tiff::phWhiteIsZero;
    if (page_.bitsPerSample[0] == 8) {
      for (std::uint32_t x = 0; x < page_.width; ++x) {
        const std::uint8_t v = in[x * samples];
        out[x] = invert ? static_cast<std::uint8_t>(255 - v) : v;
      }
      return;
    }
    for (std::uint32_t x = 0; x < page_.width; ++x) {
      const std::size_t nibble = x * samples;
      int v = (nibble & 1) ? in[nibble >> 1] & 0x0F : in[nibble >> 1] >> 4;
      if (invert) v = 15 - v;
      std::uint8_t& target = out[x >> 1];
      target = static_cast<std::uint8_t>((x & 1) ? ((target & 0xF0) | v) : ((target & 0x0F) | v << 4));
    }
  }

  void WriteRGB(const std::uint8_t* in, std::uint8_t* out) const {
    const std::size_t samples = page_.samplesPerPixel;
    if (page_.bitsPerSample[0] == 8) {
      for (std::uint32_t x = 0; x < page_.width; ++x, out += 3) {
        const std::uint8_t* p = in + x * samples;
        out[0] = p[2], out[1] = p[1], out[2] = p[0];
      }
      return;
    }
    // 16 bits: the high byte of each sample, first in "MM" files.
    const std::size_t high = page_.bigEndian ? 0 : 1;
    for (std::uint32_t x = 0; x < page_.width; ++x, out += 3) {
      const std::uint8_t* p = in + 2 * x * samples + high;
      out[0] = p[4], out[1] = p[2], out[2] = p[0];
    }
  }

  void WriteCMYK(const std::uint8_t* in, std::uint8_t* out) const {
    const std::size_t samples = page_.samplesPerPixel;
    for (std::uint32_t x = 0; x < page_.width; ++x, out += 3) {
      const std::uint8_t* p = in + x * samples;
      out[0] = InkToLight(p[2], p[3]);
      out[1] = InkToLight(p[1], p[3]);
      out[2] = InkToLight(p[0], p[3]);
    }
  }

  const TTiffPageLayout& page_;
  TPixelKind kind_;
  std::size_t rowBytes_;
};

}  // namespace

TRaster DecodeTiffPage(const TTiffPageLayout& page, TTiffFileBytes file, bool lzwEnabled) {
  const TPixelKind kind = Classify(page);
  CheckSampleLayout(page, kind);
  const int bits = page.bitsPerSample[0];
  const TPixelFormat format = RasterFormat(kind, bits);
  if (page.width > 0x7FFFFFFFu || page.length > 0x7FFFFFFFu) Fail(tiffmsg::kTooLarge);
  const std::uint64_t rowBytes = (static_cast<std::uint64_t>(page.width) * bits * page.samplesPerPixel + 7) / 8;
  CheckSize(rowBytes * page.length, file.size);
  CheckSize(static_cast<std::uint64_t>(TRaster::StrideFor(static_cast<int>(page.width), format)) * page.length,
            file.size);

  TTiffStripDecoder decoder(page, static_cast<std::size_t>(rowBytes), lzwEnabled);
  TRaster raster(static_cast<int>(page.width), static_cast<int>(page.length), format);
  if (IsPaletteFormat(format)) raster.SetPaletteKeepingIndices(PaletteFor(page, kind));
  const TRowWriter writer(page, kind, static_cast<std::size_t>(rowBytes));

  const std::uint32_t rowsPerStrip = std::min(page.rowsPerStrip, page.length);
  const bool inPlace = decoder.StoresRowsAsTheyAre();
  std::vector<std::uint8_t> rows(inPlace ? 0 : static_cast<std::size_t>(rowsPerStrip * rowBytes));
  std::uint32_t top = 0;
  for (const TTiffStrip& strip : page.strips) {
    const int count = static_cast<int>(std::min(rowsPerStrip, page.length - top));
    if (inPlace) {
      writer.Write(decoder.StoredRows(file.data, strip, count), count, static_cast<int>(top), raster);
    } else {
      decoder.Decode(file.data, strip, count, rows.data());
      writer.Write(rows.data(), count, static_cast<int>(top), raster);
    }
    top += static_cast<std::uint32_t>(count);
  }
  return raster;
}

}  // namespace pagewell
