#include "viewer/raster_gdi.h"

#include <algorithm>
#include <cstring>
#include <vector>


namespace pagewell {

namespace {

// A BITMAPINFO for `rows` top-down rows of the raster's format, with its
// colour table (or the bit masks of a 5-6-5 raster).
std::vector<std::uint8_t> BitmapInfoFor(const TRaster& raster, int rows) {
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

}  // namespace

void DrawRasterRows(HDC dc, const TRaster& raster, int firstRow, int rowCount, int x, int y) {
  if (raster.Empty()) return;
  firstRow = std::clamp(firstRow, 0, raster.Height());
  rowCount = std::min(rowCount, raster.Height() - firstRow);
  if (rowCount <= 0) return;
  // The rows from firstRow on read as a top-down bitmap of their own, so the
  // whole of it is drawn and no source origin needs interpreting.
  const auto info = BitmapInfoFor(raster, rowCount);
  StretchDIBits(dc, x, y, raster.Width(), rowCount, 0, 0, raster.Width(), rowCount, raster.ScanLine(firstRow),
                reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS, SRCCOPY);
}

HBITMAP CreateBitmapHandle(const TRaster& raster) {
  if (raster.Empty()) return nullptr;
  const auto info = BitmapInfoFor(raster, raster.Height());
  void* bits = nullptr;
  HBITMAP handle =
      CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!handle) return nullptr;
  if (!bits) {
    DeleteObject(handle);
    return nullptr;
  }
  std::memcpy(bits, raster.ScanLine(0), raster.RowStride() * static_cast<std::size_t>(raster.Height()));
  GdiFlush();
  return handle;  // the caller's from here on
}

bool ReadBitmapHandle(HBITMAP handle, TBMPImage& image) {
  BITMAP description{};
  if (!handle || GetObjectA(handle, sizeof description, &description) != sizeof description) return false;
  if (description.bmWidth <= 0 || description.bmHeight <= 0) return false;
  const int bits = description.bmBitsPixel * description.bmPlanes;
  const TPixelFormat format = bits == 1 ? TPixelFormat::pf1bit
                              : bits == 4 ? TPixelFormat::pf4bit
                              : bits == 8 ? TPixelFormat::pf8bit
                                          : TPixelFormat::pf24bit;
  TBMPImage read(description.bmWidth, description.bmHeight, format);
  std::vector<std::uint8_t> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
  auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
  header->biSize = sizeof(BITMAPINFOHEADER);
  header->biWidth = read.Width();
  header->biHeight = -read.Height();
  header->biPlanes = 1;
  header->biBitCount = static_cast<WORD>(read.BitsPerPixel());
  header->biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  const int copied = GetDIBits(screen, handle, 0, static_cast<UINT>(read.Height()), read.ScanLine(0),
                               reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (copied <= 0) return false;
  const int entries = PaletteEntryCount(format);
  if (entries > 0) {
    const auto* colours = reinterpret_cast<const RGBQUAD*>(info.data() + sizeof(BITMAPINFOHEADER));
    std::vector<TColor> palette(static_cast<std::size_t>(entries));
    for (int i = 0; i < entries; ++i) palette[i] = RGBColor(colours[i].rgbRed, colours[i].rgbGreen, colours[i].rgbBlue);
    read.SetPaletteKeepingIndices(palette);
  }
  image = std::move(read);
  return true;
}

}  // namespace pagewell
