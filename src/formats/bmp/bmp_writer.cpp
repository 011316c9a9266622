// The BMP writer: BITMAPFILEHEADER, BITMAPINFOHEADER, colour table, rows from
// the bottom row up, each padded to 4 bytes exactly as the raster stores it.
// Every number is little-endian. The resolution fields at offset 38 carry the
// image's pixels per metre.
#include <cstdint>
#include <vector>

#include "formats/bmp/bmp_image.h"

namespace pagewell {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;

// r5g6b5 needs its masks spelled out; x1r5g5b5 is the BI_RGB meaning of 16 bits.
bool NeedsBitfields(TPixelFormat format) { return format == TPixelFormat::pf16bit; }

std::uint32_t ColorTableBytes(TPixelFormat format) {
  if (NeedsBitfields(format)) return 12;
  return static_cast<std::uint32_t>(PaletteEntryCount(format)) * 4;
}

void WriteColorTable(TMemoryStream& out, const TBMPImage& image) {
  if (NeedsBitfields(image.PixelFormat())) {
    out.WriteU32LE(0xF800), out.WriteU32LE(0x07E0), out.WriteU32LE(0x001F);
    return;
  }
  const std::vector<TColor>& palette = image.Palette();
  for (int i = 0; i < PaletteEntryCount(image.PixelFormat()); ++i) {
    const TColor c = i < static_cast<int>(palette.size()) ? palette[static_cast<std::size_t>(i)] : clBlack;
    const std::uint8_t quad[4] = {BlueOf(c), GreenOf(c), RedOf(c), 0};
    out.Write(quad, 4);
  }
}

}  // namespace

void TBMPImage::SaveToStream(TMemoryStream& stream) const {
  const std::uint32_t rowSize = static_cast<std::uint32_t>(RowStride());
  const std::uint32_t imageSize = rowSize * static_cast<std::uint32_t>(Height());
  const std::uint32_t dataOffset = kFileHeaderSize + kInfoHeaderSize + ColorTableBytes(PixelFormat());

  TMemoryStream file;
  file.WriteString("BM");
  file.WriteU32LE(dataOffset + imageSize);
  file.WriteU32LE(0);  // reserved
  file.WriteU32LE(dataOffset);

  file.WriteU32LE(kInfoHeaderSize);
  file.WriteU32LE(static_cast<std::uint32_t>(Width()));
  file.WriteU32LE(static_cast<std::uint32_t>(Height()));  // positive: rows run bottom-up
  file.WriteU16LE(1);                                    // planes
  file.WriteU16LE(static_cast<std::uint16_t>(BitsPerPixel()));
  file.WriteU32LE(NeedsBitfields(PixelFormat()) ? kBiBitfields : kBiRgb);
  file.WriteU32LE(imageSize);
  file.WriteU32LE(static_cast<std::uint32_t>(XPelsPerMeter));
  file.WriteU32LE(static_cast<std::uint32_t>(YPelsPerMeter));
  file.WriteU32LE(0);  // colours used: the whole table
  file.WriteU32LE(0);  // colours important: all

  WriteColorTable(file, *this);
  for (int y = Height() - 1; y >= 0; --y) file.Write(ScanLine(y), rowSize);
  stream.Write(file.Data(), file.Size());
}

}  // namespace pagewell
