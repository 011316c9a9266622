#include "viewer/nearest_pixel_view.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace pagewell {

namespace {

// The image column or row that a display column or row shows, kept inside
// the image when the view reaches past the zoomed image's last pixel.
std::vector<int> SourceIndices(int count, int origin, double scale, int limit) {
  std::vector<int> indices(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const double source = std::trunc((origin + i) / scale);
    indices[static_cast<std::size_t>(i)] = static_cast<int>(std::clamp(source, 0.0, static_cast<double>(limit - 1)));
  }
  return indices;
}

void CopyBits(const std::uint8_t* from, std::uint8_t* to, const std::vector<int>& columns) {
  for (std::size_t x = 0; x < columns.size(); ++x) {
    const int sx = columns[x];
    const int bit = (from[sx >> 3] >> (7 - (sx & 7))) & 1;
    const std::uint8_t mask = static_cast<std::uint8_t>(0x80 >> (x & 7));
    if (bit) to[x >> 3] |= mask; else to[x >> 3] &= static_cast<std::uint8_t>(~mask);
  }
}

void CopyNibbles(const std::uint8_t* from, std::uint8_t* to, const std::vector<int>& columns) {
  for (std::size_t x = 0; x < columns.size(); ++x) {
    const int sx = columns[x];
    const int nibble = (sx & 1) ? from[sx >> 1] & 0x0F : from[sx >> 1] >> 4;
    std::uint8_t& target = to[x >> 1];
    target = (x & 1) ? static_cast<std::uint8_t>((target & 0xF0) | nibble)
                     : static_cast<std::uint8_t>((target & 0x0F) | (nibble << 4));
  }
}

void CopyBytes(const std::uint8_t* from, std::uint8_t* to, const std::vector<int>& columns, int bytesPerPixel) {
  for (std::size_t x = 0; x < columns.size(); ++x) {
    std::memcpy(to + x * bytesPerPixel, from + static_cast<std::size_t>(columns[x]) * bytesPerPixel,
                static_cast<std::size_t>(bytesPerPixel));
  }
}

}  // namespace

void RenderNearestPixelView(const TRaster& image, double scale, int h, int v, TRaster& display) {
  if (image.Empty() || display.Empty() || !(scale > 0.0)) return;
  if (display.PixelFormat() != image.PixelFormat()) display.SetPixelFormat(image.PixelFormat());
  if (!image.Palette().empty()) display.SetPaletteKeepingIndices(image.Palette());
  const std::vector<int> columns = SourceIndices(display.Width(), h, scale, image.Width());
  const std::vector<int> rows = SourceIndices(display.Height(), v, scale, image.Height());
  const int bits = image.BitsPerPixel();
  for (int y = 0; y < display.Height(); ++y) {
    const std::uint8_t* from = image.ScanLine(rows[static_cast<std::size_t>(y)]);
    std::uint8_t* to = display.ScanLine(y);
    if (bits == 1) CopyBits(from, to, columns);
    else if (bits == 4) CopyNibbles(from, to, columns);
    else CopyBytes(from, to, columns, bits / 8);
  }
}

}  // namespace pagewell
