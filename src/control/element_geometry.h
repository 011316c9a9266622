#pragma once
// Reading and changing where a component sits inside its parent, in the
// terms the element methods use: Left, Top, Width and Height.
#include <windows.h>

namespace pagewell {

// Windows keep their coordinates in ints and add them up; beyond this no
// screen shows anything, and sums of two stay in range.
constexpr long kCoordinateLimit = 32767;

struct ComponentBounds {
  long left = 0, top = 0, right = 0, bottom = 0;
  long width() const { return right - left; }
  long height() const { return bottom - top; }
};

long clampToLong(long long value);

// Bounds relative to the parent's client area. A combo box's height is that
// of its closed box.
ComponentBounds componentBounds(HWND component);
// Left (horizontal) or Top; the other coordinate and the size stay.
void moveComponent(HWND component, long long position, bool horizontal);
// Width (horizontal) or Height; the place and the other extent stay.
void resizeComponent(HWND component, long long extent, bool horizontal);
// Into another parent, at the same Left and Top.
void reparentKeepingPlace(HWND component, HWND parent);
// A label as wide as its text in its own font.
void fitLabelToText(HWND label);

}  // namespace pagewell
