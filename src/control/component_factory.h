#pragma once
#include <windows.h>

#include "component_table.h"

namespace pagewell {

// Creates the window of one designed component inside `parent`; `form` is
// the form window that handles the notifications of every component.
HWND createComponentWindow(const ComponentDesign& design, HWND parent, HWND form, int id);

// The area of a page control that its sheets cover, in its client
// coordinates.
RECT sheetArea(HWND pageControl);

}  // namespace pagewell
