#include "imaging/page_filter.h"

#include "imaging/auto_color.h"
#include "imaging/page_content.h"

namespace pagewell {

TPageVerdict FilterPage(TluBitmap& page, const TPageFilterSettings& settings) {
  const bool autoColor = settings.AutoColor == acGrayWhenColourless || settings.AutoColor == acBlackWhiteWhenTextOnly;
  if (!settings.DiscardBlankPages && !autoColor) return TPageVerdict::Keep;
  const TContentAnalysis content = AnalysePageContent(page);
  if (settings.DiscardBlankPages && content.Blank) return TPageVerdict::Discard;
  ApplyAutoColor(page, content, settings.AutoColor);
  return TPageVerdict::Keep;
}

}  // namespace pagewell
