// Crop: cuts a rectangle out of the page. Parts of the rectangle outside
// the page extend the canvas with the background colour.
#include "imaging/crop.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

#include "imaging/alpha_plane.h"
#include "imaging/errors.h"
#include "imaging/packed_pixels.h"

namespace pagewell {
namespace {

int CheckedExtent(int first, int last) {
  const std::int64_t extent = static_cast<std::int64_t>(last) - first + 1;
  if (extent < 1 || extent > std::numeric_limits<int>::max()) {
    throw ERasterError("Crop rectangle from " + std::to_string(first) + " to " + std::to_string(last) +
                       " is not a valid size");
  }
  return static_cast<int>(extent);
}

template <typename Pixels>
void CopySpan(const std::uint8_t* source, int sourceX, std::uint8_t* target, int targetX, int count) {
  for (int i = 0; i < count; ++i) Pixels::Set(target, targetX + i, Pixels::Get(source, sourceX + i));
}

}  // namespace

TRaster CroppedRaster(const TRaster& source, int left, int top, int width, int height, std::uint32_t fillValue) {
  TRaster target = FilledRasterLike(source, width, height, fillValue);
  // The part of the rectangle that lies on the source, in source coordinates.
  const std::int64_t firstX = std::max<std::int64_t>(left, 0);
  const std::int64_t firstY = std::max<std::int64_t>(top, 0);
  const std::int64_t endX = std::min<std::int64_t>(static_cast<std::int64_t>(left) + width, source.Width());
  const std::int64_t endY = std::min<std::int64_t>(static_cast<std::int64_t>(top) + height, source.Height());
  if (firstX >= endX || firstY >= endY) return target;
  const int count = static_cast<int>(endX - firstX);
  const int sourceX = static_cast<int>(firstX), targetX = static_cast<int>(firstX - left);
  const int bytesPerPixel = source.BitsPerPixel() / 8;
  for (auto y = firstY; y < endY; ++y) {
    const std::uint8_t* from = source.ScanLine(static_cast<int>(y));
    std::uint8_t* to = target.ScanLine(static_cast<int>(y - top));
    if (bytesPerPixel > 0) {
      std::memcpy(to + targetX * bytesPerPixel, from + sourceX * bytesPerPixel,
                  static_cast<std::size_t>(count) * bytesPerPixel);
    } else {
      VisitPackedPixels(source.PixelFormat(),
                        [&](auto pixels) { CopySpan<decltype(pixels)>(from, sourceX, to, targetX, count); });
    }
  }
  return target;
}

void CropPage(TluBitmap& page, int left, int top, int right, int bottom) {
  if (!page.Empty() && IsEditableFormat(page.PixelFormat())) {
    const int width = CheckedExtent(left, right), height = CheckedExtent(top, bottom);
    const bool withAlpha = HasPageSizedAlphaPlane(page);
    static_cast<TRaster&>(page) =
        CroppedRaster(page, left, top, width, height, PixelValueOf(page, page.BackgroundColor));
    if (withAlpha) page.Alpha.AlphaPlane = CroppedRaster(page.Alpha.AlphaPlane, left, top, width, height, page.AlphaFillValue);
  }
  page.ClearSelection();
}

void TluBitmap::Crop(int left, int top, int right, int bottom) {
  // A rectangle one pixel wide or high is refused along with inverted ones.
  if (right > left && bottom > top && left < Width() && top < Height()) {
    CropPage(*this, left, top, right, bottom);
  } else {
    ClearSelection();
  }
}

}  // namespace pagewell
