#include "platform/bitmap_info.h"

#include <cstring>

namespace pagewell {

std::vector<std::uint8_t> TopDownBitmapInfo(const TRaster& raster, int rows) {
  const auto& palette = raster.Palette();
  const bool masks = raster.PixelFormat() == TPixelFormat::pf16bit;
  const std::size_t extra = masks ? 3 * sizeof(DWORD) : palette.size() * sizeof(RGBQUAD);
  std::vector<std::uint8_t> info(sizeof(BITMAPINFOHEADER) + extra);
  auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
  header->biSize = sizeof(BITMAPINFOHEADER);
  header->biWidth = raster.Width();
  header->biHeight = -rows;
  header->biPlanes = 1;
  header->biBitCount = static_cast<WORD>(raster.BitsPerPixel());
  header->biCompression = masks ? BI_BITFIELDS : BI_RGB;
  header->biClrUsed = static_cast<DWORD>(palette.size());
  if (masks) {
    const DWORD bitMasks[3] = {0xF800, 0x07E0, 0x001F};
    std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), bitMasks, sizeof bitMasks);
  } else {
    auto* colours = reinterpret_cast<RGBQUAD*>(info.data() + sizeof(BITMAPINFOHEADER));
    for (std::size_t i = 0; i < palette.size(); ++i) {
      colours[i] = RGBQUAD{BlueOf(palette[i]), GreenOf(palette[i]), RedOf(palette[i]), 0};
    }
  }
  return info;
}

}  // namespace pagewell
