#include "acquired_page_filter.h"

#include <stdexcept>

#include "imaging/auto_color.h"
#include "imaging/page_content.h"

namespace pagewell {

void TAcquiredPageFilter::SetAutoColor(int level) {
  if (level != acOff && level != acGrayWhenColourless && level != acBlackWhiteWhenTextOnly)
    throw std::invalid_argument("AutoColor must be 0, 1 or 2");
  settings_.AutoColor = level;
}

TPageVerdict TAcquiredPageFilter::Decide(TluBitmap& page) {
  const TPageVerdict verdict = FilterPage(page, settings_);
  if (verdict == TPageVerdict::Discard) ++discarded_;
  return verdict;
}

bool TAcquiredPageFilter::IsBlank(const TluBitmap& page) { return IsBlankPage(page); }

}  // namespace pagewell
