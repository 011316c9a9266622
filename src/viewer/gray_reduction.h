#pragma once
// Reducing a part of a page into 256 grays by averaging: every pixel of the
// reduced view is the mean brightness of the page pixels that fall on it,
// so thin black-on-white strokes of a scanned page stay visible as gray
// instead of dropping out. This is what halftone stretching gives on
// Windows; Wine's GDI takes its halftone mode for plain pixel deletion, so
// the viewer averages itself and looks the same on both.
#include "imaging/raster.h"

namespace pagewell {

// The part of `source` from (left, top) of size width × height (limited to
// the page) onto the whole of `target`, an 8-bit raster whose index i is
// the gray (i, i, i).
void ReduceToGray(const TRaster& source, int left, int top, int width, int height, TRaster& target);

}  // namespace pagewell
