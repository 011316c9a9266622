#include "imaging/auto_color.h"

namespace pagewell {
namespace {

bool IsBlackAndWhite(const TluBitmap& page) { return page.PixelFormat() == TPixelFormat::pf1bit; }

bool IsGray(const TluBitmap& page) { return IsPaletteFormat(page.PixelFormat()) && page.IsGrayPalette(); }

}  // namespace

TColorMode AutoColorModeFor(const TluBitmap& page, const TContentAnalysis& content, int level) {
  if (level != acGrayWhenColourless && level != acBlackWhiteWhenTextOnly) return cmUnknown;
  if (page.Empty() || IsBlackAndWhite(page) || content.HasColour) return cmUnknown;
  const bool toBlackWhite = level == acBlackWhiteWhenTextOnly && !content.HasPhotograph;
  if (toBlackWhite) return cmBlackWhite;
  return IsGray(page) ? cmUnknown : cmGray256;
}

bool ApplyAutoColor(TluBitmap& page, const TContentAnalysis& content, int level) {
  const TColorMode mode = AutoColorModeFor(page, content, level);
  if (mode == cmUnknown) return false;
  page.DetectColorMode();
  if (mode == cmBlackWhite) {
    page.ConvertColorMode(cmBlackWhite, 0, content.BlackWhiteThreshold);
  } else {
    page.ConvertColorMode(mode, 2, 128);
  }
  return true;
}

}  // namespace pagewell
