#pragma once
// The zoomed view of an image by nearest pixel: only the pixels that show
// are computed. Display pixel (x, y) of a view whose top-left corner lies at
// (h, v) in the zoomed image shows image pixel (trunc((h + x) / s),
// trunc((v + y) / s)), s being the zoom as a factor.
#include "imaging/raster.h"

namespace pagewell {

// Fills `display` (whose size is the view's) with the view of `image`;
// `display` takes the image's pixel format and palette. Pixels are copied
// whole: a bit, a nibble or whole bytes as the format holds them.
void RenderNearestPixelView(const TRaster& image, double scale, int h, int v, TRaster& display);

}  // namespace pagewell
