#pragma once
// The window classes the form is built from, registered on first use (never
// from DllMain, where the loader lock is held).
#include <windows.h>

namespace pagewell {

extern const wchar_t kFormClass[];
extern const wchar_t kGroupBoxClass[];
extern const wchar_t kSheetClass[];
extern const wchar_t kShapeClass[];

void registerFormWindowClasses();

// A shape's brush colour (a COLORREF).
void setShapeBrush(HWND shape, COLORREF color);
COLORREF shapeBrush(HWND shape);

}  // namespace pagewell
