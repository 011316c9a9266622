// Painting the viewer: the picture at the zoom on the paint area, and the
// viewer's own surface around it.
#include <cmath>

#include "viewer/gray_reduction.h"
#include "viewer/nearest_pixel_view.h"
#include "viewer/pw_image.h"
#include "viewer/raster_gdi.h"

namespace pagewell {

void TPWImage::PaintPicture(HDC dc) {
  if (viewOnly_.kept) {
    PaintZoomed(dc);
    return;
  }
  if (!image_ || image_->Empty()) {
    RECT all{0, 0, paintWidth_, paintHeight_};
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  if (zoom_ == 100.0) {
    // The image's own rows, shifted by the view's origin: no copy.
    DrawRasterRows(dc, *image_, VertOffset(), paintHeight_, -HorzOffset(), 0);
    return;
  }
  PaintZoomed(dc);
}

// Only the visible part is scaled: DisplayBitmap has the paint area's size
// and each of its pixels is computed once. A view kept without its image
// is drawn as it was kept.
void TPWImage::PaintZoomed(HDC dc) {
  if (!viewOnly_.kept) RenderDisplayBitmap();
  if (displayBitmap_.Empty()) return;
  DrawRasterRows(dc, displayBitmap_, 0, displayBitmap_.Height(), 0, 0);
}

void TPWImage::RenderDisplayBitmap() {
  if (displayBitmap_.Width() != paintWidth_ || displayBitmap_.Height() != paintHeight_) {
    PrepareDisplayBitmap(paintWidth_, paintHeight_);
  }
  if (displayBitmap_.Empty() || !image_) return;
  const double scale = zoom_ / 100.0;
  const int h = HorzOffset(), v = VertOffset();
  if (ScalesToGray()) {
    const int left = static_cast<int>(std::trunc(h / scale));
    const int top = static_cast<int>(std::trunc(v / scale));
    const int width = static_cast<int>(std::trunc(displayBitmap_.Width() * 100.0 / zoom_));
    const int height = static_cast<int>(std::trunc(displayBitmap_.Height() * 100.0 / zoom_));
    ReduceToGray(*image_, left, top, width, height, displayBitmap_);
  } else {
    RenderNearestPixelView(*image_, scale, h, v, displayBitmap_);
  }
}

// Right of and below the picture the viewer shows the bars' colour; the
// picture and the bars are child windows, which the viewer's drawing skips.
void TPWImage::PaintSurroundings(HDC dc) {
  RECT all{0, 0, width_, height_};
  FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
}

}  // namespace pagewell
