#pragma once
// What the host does to its window on a script's behalf.
#include <windows.h>

#include <string>

namespace pagehost {

// Clicks the enabled, visible button, check box or radio button inside
// `window` whose caption is `caption`; false if there is none.
bool clickButton(HWND window, const std::wstring& caption);

// Writes a PNG of the window (frame included) to `path`.
bool saveScreenshot(HWND window, const std::wstring& path);

// Clicks, as a user would, the tab captioned `caption` of a tab control
// inside `window`; false if there is none.
bool clickTab(HWND window, const std::wstring& caption);

// Whether the button captioned `caption` inside `window`, shown or not, is
// enabled: 1 enabled, 0 disabled, -1 no such button.
int buttonEnabled(HWND window, const std::wstring& caption);

// The colour (0x00BBGGRR) shown at (x, y) of the window's client area, where
// the control sits at (0, 0); CLR_INVALID outside it. Painting that is
// still pending is not waited for: Sleep first to let it happen.
COLORREF pixelAt(HWND window, int x, int y);

}  // namespace pagehost
