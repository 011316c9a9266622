#pragma once
// The geometric operations change an alpha plane together with the page,
// but only a plane that still describes the page: one of the page's size.
#include "imaging/lu_bitmap.h"

namespace pagewell {

inline bool HasPageSizedAlphaPlane(const TluBitmap& page) {
  const TRaster& plane = page.Alpha.AlphaPlane;
  return page.Alpha.Mode == TAlphaMode::amAlphaPlane && plane.PixelFormat() == TPixelFormat::pf8bit &&
         !plane.Empty() && plane.Width() == page.Width() && plane.Height() == page.Height();
}

}  // namespace pagewell
