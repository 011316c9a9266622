#pragma once
// A raster and GDI: drawing its rows onto a device context straight from
// its own memory, and the exchange with Windows bitmap handles.
#include <windows.h>

#include "formats/bmp/bmp_image.h"
#include "imaging/raster.h"

namespace pagewell {

// Draws `rowCount` rows of the raster, from `firstRow` on, with their
// top-left corner at (x, y), pixel for pixel. No copy of the pixels is made:
// GDI reads the rows where the raster keeps them.
void DrawRasterRows(HDC dc, const TRaster& raster, int firstRow, int rowCount, int x, int y);

// A new device-independent bitmap holding a copy of the raster, owned by
// the caller; 0 for an empty raster or when GDI refuses.
HBITMAP CreateBitmapHandle(const TRaster& raster);

// Reads the bitmap behind the handle: 1, 4, 8 and 24-bit bitmaps in their
// own format and palette, any other depth as 24 bits. Answers false, leaving
// `image` as it was, for a handle that is not a bitmap or has no pixels.
bool ReadBitmapHandle(HBITMAP handle, TBMPImage& image);

}  // namespace pagewell
