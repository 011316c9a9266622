#pragma once
// What happens to a freshly scanned page before it becomes a page of the
// control: with DiscardBlankPages it is dropped when blank (no page, no
// OnAcquire) and counted; with AutoColor its colour mode is reduced in
// place. The form owns one and asks it once per acquired page; the
// automation members DiscardBlankPages, AutoColor, BlankPagesDiscarded and
// IsBlankPage read and write it. Portable: no window is involved.
#include "imaging/lu_bitmap.h"
#include "imaging/page_filter.h"

namespace pagewell {

class TAcquiredPageFilter {
 public:
  bool DiscardBlankPages() const { return settings_.DiscardBlankPages; }
  void SetDiscardBlankPages(bool discard) { settings_.DiscardBlankPages = discard; }

  // 0 off (the default), 1 colour without colour content becomes gray,
  // 2 also gray and colourless text pages become black and white. Other
  // values are refused (std::invalid_argument) and change nothing.
  int AutoColor() const { return settings_.AutoColor; }
  void SetAutoColor(int level);

  // Blank pages dropped since the last Clear.
  int BlankPagesDiscarded() const { return discarded_; }
  void Clear() { discarded_ = 0; }

  // The one call on the acquisition path, before the page is added:
  // Discard (and counted) or Keep, its colour already converted.
  TPageVerdict Decide(TluBitmap& page);

  // For IsBlankPage(Index): the page as the control holds it.
  static bool IsBlank(const TluBitmap& page);

 private:
  TPageFilterSettings settings_;
  int discarded_ = 0;
};

}  // namespace pagewell
