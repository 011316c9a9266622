#include "formats/gif/gif_image.h"

#include <algorithm>
#include <string>

#include "formats/gif/gif_exception.h"
#include "formats/gif/rle_encoder.h"

namespace pagewell {

int TGIFColorMap::BitsPerPixel() const {
  int bits = 1;
  while (bits < 8 && (std::size_t{1} << bits) < Colors.size()) ++bits;
  return bits;
}

int TGIFColorMap::IndexOf(TColor color) const {
  const auto it = std::find(Colors.begin(), Colors.end(), color & 0xFFFFFF);
  return it == Colors.end() ? -1 : static_cast<int>(it - Colors.begin());
}

void TGIFImage::Assign(const TRaster& bitmap) {
  if (!IsPaletteFormat(bitmap.PixelFormat())) throw GIFException("GIF images need a 1, 4 or 8-bit bitmap");
  Images.clear();
  GlobalColorMap = TGIFColorMap();
  TGIFSubImage image;
  image.Width = bitmap.Width();
  image.Height = bitmap.Height();
  image.ColorMap.Colors = bitmap.Palette();
  image.Pixels.resize(static_cast<std::size_t>(image.Width) * static_cast<std::size_t>(image.Height));
  std::uint8_t* out = image.Pixels.data();
  for (int y = 0; y < bitmap.Height(); ++y) {
    const std::uint8_t* row = bitmap.ScanLine(y);
    switch (bitmap.PixelFormat()) {
      case TPixelFormat::pf8bit:
        out = std::copy(row, row + image.Width, out);
        break;
      case TPixelFormat::pf4bit:
        for (int x = 0; x < image.Width; ++x) *out++ = (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
        break;
      default:
        for (int x = 0; x < image.Width; ++x) *out++ = (row[x >> 3] >> (7 - (x & 7))) & 1;
        break;
    }
  }
  Images.push_back(std::move(image));
}

void TGIFImage::SetTransparentColor(TColor color) {
  if (Images.empty()) return;
  TGIFSubImage& image = Images.front();
  const TGIFColorMap& map = image.ColorMap.Empty() ? GlobalColorMap : image.ColorMap;
  TGIFGraphicControlExtension extension;
  const int index = map.IndexOf(color);
  extension.Transparent = index >= 0;
  extension.TransparentColorIndex = static_cast<std::uint8_t>(index >= 0 ? index : 0);
  image.GraphicControl = extension;
}

}  // namespace pagewell
