#pragma once
// Automatic colour: a page is kept in the smallest colour mode that loses
// nothing a reader needs. Level 1 keeps a colour page without colour
// content as 8-bit gray; level 2 in addition keeps a gray (or colourless
// colour) page that holds only text and line art as black and white.
// Colour that matters (a stamp, a signature, a logo, a photograph) is never
// dropped, and a photograph never becomes black and white.
#include "imaging/color_mode.h"
#include "imaging/lu_bitmap.h"
#include "imaging/page_content.h"

namespace pagewell {

enum TAutoColorLevel : int {
  acOff = 0,
  acGrayWhenColourless = 1,
  acBlackWhiteWhenTextOnly = 2,
};

// The mode the page should be kept in, or cmUnknown to keep it as it is.
// Levels outside 0 to 2 are treated as off.
TColorMode AutoColorModeFor(const TluBitmap& page, const TContentAnalysis& content, int level);

// Converts the page in place to AutoColorModeFor; true when it changed.
bool ApplyAutoColor(TluBitmap& page, const TContentAnalysis& content, int level);

}  // namespace pagewell
