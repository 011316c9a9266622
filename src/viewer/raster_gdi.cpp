#include "viewer/raster_gdi.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/bitmap_info.h"

namespace pagewell {

void DrawRasterRows(HDC dc, const TRaster& raster, int firstRow, int rowCount, int x, int y) {
  if (raster.Empty()) return;
  firstRow = std::clamp(firstRow, 0, raster.Height());
  rowCount = std::min(rowCount, raster.Height() - firstRow);
  if (rowCount <= 0) return;
  // The rows from firstRow on read as a top-down bitmap of their own, so the
  // whole of it is drawn and no source origin needs interpreting.
  const auto info = TopDownBitmapInfo(raster, rowCount);
  StretchDIBits(dc, x, y, raster.Width(), rowCount, 0, 0, raster.Width(), rowCount, raster.ScanLine(firstRow),
                reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS, SRCCOPY);
}

HBITMAP CreateBitmapHandle(const TRaster& raster) {
  if (raster.Empty()) return nullptr;
  const auto info = TopDownBitmapInfo(raster, raster.Height());
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
  // Room for the colour table GetDIBits fills in: the format's default
  // palette has every entry the depth allows.
  auto info = TopDownBitmapInfo(read, read.Height());
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
