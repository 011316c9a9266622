#pragma once
// A page reduced for showing elsewhere: the local service sends pages to a
// web page at the width it asks for.
#include "imaging/lu_bitmap.h"

namespace pagewell {

// A 24-bit copy of `page`, `width` pixels wide (the page's own width when
// that is less: pages are never enlarged) and as high as keeps its
// proportions. Each pixel is the average of the page's pixels under it (a
// box filter), so that thin strokes of a black-and-white page turn grey
// instead of vanishing. Empty when the page or the width is.
TluBitmap ScaledToWidth(const TRaster& page, int width);

}  // namespace pagewell
