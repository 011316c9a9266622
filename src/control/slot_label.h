#pragma once
// The page-number label above a thumbnail slot: a small label that sizes
// itself to its text, painted in the strip's colour or, for the current
// page, in the highlight's colour.
#include <windows.h>

#include <string>

#include "window_handle.h"

namespace pagewell {

// A hidden label in `parent`, in the parent's font.
WindowHandle createSlotLabel(HWND parent);

// Captions the label (it takes the width and height of its text) and puts
// its top-left corner at (x, y) of its parent.
void setSlotLabelCaption(HWND label, const std::wstring& caption);
void moveSlotLabel(HWND label, int x, int y);
int slotLabelWidth(HWND label);

// The highlight's colour for the current page; CLR_INVALID for the strip's
// own colour.
void setSlotLabelColor(HWND label, COLORREF color);

}  // namespace pagewell
