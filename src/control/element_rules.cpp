#include "element_rules.h"

#include "element_alerts.h"

namespace pagewell {
namespace {

// A value below `minimum` is replaced by it.
ValueOutcome atLeast(long value, long minimum) {
  if (value < minimum) return {kElementValueReplaced, minimum};
  return {kElementOk, value};
}

}  // namespace

ValueOutcome mainAreaPosition(long value) {
  if (value < 0) return {kElementValueRefused, std::nullopt};
  return {kElementOk, value};
}

ValueOutcome currentImageSize(long value, const LayoutConstants& layout) {
  if (value <= 0) return {kElementValueRefused, std::nullopt};
  return atLeast(value, 2L * (layout.mainBorder + 1) + layout.minimumMainSize);
}

int minimumStripWidth(const LayoutConstants& layout) { return layout.minimumStripWidthBase + 16; }

ValueOutcome thumbnailsWidth(long value, const LayoutConstants& layout) {
  return atLeast(value, minimumStripWidth(layout));
}

ValueOutcome thumbnailsHeight(long value, int captionHeight, const LayoutConstants& layout) {
  if (value <= 0) return {kElementValueRefused, std::nullopt};
  return atLeast(value, static_cast<long>(captionHeight) + 2L * layout.thumbnailGap +
                            layout.minimumThumbnailSize + layout.navigationButtonHeight + 8);
}

ValueOutcome controlPanelSize(long value) {
  if (value <= 0) return {kElementValueRefused, std::nullopt};
  return {kElementOk, value};
}

ValueOutcome progressBarHeight(long value, const LayoutConstants& layout) {
  if (value <= layout.labelRowHeight) return {kElementValueRefused, std::nullopt};
  return {kElementOk, value - layout.labelRowHeight};
}

ValueOutcome currentImageBorder(long value, long frameWidth, const LayoutConstants& layout) {
  if (value < 0) return {kElementValueRefused, std::nullopt};
  const long widest = (frameWidth - layout.minimumMainSize - 2) / 2;
  if (value > widest) return {kElementValueReplaced, widest};
  return {kElementOk, value};
}

ValueOutcome thumbnailGap(long value) {
  if (value < 8) return {kElementValueRefused, std::nullopt};
  return {kElementOk, value};
}

int containedCheck(long position, long extent, long containerExtent) {
  const long long reach = static_cast<long long>(position) + extent;
  return reach > containerExtent ? kElementOutsideContainer : kElementOk;
}

int indexCheck(long index, int count) {
  return (index >= 0 && index < count) ? kElementOk : kElementIndexOutOfRange;
}

}  // namespace pagewell
