#pragma once
// The one decision an arriving page goes through before it joins the
// others (a scanned page in the control, an input page in the converter):
// discarded when blank pages go and it is blank, otherwise kept with
// automatic colour applied. With both settings off the page is not looked
// at, so the defaults cost nothing.
#include "imaging/lu_bitmap.h"

namespace pagewell {

struct TPageFilterSettings {
  bool DiscardBlankPages = false;
  int AutoColor = 0;  // TAutoColorLevel; other values are off
};

enum class TPageVerdict { Keep, Discard };

// Changes the page's colour mode in place when it is kept.
TPageVerdict FilterPage(TluBitmap& page, const TPageFilterSettings& settings);

}  // namespace pagewell
