#pragma once
// The value rules of the element methods for the three main areas and the
// progress bar, the contained check and the Index ranges: what a requested
// value turns into and which result code it earns, before any window is
// touched.
#include <optional>

#include "form_state.h"

namespace pagewell {

// A result code and, unless the value was refused, the value to apply.
struct ValueOutcome {
  int code = 0;
  std::optional<long> apply;
};

// SetLeft and SetTop of a main area: never left of or above the form.
ValueOutcome mainAreaPosition(long value);
// SetWidth and SetHeight of "CurrentImage": room for the border on both
// sides of the smallest image.
ValueOutcome currentImageSize(long value, const LayoutConstants& layout);
// SetWidth of "Thumbnails": at least the width of the navigation buttons.
ValueOutcome thumbnailsWidth(long value, const LayoutConstants& layout);
// SetHeight of "Thumbnails": room for the caption, one thumbnail of the
// minimum size with its gaps, and the navigation buttons.
ValueOutcome thumbnailsHeight(long value, int captionHeight, const LayoutConstants& layout);
// SetWidth and SetHeight of "ControlPanel".
ValueOutcome controlPanelSize(long value);
// SetHeight of "ProgressBar": the element includes the label row above the
// bar, so the bar gets what is left.
ValueOutcome progressBarHeight(long value, const LayoutConstants& layout);
// SetBorder of "CurrentImage": the margin around the image inside the frame
// of the given width.
ValueOutcome currentImageBorder(long value, long frameWidth, const LayoutConstants& layout);
// SetBorder of "Thumbnails": the gap between thumbnails.
ValueOutcome thumbnailGap(long value);

// The narrowest the thumbnail strip may be.
int minimumStripWidth(const LayoutConstants& layout);

// The contained check: 4 when an element at `position` with `extent`
// reaches past its container's extent on that axis, else 0. Computed
// without overflow for any pair of long values.
int containedCheck(long position, long extent, long containerExtent);

// SetText's Index: 0 <= index < count, else 6.
int indexCheck(long index, int count);

}  // namespace pagewell
