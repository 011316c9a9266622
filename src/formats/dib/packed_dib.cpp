#include "formats/dib/packed_dib.h"

#include <cstring>
#include <limits>
#include <vector>

#include "imaging/errors.h"

namespace pagewell {
namespace {

constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::uint32_t kUncompressed = 0;  // BI_RGB

struct TDibHeader {
  std::uint32_t HeaderSize;
  std::int32_t Width;
  std::int32_t Height;
  std::uint16_t BitCount;
  std::uint32_t Compression;
  std::int32_t XPelsPerMeter;
  std::int32_t YPelsPerMeter;
  std::uint32_t ColorsUsed;
};

std::uint32_t ReadU32(const std::uint8_t* at) {
  return at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}
std::uint16_t ReadU16(const std::uint8_t* at) { return static_cast<std::uint16_t>(at[0] | (at[1] << 8)); }

TDibHeader ReadHeader(const std::uint8_t* dib) {
  TDibHeader h;
  h.HeaderSize = ReadU32(dib);
  h.Width = static_cast<std::int32_t>(ReadU32(dib + 4));
  h.Height = static_cast<std::int32_t>(ReadU32(dib + 8));
  h.BitCount = ReadU16(dib + 14);
  h.Compression = ReadU32(dib + 16);
  h.XPelsPerMeter = static_cast<std::int32_t>(ReadU32(dib + 24));
  h.YPelsPerMeter = static_cast<std::int32_t>(ReadU32(dib + 28));
  h.ColorsUsed = ReadU32(dib + 32);
  return h;
}

// How one supported depth is laid out: palette size, raster format and the
// bytes of pixel data in each row.
struct TDepthLayout {
  int PaletteEntries;
  TPixelFormat Format;
  bool CopiesPixels;
};

TDepthLayout LayoutFor(const TDibHeader& h) {
  const bool plain = h.Compression == kUncompressed;
  if (plain && h.BitCount == 1) return {2, TPixelFormat::pf1bit, true};
  if (plain && h.BitCount == 4) return {16, TPixelFormat::pf4bit, true};
  if (plain && h.BitCount == 8) return {256, TPixelFormat::pf8bit, true};
  if (plain && h.BitCount == 24) return {0, TPixelFormat::pf24bit, true};
  return {0, TPixelFormat::pf24bit, false};
}

// Bytes from one DIB row to the next: rows are padded to 4 bytes.
std::uint64_t DibStride(std::int64_t width, unsigned bitCount) {
  return ((static_cast<std::uint64_t>(width) * bitCount + 31) / 32) * 4;
}

std::vector<TColor> ReadColorTable(const std::uint8_t* table, int entries) {
  std::vector<TColor> palette(entries);
  // RGBQUAD: blue, green, red, reserved.
  for (int i = 0; i < entries; ++i) palette[i] = RGBColor(table[4 * i + 2], table[4 * i + 1], table[4 * i]);
  return palette;
}

bool BeginsWithWhite(const std::vector<TColor>& palette) { return !palette.empty() && RedOf(palette[0]) == 255; }

}  // namespace

std::int32_t PelsPerMeterFromDpi(double dpi) {
  if (!(dpi > 0.0) || dpi > 1.0e6) return 0;
  return static_cast<std::int32_t>(dpi * 1000.0 / 25.4 + 0.5);
}

bool ConvertPackedDib(const std::uint8_t* dib, std::size_t size, const TDibConversionOptions& options,
                      TBMPImage& image) {
  image = TBMPImage();
  if (!dib || size < kInfoHeaderSize) return false;
  const TDibHeader h = ReadHeader(dib);
  if (h.HeaderSize < kInfoHeaderSize || h.HeaderSize > size) return false;
  if (h.Width <= 0 || h.Height == 0 || h.Height == std::numeric_limits<std::int32_t>::min()) return false;
  const bool topDown = h.Height < 0;
  const int width = h.Width;
  const int height = topDown ? -h.Height : h.Height;

  const TDepthLayout layout = LayoutFor(h);
  // The colour table holds biClrUsed entries when that is set and smaller
  // than the depth allows, else the full table.
  int tableEntries = layout.PaletteEntries;
  if (h.ColorsUsed > 0 && h.ColorsUsed < static_cast<std::uint32_t>(tableEntries))
    tableEntries = static_cast<int>(h.ColorsUsed);
  const std::uint64_t tableOffset = h.HeaderSize;
  const std::uint64_t pixelOffset = tableOffset + 4ull * tableEntries;
  // Even where no pixels are copied, the block must hold the rows its header
  // claims: that bounds the size of the image we allocate by what the
  // source really sent.
  const std::uint64_t stride = DibStride(width, h.BitCount ? h.BitCount : 1);
  if (pixelOffset + stride * static_cast<std::uint64_t>(height) > size) return false;

  try {
    TBMPImage converted(width, height, layout.Format);
    converted.XPelsPerMeter = h.XPelsPerMeter ? h.XPelsPerMeter : PelsPerMeterFromDpi(options.FallbackXDpi);
    converted.YPelsPerMeter = h.YPelsPerMeter ? h.YPelsPerMeter : PelsPerMeterFromDpi(options.FallbackYDpi);

    bool remapToBlackWhite = false;
    if (layout.PaletteEntries > 0) {
      std::vector<TColor> palette = ReadColorTable(dib + tableOffset, tableEntries);
      palette.resize(layout.PaletteEntries, clBlack);
      if (layout.Format == TPixelFormat::pf1bit && BeginsWithWhite(palette)) {
        if (options.WhiteFirstTableMeansBlack) {
          palette[0] = clBlack;
          palette[1] = clWhite;
        } else {
          remapToBlackWhite = true;
        }
      }
      converted.SetPaletteKeepingIndices(palette);
    }

    if (layout.CopiesPixels) {
      const std::size_t rowBytes = TRaster::RowBytesFor(width, layout.Format);
      for (int i = 0; i < height; ++i) {
        const int targetRow = topDown ? i : height - 1 - i;
        std::memcpy(converted.ScanLine(targetRow), dib + pixelOffset + i * stride, rowBytes);
      }
    }

    if (remapToBlackWhite) converted.SetPalette({clBlack, clWhite});
    image = std::move(converted);
    return true;
  } catch (const ERasterError&) {
    return false;
  }
}

}  // namespace pagewell
