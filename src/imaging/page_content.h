#pragma once
// What is on a page, as a reader would see it: whether anything on it is
// content, whether colour matters anywhere, and whether it holds a
// photograph. Blank-page removal and automatic colour both decide from this.
#include "imaging/lu_bitmap.h"

namespace pagewell {

struct TContentAnalysis {
  // Nothing but paper: its tint, faint show-through from the other side,
  // dust, punch holes and the shadows along its edges.
  bool Blank = true;
  // Colour anywhere that matters: a stamp, a coloured signature or logo, a
  // photograph. A tinted sheet alone is not colour.
  bool HasColour = false;
  // A region of continuous tones (a photograph, or a shaded area large
  // enough to look like one), which black and white would destroy.
  bool HasPhotograph = false;
  int PaperLuma = 255;  // the paper's brightness, 0 to 255
  int InkLuma = 0;      // typical brightness of the darkest ink
  // For black and white: a pixel whose mean of red, green and blue is at
  // most this is ink. Set between paper and ink so strokes stay whole and
  // show-through stays out.
  int BlackWhiteThreshold = 128;
};

// Works on every pixel format; an empty page is blank.
TContentAnalysis AnalysePageContent(const TluBitmap& page);

inline bool IsBlankPage(const TluBitmap& page) { return AnalysePageContent(page).Blank; }

}  // namespace pagewell
