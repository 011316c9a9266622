// ToxPNGImage set-up: taking a bitmap, the page's transparent colour and its
// resolution, the steps a page save runs before SaveToStream.
#include <algorithm>
#include <cmath>

#include "formats/png/png_image.h"

namespace pagewell {
namespace {

// nearbyint rounds in the default mode: to nearest, ties to even.
std::int32_t DpiToPelsPerMeter(int dpi) {
  const double ppm = std::nearbyint(dpi * 39.37007874);
  return static_cast<std::int32_t>(std::clamp(ppm, -2147483648.0, 2147483647.0));
}

}  // namespace

bool PassesPngGrayTest(const TRaster& bitmap) {
  if (bitmap.PixelFormat() != TPixelFormat::pf8bit) return false;
  const std::vector<TColor>& palette = bitmap.Palette();
  if (palette.size() != 256) return false;
  for (unsigned i = 0; i < 256; ++i) {
    if (palette[i] != RGBColor(i, i, i)) return false;
  }
  return true;
}

void ToxPNGImage::Assign(const TRaster& bitmap) {
  Bitmap = bitmap;
  const TPixelFormat format = Bitmap.PixelFormat();
  const bool writable = format == TPixelFormat::pf1bit || format == TPixelFormat::pf4bit ||
                        format == TPixelFormat::pf8bit || format == TPixelFormat::pf24bit;
  if (!writable && !Bitmap.Empty()) Bitmap.SetPixelFormat(TPixelFormat::pf24bit);
}

void ToxPNGImage::ApplyTransparentColor(bool transparent, TColor color) {
  if (Alpha.Mode == TAlphaMode::amPaletteAlpha || Alpha.Mode == TAlphaMode::amAlphaPlane) return;
  color &= 0xFFFFFF;
  const TPixelFormat format = Bitmap.PixelFormat();
  Alpha.Mode = TAlphaMode::amNone;
  if (!transparent) return;
  if (format == TPixelFormat::pf24bit) {
    Alpha.Mode = TAlphaMode::amKeyColor;
    Alpha.KeyColor = color;
  } else if (format == TPixelFormat::pf8bit && PassesPngGrayTest(Bitmap) && IsGrayColor(color)) {
    Alpha.Mode = TAlphaMode::amKeyGray;
    Alpha.KeyColor = color;
  } else if (IsPaletteFormat(format)) {
    const std::vector<TColor>& palette = Bitmap.Palette();
    for (std::size_t i = 0; i < palette.size(); ++i) {
      if (palette[i] == color) {
        Alpha.Mode = TAlphaMode::amKeyIndex;
        Alpha.KeyColor = color;
        Alpha.KeyIndex = static_cast<std::uint8_t>(i);
        break;
      }
    }
  }
}

void ToxPNGImage::SetResolution(int xDpi, int yDpi) {
  XPelsPerMeter = DpiToPelsPerMeter(xDpi);
  YPelsPerMeter = DpiToPelsPerMeter(yDpi);
}

}  // namespace pagewell
